// zonbode-window-input.exe: drives Zonbode's main window from outside, as a user would.
//   wait            waits until the window exists (shown or hidden)
//   state           waits until start-up has run (the status panel no longer shows its
//                   initial "StatusBar1"), then prints
//                   "shown" or "hidden"
//   shown           waits until the window is shown
//   rows N          waits until the list holds N rows (30 seconds at most)
//   close           closes the window as its close button does (WM_CLOSE) and waits until it
//                   is gone
//   double-click N  waits until the list holds N rows, then double-clicks row N with the left
//                   mouse button (real input, SendInput)
//   enter N         waits until the list holds N rows, clicks row N once and presses Enter
//   manifest        prints the manifest (resource type 24, id 1) of the window's program
//   size            waits until the window is shown, then prints its client area's width and
//                   height in the window's own pixels and its DPI, as "W H DPI"
//   slack-token     stores the token read from standard input where the Slack dialog keeps a
//                   good one (the generic credential "Zonbode/Slack"), as the dialog's Test would
//   teams-token     the same for a Teams refresh token (the generic credential "Zonbode/Teams"),
//                   as the Teams sign-in would store it
//   slack-test T    opens the Slack dialog, puts T in its token box, clicks Test, waits until
//                   the dialog has answered (its buttons work again), prints the answer (after
//                   the busy text it showed, on a line before it) and closes the dialog
//   slack-disconnect the same with Loskoppelen
// Exit status 0 when done, 1 when there was no window, 2 when the window did not get there
// within 120 seconds.

#include <windows.h>

#include <commctrl.h>
#include <wincred.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
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

// The window's thread answers only between its handlers: once the status panel has a text of
// start-up's, start-up has run.
int PrintState(HWND window) {
    for (int i = 0; i < 1200; ++i) {
        // WM_GETTEXT, unlike SB_GETTEXTW, is carried across processes: the first part's text.
        wchar_t status[256] = {};
        SendMessageW(GetDlgItem(window, kStatusBar1), WM_GETTEXT, 256,
                     reinterpret_cast<LPARAM>(status));
        if (status[0] != L'\0' && std::wcscmp(status, L"StatusBar1") != 0) {
            std::puts(IsWindowVisible(window) ? "shown" : "hidden");
            return 0;
        }
        Sleep(100);
    }
    return 2;
}

