#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "live/ForecastSource.h"

namespace zonbode::gateway {

inline constexpr const char* kUsage =
    "usage: zonbode-gateway --lat LAT --lon LON [--name TEXT] [--port PORT] [--api-url URL]\n"
    "                       [--refresh MINUTES]\n"
    "Serves a live seven-day forecast for the place at LAT, LON (decimal degrees, north and\n"
    "east positive) on 127.0.0.1:PORT (default 8080; 0 picks a free port) as the page Zonbode\n"
    "reads: zonbode --host 127.0.0.1 --port PORT. The forecast comes from URL (default\n"
    "https://api.open-meteo.com) and is fetched again every MINUTES (default 30). TEXT names\n"
    "the place on the page (default \"LAT, LON\").\n";

struct GatewayOptions {
    live::ForecastSource source;
    std::int32_t port = 8080;
    int refreshMinutes = 30;
};

inline constexpr int kLongestRefreshMinutes = 24 * 60;

// The options of the command line (--help aside); nullopt with `problem` set to a short
// sentence for the user. LAT and LON are required; an empty TEXT means the default.
std::optional<GatewayOptions> ReadGatewayOptions(const std::vector<std::string>& arguments,
                                                 std::string& problem);

}  // namespace zonbode::gateway
