#pragma once

#include <filesystem>
#include <string>

#include "ChildProcess.h"

namespace zonbode::testing {

// A child's standard streams as three temporary files rather than pipes, so a chatty child can
// never block on a full pipe. The input is written at once; whatever is left is removed at the end.
class ChildStreamFiles {
public:
    explicit ChildStreamFiles(const std::string& input);
    ~ChildStreamFiles();
    ChildStreamFiles(const ChildStreamFiles&) = delete;
    ChildStreamFiles& operator=(const ChildStreamFiles&) = delete;

    const std::filesystem::path& In() const { return in_; }
    const std::filesystem::path& Out() const { return out_; }
    const std::filesystem::path& Err() const { return err_; }

    // What the child wrote, with its exit code.
    ChildResult Collect(int exitCode) const;

private:
    std::filesystem::path in_;
    std::filesystem::path out_;
    std::filesystem::path err_;
};

}  // namespace zonbode::testing
