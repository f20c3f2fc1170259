#include "Platform.h"

#include <windows.h>

#include "app/win32/CommandLine.h"
#include "app/win32/ProgramPath.h"
#include "app/win32/WideText.h"

namespace zonbode::demo {

// The wide-character name, however long: a folder the ANSI code page cannot write, or one
// deeper than MAX_PATH, is found too.
std::string ExecutableFolder() {
    const std::wstring path = app::win32::ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : app::win32::Narrow(path.substr(0, slash));
}

// argv holds the arguments in the ANSI code page: they are read again from the UTF-16 command
// line.
std::vector<std::string> ProgramArguments(int, char**) {
    return app::win32::CommandLineArguments();
}

}  // namespace zonbode::demo
