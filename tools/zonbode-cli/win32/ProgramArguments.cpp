#include "CliIo.h"
#include "app/win32/CommandLine.h"

namespace zonbode::cli {

// argv holds the arguments in the ANSI code page ("12°C" may arrive as U+FFFD, "☀" as "?"):
// they are read again from the UTF-16 command line.
std::vector<std::string> ProgramArguments(int, char**) {
    return app::win32::CommandLineArguments();
}

}  // namespace zonbode::cli
