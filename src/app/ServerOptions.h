#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Form1.h"

namespace zonbode::app {

// The "--host HOST" and "--port PORT" options shared by the desktop programs and
// `zonbode-cli fetch`. Returns the server to fetch from, or nullopt with `problem` set to a
// short sentence for the user.
std::optional<ForecastServer> ParseServerOptions(const std::vector<std::string>& arguments,
                                                 std::string& problem);

// The desktop programs' command line, "zonbode [--host HOST] [--port PORT]". "--help" or "-h"
// anywhere prints the usage and gives the exit code 0; a bad option prints the problem and the
// usage to standard error and gives 2. nullopt: go on with `server`.
std::optional<int> ReadDesktopOptions(const std::vector<std::string>& arguments,
                                      ForecastServer& server);

}  // namespace zonbode::app
