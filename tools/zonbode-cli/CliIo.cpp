#include "CliIo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Commands.h"
#include "options/FilePath.h"

namespace zonbode::cli {

std::optional<std::string> ReadAllBytes(const std::string& path) {
    if (!path.empty()) {
        const std::filesystem::path file = FilePath(path);
        std::error_code error;
        if (std::filesystem::is_directory(file, error)) {
            return std::nullopt;  // opens, but reading it fails with an exception
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        try {
            std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (in.bad()) {
                return std::nullopt;
            }
            return bytes;
        } catch (const std::ios_base::failure&) {
            return std::nullopt;  // a read error of the system, e.g. on a device
        }
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
