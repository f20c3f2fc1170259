// zonbode-window-input.exe: drives Zonbode's main window from outside, as a user would.
//   wait            waits until the window exists (shown or hidden)
//   rows N          waits until the list holds N rows (30 seconds at most)
//   close           closes the window as its close button does (WM_CLOSE) and waits until it
//                   is gone
//   double-click N  waits until the list holds N rows, then double-clicks row N with the left
//                   mouse button (real input, SendInput)
//   enter N         waits until the list holds N rows, clicks row N once and presses Enter
//   slack-token     stores the token read from standard input where the Slack dialog keeps a
//                   good one (the generic credential "Zonbode/Slack"), as the dialog's Test would
// Exit status 0 when done, 1 when there was no window, 2 when the window did not get there
// within 120 seconds.

#include <windows.h>

#include <commctrl.h>
#include <wincred.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kListView1 = 100;  // the controls' ids
constexpr int kStatusBar1 = 101;

HWND WaitForMainWindow() {
    for (int i = 0; i < 1200; ++i) {
        if (HWND window = FindWindowW(L"ZonbodeMainWindow", nullptr)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

int Close(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 600; ++i) {
        if (!IsWindow(window)) {
            return 0;
        }
        Sleep(100);
    }
    std::fputs("zonbode-window-input: the window is still there\n", stderr);
    return 2;
}

// The row's rectangle on the screen. The list lives in another process, so the rectangle is
// asked for in memory of that process.
bool RowOnScreen(HWND list, int row, RECT& onScreen) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    bool found = false;
    if (void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)) {
        RECT rect{LVIR_LABEL, 0, 0, 0};
        SIZE_T moved = 0;
        if (WriteProcessMemory(process, remote, &rect, sizeof rect, &moved) &&
            SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row - 1),
                         reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &rect, sizeof rect, &moved)) {
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
            onScreen = rect;
            found = true;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return found;
}

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Waits until the window is shown and its list holds `row` rows; false (and why, on standard
// error) when that does not happen within `seconds`.
bool WaitForRow(HWND window, int row, int seconds, RECT& rect) {
    HWND list = GetDlgItem(window, kListView1);
    for (int i = 0; i < seconds * 10; ++i) {
        if (list != nullptr && IsWindowVisible(window) &&
            SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= row && RowOnScreen(list, row, rect)) {
            return true;
        }
        Sleep(100);
    }
    wchar_t status[256] = {};
    SendMessageW(GetDlgItem(window, kStatusBar1), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    std::fprintf(stderr,
                 "zonbode-window-input: the list never held %d rows (it holds %d, the window is "
                 "%s, the status panel says \"%ls\")\n",
                 row, static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)),
                 IsWindowVisible(window) ? "shown" : "hidden", status);
    return false;
}

int ClickRow(HWND window, int row, bool twice, bool thenEnter) {
    RECT rect{};
    if (!WaitForRow(window, row, 120, rect)) {
        return 2;
    }
    SetForegroundWindow(window);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);

    Sleep(200);
    std::vector<INPUT> inputs = {Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)};
    if (twice) {
        inputs.push_back(Mouse(MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(Mouse(MOUSEEVENTF_LEFTUP));
    }
    Send(inputs);
    if (thenEnter) {
        Sleep(500);  // past the double-click time: the Enter follows a single click
        Send({Key(VK_RETURN, false), Key(VK_RETURN, true)});
    }
    return 0;
}

}  // namespace

int StoreSlackToken() {
    std::string token;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        token += static_cast<char>(c);
    }
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<wchar_t*>(L"Zonbode/Slack");
    credential.CredentialBlobSize = static_cast<DWORD>(token.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(token.data());
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    return CredWriteW(&credential, 0) ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "slack-token") == 0) {
        return StoreSlackToken();
    }
    const bool wait = argc == 2 && std::strcmp(argv[1], "wait") == 0;
    const bool rows = argc == 3 && std::strcmp(argv[1], "rows") == 0;
    const bool close = argc == 2 && std::strcmp(argv[1], "close") == 0;
    const bool doubleClick = argc == 3 && std::strcmp(argv[1], "double-click") == 0;
    const bool enter = argc == 3 && std::strcmp(argv[1], "enter") == 0;
    if (!wait && !rows && !close && !doubleClick && !enter) {
        std::fputs(
            "usage: zonbode-window-input wait | rows N | close | double-click ROW | enter ROW\n",
            stderr);
        return 2;
    }
    HWND window = close ? FindWindowW(L"ZonbodeMainWindow", nullptr) : WaitForMainWindow();
    if (window == nullptr) {
        std::fputs("zonbode-window-input: no Zonbode window\n", stderr);
        return 1;
    }
    if (wait) {
        return 0;
    }
    if (rows) {
        RECT rect{};
        return WaitForRow(window, std::atoi(argv[2]), 30, rect) ? 0 : 2;
    }
    if (close) {
        return Close(window);
    }
    return ClickRow(window, std::atoi(argv[2]), doubleClick, enter);
}
