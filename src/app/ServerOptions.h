#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Form1.h"

namespace zonbode::app {

// The "--host HOST" and "--port PORT" options shared by the desktop programs and
// `zonbode-cli fetch`. Returns the server to fetch from, or nullopt with `problem` set to a
// short sentence for the user.
std::optional<ForecastServer> ParseServerOptions(const std::vector<std::string>& arguments,
                                                 std::string& problem);

// What the desktop programs say about their command line: an answer (the usage, the version)
// or a problem with it.
enum class OptionText { Answer, Problem };
using WriteOptionText = void (*)(OptionText kind, std::string_view text);

// Answers to standard output, problems to standard error.
void WriteToStandardStreams(OptionText kind, std::string_view text);

// "--help" or "-h" anywhere writes the usage, "--version" anywhere the version; either gives
// the exit code 0. nullopt: neither was asked.
std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& arguments,
                                       WriteOptionText write = WriteToStandardStreams);

// The desktop programs' command line, "zonbode [--host HOST] [--port PORT]", after
// AnswerHelpOrVersion. A bad option writes the problem and the usage and gives 2.
// nullopt: go on with `server`.
std::optional<int> ReadDesktopOptions(const std::vector<std::string>& arguments,
                                      ForecastServer& server,
                                      WriteOptionText write = WriteToStandardStreams);

}  // namespace zonbode::app
