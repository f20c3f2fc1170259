#include "CliIo.h"

#include <cerrno>
#include <cstring>

#include "Commands.h"

namespace zonbode::cli {

std::optional<std::string> ReadAllBytes(const std::string& path) {
    std::FILE* in = path.empty() ? stdin : std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        bytes.append(chunk, got);
    }
    const bool failed = std::ferror(in) != 0;
    if (in != stdin) {
        std::fclose(in);
    }
    if (failed) {
        return std::nullopt;
    }
    return bytes;
}

bool WriteAll(std::FILE* stream, std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
        return false;
    }
    return std::fflush(stream) == 0;
}

int UsageError(std::string_view command, std::string_view problem, std::string_view usage) {
    std::string message = "zonbode-cli";
    if (!command.empty()) {
        message.append(" ").append(command);
    }
    // The usage synopsis only; --help has the rest.
    message.append(": ").append(problem).append("\n").append(usage.substr(0, usage.find('\n') + 1));
    message.append("Run 'zonbode-cli");
    if (!command.empty()) {
        message.append(" ").append(command);
    }
    message.append(" --help' for more.\n");
    WriteAll(stderr, message);
    return kExitUsage;
}

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

}  // namespace zonbode::cli
