#pragma once

#include <string>
#include <vector>

namespace zonbode::testing {

struct ChildResult {
    int exitCode = -1;  // -1 when the child did not exit normally
    std::string out;    // standard output, bytes
    std::string err;    // standard error, bytes
};

// Runs the program with the arguments (no shell), feeding `input` as its standard input, and
// waits for it to end. On Windows the UTF-8 arguments reach the child as UTF-16 text, as typed
// ones do; a program named by a Unix path (a build run under wine) is found on drive Z:.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input = {});

}  // namespace zonbode::testing
