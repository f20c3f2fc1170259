#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "CliIo.h"
#include "Commands.h"
#include "status/StatusMessage.h"

namespace zonbode::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage: zonbode-cli record CATEGORY ENABLED FORMAT [TEXT1 [TEXT2 [TEXT3 [TEXT4]]]]\n"
    "Writes the messenger status record (UTF-16LE, as handed to the messenger client) to\n"
    "standard output, without a newline. ENABLED is 1 or 0.\n"
    "Example: zonbode-cli record Office 1 '{0}' 'Maandag | Temp: 9'\n"
    "Exit status: 0 written, 2 bad arguments.\n";

}  // namespace

int RunRecord(const Arguments& args) {
    if (!args.empty() && IsHelp(args[0])) {
        return WriteAll(stdout, kUsage) ? kExitOk : kExitUsage;
    }
    if (args.size() < 3) {
        return UsageError("record", "needs CATEGORY, ENABLED and FORMAT", kUsage);
    }
    if (args.size() > 7) {
        return UsageError("record", "more than four texts", kUsage);
    }
    if (args[1] != "1" && args[1] != "0") {
        return UsageError("record", "ENABLED must be 1 or 0, not \"" + args[1] + "\"", kUsage);
    }
    std::array<std::string, 4> texts;
    for (std::size_t i = 3; i < args.size(); ++i) {
        texts[i - 3] = args[i];
    }
    const std::vector<std::uint8_t> record = status::StatusPayload(
        args[0], args[1] == "1", args[2], texts[0], texts[1], texts[2], texts[3]);
    const std::string_view bytes(reinterpret_cast<const char*>(record.data()), record.size());
    return WriteAll(stdout, bytes) ? kExitOk : kExitUsage;
}

}  // namespace zonbode::cli
