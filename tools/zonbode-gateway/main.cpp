// zonbode-gateway --lat LAT --lon LON [--name TEXT] [--port PORT] [--api-url URL]
//                 [--refresh MINUTES]
// Serves a live seven-day forecast on 127.0.0.1 as the page Zonbode reads, until interrupted.

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "ForecastSource.h"
#include "Gateway.h"
#include "GatewayOptions.h"
#include "PageServer.h"
#include "ServeLoop.h"
#include "StopRequests.h"
#include "net/RaisedError.h"
#include "options/VersionOption.h"

namespace {

constexpr const char* kProgram = "zonbode-gateway: ";

}  // namespace

int main(int argc, char** argv) {
    using namespace zonbode;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const std::optional<int> exitCode = AnswerVersion("zonbode-gateway", args)) {
        return *exitCode;
    }
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << gateway::kUsage;
            return 0;
        }
    }
    std::string problem;
    const auto options = gateway::ReadGatewayOptions(args, problem);
    if (!options) {
        std::cerr << kProgram << problem << "\n" << gateway::kUsage;
        return 2;
    }

    // Before the first fetch: it also keeps a peer that hangs up from ending the process.
    pageserver::WatchStopRequests();
    // The first page before the port opens: a Zonbode that connects always gets a forecast.
    const gateway::ForecastSource source = options->source;
    gateway::PageFetch first = gateway::FetchForecastPage(source);
    if (!first.ok()) {
        std::cerr << kProgram << "cannot fetch the forecast from " << source.api << ": "
                  << first.problem << std::endl;
        return 1;
    }
    if (pageserver::StopRequested()) {
        return 0;
    }

    pageserver::PageServer server(std::move(first.page));
    try {
        server.Start(options->port);
    } catch (const net::RaisedError& error) {
        std::cerr << kProgram << "cannot listen on 127.0.0.1:" << options->port << ": "
                  << error.Description() << std::endl;
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << server.Port() << std::endl;

    gateway::Gateway gateway(
        server, [source] { return gateway::FetchForecastPage(source); },
        std::chrono::minutes(options->refreshMinutes),
        [](const std::string& line) { std::cerr << kProgram << line << std::endl; });
    pageserver::ServeUntilStopped(server);
    return 0;
}
