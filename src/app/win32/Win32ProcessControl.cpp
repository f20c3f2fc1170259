#include "app/win32/Win32ProcessControl.h"

#include <windows.h>

#include <cstdio>

#include "app/win32/WideText.h"
#include "net/MessageBoxHook.h"

namespace zonbode::app::win32 {

void Win32ProcessControl::EndProcess() {
    std::fflush(nullptr);
    ExitProcess(1);
}

void InstallErrorMessageBox() {
    net::SetMessageBoxHook([](const std::string& text, const std::string& title) {
        MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(),
                    MB_OK | MB_ICONERROR);
    });
}

}  // namespace zonbode::app::win32
