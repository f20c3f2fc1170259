#include "app/ServerOptions.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "version/VersionOption.h"

namespace zonbode::app {

namespace {

constexpr std::string_view kUsage = "usage: zonbode [--host HOST] [--port PORT] [--version]\n";

}  // namespace

std::optional<ForecastServer> ParseServerOptions(const std::vector<std::string>& arguments,
                                                 std::string& problem) {
    ForecastServer server;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option != "--host" && option != "--port") {
            problem = "unknown argument \"" + option + "\"";
            return std::nullopt;
        }
        if (i + 1 == arguments.size()) {
            problem = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (option == "--host") {
            if (value.empty()) {
                problem = "--host needs a host name or address";
                return std::nullopt;
            }
            server.host = value;
        } else {
            unsigned port = 0;
            auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (error != std::errc() || end != value.data() + value.size() || port == 0 ||
                port > 65535) {
                problem = "--port needs a number from 1 to 65535";
                return std::nullopt;
            }
            server.port = static_cast<std::uint16_t>(port);
        }
    }
    return server;
}

void WriteToStandardStreams(OptionText kind, std::string_view text) {
    std::FILE* stream = kind == OptionText::Problem ? stderr : stdout;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& arguments,
                                       WriteOptionText write) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            write(OptionText::Answer, kUsage);
            return 0;
        }
    }
    if (AsksForVersion(arguments)) {
        write(OptionText::Answer, VersionLine("zonbode"));
        return 0;
    }
    return std::nullopt;
}

std::optional<int> ReadDesktopOptions(const std::vector<std::string>& arguments,
                                      ForecastServer& server, WriteOptionText write) {
    if (const std::optional<int> exitCode = AnswerHelpOrVersion(arguments, write)) {
        return exitCode;
    }
    std::string problem;
    std::optional<ForecastServer> parsed = ParseServerOptions(arguments, problem);
    if (!parsed) {
        write(OptionText::Problem, "zonbode: " + problem + "\n" + std::string(kUsage));
        return 2;
    }
    server = std::move(*parsed);
    return std::nullopt;
}

}  // namespace zonbode::app
