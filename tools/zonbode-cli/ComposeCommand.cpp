#include <array>
#include <string>
#include <string_view>

#include "CliIo.h"
#include "Commands.h"
#include "status/StatusMessage.h"

namespace zonbode::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage: zonbode-cli compose TEMPLATE [FIELD0 ... FIELD7]\n"
    "Fills the placeholders [dag] [zon] [neerslag-%] [neerslag-mm] [mintemp] [midtemp]\n"
    "[richting] [kracht] of TEMPLATE with FIELD0 to FIELD7 (missing fields are empty) and\n"
    "prints the status text.\n"
    "Exit status: 0 composed, 2 bad arguments.\n";

}  // namespace

int RunCompose(const Arguments& args) {
    if (!args.empty() && IsHelp(args[0])) {
        return WriteAll(stdout, kUsage) ? kExitOk : kExitUsage;
    }
    if (args.empty()) {
        return UsageError("compose", "missing TEMPLATE", kUsage);
    }
    if (args.size() > 9) {
        return UsageError("compose", "more than eight fields", kUsage);
    }
    std::array<std::string, 8> fields;
    for (std::size_t i = 1; i < args.size(); ++i) {
        fields[i - 1] = args[i];
    }
    return WriteAll(stdout, status::ComposeStatus(args[0], fields) + "\n") ? kExitOk : kExitUsage;
}

}  // namespace zonbode::cli
