#include <string>
#include <string_view>

#include "CliIo.h"
#include "Commands.h"
#include "ForecastRows.h"
#include "forecast/ForecastPage.h"
#include "text/AnsiCodePage.h"

namespace zonbode::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage: zonbode-cli parse [FILE]\n"
    "Reads a saved HTTP response (status line, headers and body) from FILE, or from standard\n"
    "input, and cuts the forecast table out of it. Prints one line per day: the eight fields\n"
    "(day, sunshine %, precipitation %, precipitation mm, minimum temperature, midday\n"
    "temperature, wind direction, wind force) separated by a TAB. Inside a field \\ is written\n"
    "\\\\, TAB \\t, LF \\n, CR \\r and any other control character \\xHH.\n"
    "Exit status: 0 parsed, 1 the page could not be parsed (the message goes to standard\n"
    "error), 2 bad arguments or an unreadable file.\n";

}  // namespace

int RunParse(const Arguments& args) {
    if (!args.empty() && IsHelp(args[0])) {
        return WriteAll(stdout, kUsage) ? kExitOk : kExitUsage;
    }
    if (args.size() > 1) {
        return UsageError("parse", "too many arguments", kUsage);
    }
    const std::string path = args.empty() ? std::string() : args[0];
    const auto bytes = ReadAllBytes(path);
    if (!bytes) {
        return UsageError("parse", "cannot read " + (path.empty() ? "standard input" : path),
                          kUsage);
    }
    const forecast::ParseOutcome outcome = forecast::ParseForecastPage(text::BytesToText(*bytes));
    if (!outcome.ok()) {
        WriteAll(stderr, forecast::ParseFailureMessage(outcome.failureCode));
        return kExitParseFailed;
    }
    return WriteAll(stdout, FormatForecastRows(outcome.rows)) ? kExitOk : kExitUsage;
}

}  // namespace zonbode::cli
