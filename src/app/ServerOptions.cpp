#include "app/ServerOptions.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

namespace zonbode::app {

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

std::optional<int> ReadDesktopOptions(const std::vector<std::string>& arguments,
                                      ForecastServer& server) {
    constexpr char kUsage[] = "usage: zonbode [--host HOST] [--port PORT]\n";
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    std::string problem;
    std::optional<ForecastServer> parsed = ParseServerOptions(arguments, problem);
    if (!parsed) {
        std::fprintf(stderr, "zonbode: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    server = std::move(*parsed);
    return std::nullopt;
}

}  // namespace zonbode::app
