#include "app/ServerOptions.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

#include "options/OptionPairs.h"
#include "options/VersionOption.h"

namespace zonbode::app {

namespace {

constexpr std::string_view kUsage =
    "usage: zonbode [--place NAME] [--api-url URL] [--geocoding-url URL] [MESSENGER OPTIONS]\n"
    "       zonbode --host HOST [--port PORT] [MESSENGER OPTIONS]\n"
    "       zonbode --help | --version\n"
    "Shows the seven-day forecast of the KNMI's own model for the stored place (at first\n"
    "De Bilt), fetched from Open-Meteo over HTTPS, and sets the chosen day as the status\n"
    "message of your messenger (Pidgin, Slack, Microsoft Teams).\n"
    "  --place NAME          search for a place as the window's place box does and take the\n"
    "                        first match, stored as if chosen\n"
    "  --api-url URL         another Open-Meteo forecast API (https://api.open-meteo.com)\n"
    "  --geocoding-url URL   another Open-Meteo place search\n"
    "                        (https://geocoding-api.open-meteo.com)\n"
    "  --host HOST           fetch the forecast page from this outside page server instead\n"
    "                        (zonbode-demo-server, zonbode-gateway); no place is chosen then\n"
    "  --port PORT           its port (80 when not given)\n"
    "Messenger options (each plain http:// address only on this machine):\n"
    "  --slack-url URL       Slack's Web API there (https://slack.com/api)\n"
    "  --graph-url URL       Microsoft Graph there, for Teams (https://graph.microsoft.com)\n"
    "  --login-url URL       the Microsoft sign-in there, for Teams\n"
    "                        (https://login.microsoftonline.com)\n";

bool IsWebAddress(const std::string& url) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (url.size() > scheme.size() && url.compare(0, scheme.size(), scheme) == 0) {
            return true;
        }
    }
    return false;
}

// Whether a plain http:// address stays on this machine, where a token sent in clear is safe:
// localhost, 127.x.x.x or [::1].
bool IsLoopbackAddress(std::string_view url) {
    constexpr std::string_view kScheme = "http://";
    std::string_view authority = url.substr(kScheme.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (authority.starts_with("[::1]")) {
        return authority.size() == 5 || authority[5] == ':';
    }
    std::string host(authority.substr(0, authority.find(':')));
    for (char& c : host) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (host == "localhost") {
        return true;
    }
    int parts = 0;
    std::size_t from = 0;
    for (; parts < 4; ++parts) {
        const std::size_t dot = std::min(host.find('.', from), host.size());
        const std::optional<int> part = ReadWholeNumber(host.substr(from, dot - from), 0, 255);
        if (!part || (parts == 0 && *part != 127)) {
            return false;
        }
        from = dot + 1;
        if (dot == host.size()) {
            ++parts;
            break;
        }
    }
    return parts == 4 && from == host.size() + 1;
}

// The paths are appended to a web address, each with its own '/'.
std::string WithoutClosingSlash(const std::string& address) {
    return address.ends_with('/') ? address.substr(0, address.size() - 1) : address;
}

// Takes one of the live source's options; "" when good, otherwise the problem.
std::string TakeLiveOption(LiveOptions& live, const std::string& option, const std::string& value) {
    if (option == "--place") {
        if (value.find_first_not_of(" \t") == std::string::npos) {
            return "--place needs the name of a place";
        }
        live.placeQuery = value;
        return {};
    }
    if (!IsWebAddress(value)) {
        return option + " needs an http:// or https:// address";
    }
    (option == "--api-url" ? live.endpoints.api : live.endpoints.geocoding) =
        WithoutClosingSlash(value);
    return {};
}

// A messenger's web address, without a closing '/'; the problem, or "" when it was taken.
std::string TakeMessengerAddress(const std::string& option, const std::string& value,
                                 std::string& address) {
    if (!IsWebAddress(value)) {
        return option + " needs an http:// or https:// address";
    }
    // Tokens go in these calls: in clear only to this machine.
    if (value.starts_with("http://") && !IsLoopbackAddress(value)) {
        return option +
               " needs https:// for a server on another machine: the token would travel "
               "unencrypted";
    }
    address = WithoutClosingSlash(value);
    return {};
}

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
        } else if (const std::optional<int> port = ReadWholeNumber(value, 1, 65535)) {
            server.port = static_cast<std::uint16_t>(*port);
        } else {
            return "--port needs a number from 1 to 65535";
        }
        return {};
    };
    if (std::optional<std::string> refused =
            ReadOptionPairs(arguments, {"--host", "--port"}, take)) {
        problem = std::move(*refused);
        return std::nullopt;
    }
    return server;
}

std::optional<DesktopOptions> ParseDesktopOptions(const std::vector<std::string>& arguments,
                                                  std::string& problem) {
    DesktopOptions options;
    std::vector<std::string> serverArguments;
    bool liveOption = false;
    auto take = [&](const std::string& option, const std::string& value) -> std::string {
        if (option == "--host" || option == "--port") {
            serverArguments.insert(serverArguments.end(), {option, value});
            return {};
        }
        if (std::string* address = option == "--slack-url"   ? &options.slackApi
                                   : option == "--graph-url" ? &options.graphApi
                                   : option == "--login-url" ? &options.loginApi
                                                             : nullptr) {
            return TakeMessengerAddress(option, value, *address);
        }
        liveOption = true;
        return TakeLiveOption(options.live, option, value);
    };
    if (std::optional<std::string> refused =
            ReadOptionPairs(arguments,
                            {"--host", "--port", "--place", "--api-url", "--geocoding-url",
                             "--slack-url", "--graph-url", "--login-url"},
                            take)) {
        problem = std::move(*refused);
        return std::nullopt;
    }
    if (!serverArguments.empty()) {
        if (liveOption) {
            problem =
                "--host and --port name another page server: they do not go with "
                "--place, --api-url or --geocoding-url";
            return std::nullopt;
        }
        options.server = ParseServerOptions(serverArguments, problem);
        if (!options.server) {
            return std::nullopt;
        }
    }
    return options;
}

std::unique_ptr<Form1> CreateForm1(Ports ports, DesktopOptions options) {
    if (options.server) {
        return std::make_unique<Form1>(ports, *options.server);
    }
    return std::make_unique<Form1>(ports, std::move(options.live));
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
                                      DesktopOptions& options, WriteOptionText write) {
    if (const std::optional<int> exitCode = AnswerHelpOrVersion(arguments, write)) {
        return exitCode;
    }
    std::string problem;
    std::optional<DesktopOptions> parsed = ParseDesktopOptions(arguments, problem);
    if (!parsed) {
        write(OptionText::Problem, "zonbode: " + problem + "\n" + std::string(kUsage));
        return 2;
    }
    options = std::move(*parsed);
    return std::nullopt;
}

}  // namespace zonbode::app
