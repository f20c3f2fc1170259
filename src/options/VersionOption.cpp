#include "options/VersionOption.h"

#include <algorithm>
#include <cstdio>

#include "options/Version.h"

namespace zonbode {

bool AsksForVersion(const std::vector<std::string>& options) {
    return std::find(options.begin(), options.end(), "--version") != options.end();
}

std::string VersionLine(std::string_view program) {
    std::string line(program);
    line.append(" ").append(kVersion).append("\n");
    return line;
}

std::optional<int> AnswerVersion(std::string_view program,
                                 const std::vector<std::string>& options) {
    if (!AsksForVersion(options)) {
        return std::nullopt;
    }
    const std::string line = VersionLine(program);
    const bool written = std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace zonbode
