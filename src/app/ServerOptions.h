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

}  // namespace zonbode::app
