#include "CliIo.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "Commands.h"
#include "options/FilePath.h"

namespace zonbode::cli {

std::optional<std::string> ReadAllBytes(const std::string& path) {
    if (!path.empty()) {
        std::ifstream in(FilePath(path), std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad()) {
            return std::nullopt;
        }
        return bytes;
    }
    std::string bytes;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
        bytes.append(chunk, got);
    }
    if (std::ferror(stdin) != 0) {
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
