// zonbode-close-window.exe: closes Zonbode's main window as its close button does (WM_CLOSE)
// and waits until the window is gone. Exit status 0 when it closed, 1 when there was no
// window, 2 when it was still there after 60 seconds.

#include <windows.h>

#include <cstdio>

int main() {
    HWND window = FindWindowW(L"ZonbodeMainWindow", nullptr);
    if (window == nullptr) {
        std::fputs("zonbode-close-window: no Zonbode window\n", stderr);
        return 1;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 600; ++i) {
        if (!IsWindow(window)) {
            return 0;
        }
        Sleep(100);
    }
    std::fputs("zonbode-close-window: the window is still there\n", stderr);
    return 2;
}
