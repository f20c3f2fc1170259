#include "app/ServerOptions.h"

#include <cstdint>
#include <cstdio>

#include "options/OptionPairs.h"
#include "options/VersionOption.h"

namespace zonbode::app {

namespace {

constexpr std::string_view kUsage =
    "usage: zonbode [--host HOST] [--port PORT] [--slack-url URL] [--version]\n";

}  // namespace

std::optional<ForecastServer> ParseServerOptions(const std::vector<std::string>& arguments,
                                                 std::string& problem) {
    ForecastServer server;
    auto take = [&server](const std::string& option, const std::string& value) -> std::string {
        if (option == "--host") {
            if (value.empty()) {
                return "--host needs a host name or address";
            }
            server.host = value;
        } else if (option == "--slack-url") {
            if (value.rfind("https://", 0) != 0 && value.rfind("http://", 0) != 0) {
                return "--slack-url needs an http:// or https:// address";
            }
            server.slackApi = value;
        } else if (const std::optional<int> port = ReadWholeNumber(value, 1, 65535)) {
            server.port = static_cast<std::uint16_t>(*port);
        } else {
            return "--port needs a number from 1 to 65535";
        }
        return {};
    };
    if (std::optional<std::string> refused =
            ReadOptionPairs(arguments, {"--host", "--port", "--slack-url"}, take)) {
        problem = std::move(*refused);
        return std::nullopt;
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
