// zonbode-gateway --lat LAT --lon LON [--name TEXT] [--port PORT] [--api-url URL]
//                 [--refresh MINUTES]
// Serves a live seven-day forecast on 127.0.0.1 as the page Zonbode reads, until interrupted.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "GatewayOptions.h"
#include "ServeLoop.h"
#include "StopRequests.h"
#include "live/ForecastSource.h"
#include "live/PageServer.h"
#include "live/RefreshWorker.h"
#include "net/EventLoop.h"
#include "net/RaisedError.h"
#include "options/VersionOption.h"

namespace {

constexpr const char* kProgram = "zonbode-gateway: ";

std::string LocalTime(std::time_t when) {
    char text[32] = "";
    if (const std::tm* local = std::localtime(&when)) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
    }
    return text;
}

// Refreshes every `minutes`; after a failure sooner, as the desktop programs do, but never
// less often than that.
zonbode::live::LiveSchedule ScheduleOf(int minutes) {
    zonbode::live::LiveSchedule schedule;
    schedule.refresh = std::chrono::minutes(minutes);
    schedule.firstRetry = std::min(schedule.firstRetry, schedule.refresh);
    schedule.longestRetry = std::min(schedule.longestRetry, schedule.refresh);
    return schedule;
}

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
    const live::ForecastSource source = options->source;
    live::PageFetch first = live::FetchForecastPage(source);
    if (!first.ok()) {
        std::cerr << kProgram << "cannot fetch the forecast from " << source.api << ": "
                  << first.problem << std::endl;
        return 1;
    }
    if (pageserver::StopRequested()) {
        return 0;
    }

    live::PageServer server(std::move(first.page));
    try {
        server.Start(options->port);
    } catch (const net::RaisedError& error) {
        std::cerr << kProgram << "cannot listen on 127.0.0.1:" << options->port << ": "
                  << error.Description() << std::endl;
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << server.Port() << std::endl;

    // A fetch runs on the worker's thread; the server keeps answering meanwhile (a Zonbode
    // that connects gives up after 4 s), and the outcome comes back through the loop.
    std::time_t servedSince = std::time(nullptr);
    live::RefreshWorker::Handlers handlers;
    handlers.fetched = [&](live::RefreshWorker::Outcome outcome) {
        net::EventLoop::PostTask([&, fetch = std::move(outcome.fetch)]() mutable {
            if (fetch.ok()) {
                server.SetPage(std::move(fetch.page));
                servedSince = std::time(nullptr);
            } else {
                std::cerr << kProgram << "refresh failed: " << fetch.problem
                          << "; still serving the forecast fetched " << LocalTime(servedSince)
                          << std::endl;
            }
        });
    };
    const auto schedule = ScheduleOf(options->refreshMinutes);
    live::RefreshWorker refresher(source, schedule, handlers, schedule.refresh);
    pageserver::ServeUntilStopped(server);
    return 0;
}
