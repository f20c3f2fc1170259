#pragma once

#include <memory>
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

// What the desktop programs run with: the live source (the default), or an outside page
// server when --host or --port is given.
struct DesktopOptions {
    std::optional<ForecastServer> server;
    LiveOptions live;                                      // its `report` is left to the caller
    std::string slackApi = "https://slack.com/api";        // Slack's Web API, beside either kind
    std::string graphApi = "https://graph.microsoft.com";  // Microsoft Graph, for Teams
    std::string loginApi = "https://login.microsoftonline.com";  // its sign-in
};

// "--place NAME", "--api-url URL", "--geocoding-url URL", or "--host HOST" and "--port PORT";
// the two kinds do not mix. nullopt with `problem` set to a short sentence for the user.
std::optional<DesktopOptions> ParseDesktopOptions(const std::vector<std::string>& arguments,
                                                  std::string& problem);

// Form1 for what the command line asked: an outside page server, or the live source.
std::unique_ptr<Form1> CreateForm1(Ports ports, DesktopOptions options);

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

// The desktop programs' command line, after AnswerHelpOrVersion. A bad option writes the
// problem and the usage and gives 2. nullopt: go on with `options`.
std::optional<int> ReadDesktopOptions(const std::vector<std::string>& arguments,
                                      DesktopOptions& options,
                                      WriteOptionText write = WriteToStandardStreams);

}  // namespace zonbode::app
