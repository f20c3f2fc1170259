#include "app/win32/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include "app/win32/WideText.h"

namespace zonbode::app::win32 {

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            arguments.push_back(Narrow(list[i]));
        }
        LocalFree(list);
    }
    return arguments;
}

}  // namespace zonbode::app::win32
