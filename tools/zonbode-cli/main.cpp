#include <optional>
#include <string>
#include <string_view>

#include "CliIo.h"
#include "Commands.h"
#include "options/VersionOption.h"

namespace zonbode::cli {
namespace {

struct Command {
    std::string_view name;
    std::string_view summary;
    int (*run)(const Arguments& args);
};

// One entry per command; each command's --help gives its details.
constexpr Command kCommands[] = {
    {"parse", "cut the forecast table out of a saved HTTP response", RunParse},
    {"compose", "fill a status template with one day's fields", RunCompose},
    {"record", "write the messenger status record bytes", RunRecord},
    {"fetch", "download the forecast page and print its table", RunFetch},
};

std::string Usage() {
    std::string usage = "Usage: zonbode-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const Command& command : kCommands) {
        usage.append("  ").append(command.name);
        usage.append(10 - command.name.size(), ' ');
        usage.append(command.summary).append("\n");
    }
    usage.append("\nRun 'zonbode-cli COMMAND --help' for a command's arguments,\n");
    usage.append("'zonbode-cli --version' for the version.\n");
    return usage;
}

int Main(const Arguments& arguments) {
    UseBinaryStandardStreams();
    if (arguments.empty()) {
        return UsageError("", "no command given", Usage());
    }
    const std::string& name = arguments[0];
    if (IsHelp(name)) {
        return WriteAll(stdout, Usage()) ? kExitOk : kExitUsage;
    }
    if (const std::optional<int> exitCode = AnswerVersion("zonbode-cli", {name})) {
        return *exitCode;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            return command.run(Arguments(arguments.begin() + 1, arguments.end()));
        }
    }
    return UsageError("", "unknown command \"" + name + "\"", Usage());
}

}  // namespace
}  // namespace zonbode::cli

int main(int argc, char** argv) {
    return zonbode::cli::Main(zonbode::cli::ProgramArguments(argc, argv));
}