int WaitUntilShown(HWND window) {
    for (int i = 0; i < 1200; ++i) {
        if (IsWindowVisible(window)) {
            return 0;
        }
        Sleep(100);
    }
    std::fputs("zonbode-window-input: the window stays hidden\n", stderr);
    return 2;
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

template <typename Function>
Function User32Call(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// Measured in the window's own DPI awareness, so the system does not convert its pixels into
// those of a program of another awareness.
int PrintSize(HWND window) {
    using Context = HANDLE;
    const auto contextOf = User32Call<Context(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
    const auto useContext = User32Call<Context(WINAPI*)(Context)>("SetThreadDpiAwarenessContext");
    const auto dpiOf = User32Call<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (contextOf == nullptr || useContext == nullptr || dpiOf == nullptr) {
        std::fputs("zonbode-window-input: no per-monitor DPI calls here\n", stderr);
        return 2;
    }
    // Start-up has laid the window out once it shows it.
    for (int i = 0; i < 600 && !IsWindowVisible(window); ++i) {
        Sleep(100);
    }
    useContext(contextOf(window));
    RECT client{};
    GetClientRect(window, &client);
    std::printf("%ld %ld %u\n", client.right, client.bottom, dpiOf(window));
    return 0;
}

int PrintManifest(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const bool named = process != nullptr && QueryFullProcessImageNameW(process, 0, path, &length);
    if (process != nullptr) {
        CloseHandle(process);
    }
    HMODULE image = named ? LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
    HRSRC resource = image != nullptr ? FindResourceW(image, MAKEINTRESOURCEW(1),
                                                      MAKEINTRESOURCEW(24))  // RT_MANIFEST
                                      : nullptr;
    if (resource == nullptr) {
        std::fputs("zonbode-window-input: the program has no manifest\n", stderr);
        return 2;
    }
    const auto* text = static_cast<const char*>(LockResource(LoadResource(image, resource)));
    std::fwrite(text, 1, SizeofResource(image, resource), stdout);
    FreeLibrary(image);
    return 0;
}

// The Slack dialog's controls: 300 + their place in its layout table.
constexpr int kSlackButton = 117;
constexpr int kTokenBox = 301;
constexpr int kTestButton = 302;
constexpr int kDisconnectButton = 303;
constexpr int kAnswer = 304;

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND control) {
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    return text;
}

int SlackDialog(HWND window, const wchar_t* token) {
    PostMessageW(GetDlgItem(window, kSlackButton), BM_CLICK, 0, 0);
    HWND dialog = nullptr;
    for (int i = 0; i < 600 && dialog == nullptr; ++i) {
        dialog = FindWindowW(L"ZonbodeSlackDialog", nullptr);
        Sleep(100);
    }
    if (dialog == nullptr) {
        std::fputs("zonbode-window-input: no Slack dialog\n", stderr);
        return 2;
    }
    const std::wstring greeting = TextOf(GetDlgItem(dialog, kAnswer));
    HWND button = GetDlgItem(dialog, token != nullptr ? kTestButton : kDisconnectButton);
    if (token != nullptr) {
        SendMessageW(GetDlgItem(dialog, kTokenBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(token));
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    // Busy first (the buttons wait), then the answer.
    std::wstring busy;
    for (int i = 0; i < 600 && busy.empty(); ++i) {
        if (!IsWindowEnabled(button)) {
            busy = TextOf(GetDlgItem(dialog, kAnswer));
        }
        Sleep(20);
    }
    for (int i = 0; i < 1200 && !IsWindowEnabled(button); ++i) {
        Sleep(100);
    }
    const std::wstring answer = TextOf(GetDlgItem(dialog, kAnswer));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    for (int i = 0; i < 600 && IsWindow(dialog); ++i) {
        Sleep(100);
    }
    std::printf("%s\n%s\n", Utf8(busy.empty() ? greeting : busy).c_str(), Utf8(answer).c_str());
    return IsWindowEnabled(button) || !IsWindow(dialog) ? 0 : 2;
}

}  // namespace

int StoreToken(const wchar_t* target) {
    std::string token;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        token += static_cast<char>(c);
    }
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<wchar_t*>(target);
    credential.CredentialBlobSize = static_cast<DWORD>(token.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(token.data());
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    return CredWriteW(&credential, 0) ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "slack-token") == 0) {
        return StoreToken(L"Zonbode/Slack");
    }
    if (argc == 2 && std::strcmp(argv[1], "teams-token") == 0) {
        return StoreToken(L"Zonbode/Teams");
    }
    const bool wait = argc == 2 && std::strcmp(argv[1], "wait") == 0;
    const bool state = argc == 2 && std::strcmp(argv[1], "state") == 0;
    const bool shown = argc == 2 && std::strcmp(argv[1], "shown") == 0;
    const bool rows = argc == 3 && std::strcmp(argv[1], "rows") == 0;
    const bool close = argc == 2 && std::strcmp(argv[1], "close") == 0;
    const bool doubleClick = argc == 3 && std::strcmp(argv[1], "double-click") == 0;
    const bool enter = argc == 3 && std::strcmp(argv[1], "enter") == 0;
    const bool size = argc == 2 && std::strcmp(argv[1], "size") == 0;
    const bool manifest = argc == 2 && std::strcmp(argv[1], "manifest") == 0;
    const bool slackTest = argc == 3 && std::strcmp(argv[1], "slack-test") == 0;
    const bool slackDisconnect = argc == 2 && std::strcmp(argv[1], "slack-disconnect") == 0;
    if (!wait && !state && !shown && !rows && !close && !doubleClick && !enter && !size &&
        !manifest && !slackTest && !slackDisconnect) {
        std::fputs(
            "usage: zonbode-window-input wait | state | shown | rows N | close | "
            "double-click ROW | enter ROW | size | manifest | slack-test TOKEN | "
            "slack-disconnect\n",
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
    if (size) {
        return PrintSize(window);
    }
    if (slackTest || slackDisconnect) {
        const std::wstring token(argv[argc - 1], argv[argc - 1] + std::strlen(argv[argc - 1]));
        return SlackDialog(window, slackTest ? token.c_str() : nullptr);
    }
    if (manifest) {
        return PrintManifest(window);
    }
    if (state) {
        return PrintState(window);
    }
    if (shown) {
        return WaitUntilShown(window);
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
