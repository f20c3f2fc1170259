#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include "app/win32/WideText.h"
#include "app/win32/Win32Tray.h"

namespace zonbode::app::win32 {
namespace {

enum ControlId : int {
    kListView1 = 100,
    kStatusBar1,
    kLabel1,
    kLabel2,
    kText1,
    kCommand1,
    kCheck1,
    kCheck2,
    kCommand2,
    kCheck3,
};

constexpr UINT kDoubleClickPendingRow = WM_APP + 2;
constexpr int kIconResource = 1;
constexpr int kDefaultColumnWidth = 96;  // the list's default: one inch

constexpr wchar_t kInitialTemplate[] =
    L"[dag] | Kans op zon: [zon]% | Neerslag: [neerslag-mm]mm / [neerslag-%]% | Temp: "
    L"[midtemp] | Wind: [richting][kracht]";

// Positions are kept in twips and drawn at 15 twips per pixel.
constexpr int Px(int twips) {
    return twips / 15;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
    icon_ = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    smallIcon_ = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (icon_ == nullptr) {
        icon_ = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    }

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon_;
    windowClass.hIconSm = smallIcon_ != nullptr ? smallIcon_ : icon_;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    // A fixed border: nothing moves or changes size with the window.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window_ = CreateWindowExW(exStyle, kClassName, L"Zonbode", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, this);
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    for (HICON icon : {icon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

HWND MainWindow::Control(int id, const wchar_t* className, const wchar_t* text, DWORD style,
                         int left, int top, int width, int height) {
    HWND control = CreateWindowExW(
        0, className, text, WS_CHILD | WS_VISIBLE | style, Px(left), Px(top), Px(width), Px(height),
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return control;
}

// Created in tab order: the dialog keyboard handling follows the creation order.
void MainWindow::CreateControls() {
    listView1_ = Control(kListView1, WC_LISTVIEWW, L"",
                         WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                         120, 120, 7575, 1695);
    SendMessageW(listView1_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    statusBar1_ = Control(kStatusBar1, STATUSCLASSNAMEW, L"", 0, 0, 3225, 7785, 255);
    int parts[] = {-1};
    SendMessageW(statusBar1_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    SendMessageW(statusBar1_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Kavelo Zonbode"));
    label1_ = Control(kLabel1, L"STATIC", L"<Hier komt je psm te staan>", SS_LEFT | SS_NOPREFIX,
                      120, 2040, 7575, 255);
    label2_ = Control(kLabel2, L"STATIC", L"PSM:", SS_LEFT, 120, 2520, 375, 255);
    text1_ = Control(kText1, L"EDIT", kInitialTemplate, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                     600, 2520, 6855, 285);
    command1_ =
        Control(kCommand1, L"BUTTON", L"?", WS_TABSTOP | BS_PUSHBUTTON, 7440, 2520, 255, 255);
    check1_ = Control(kCheck1, L"BUTTON", L"Automatisch",
                      WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, 120, 2880, 1695, 255);
    check2_ = Control(kCheck2, L"BUTTON", L"Automatisch inschakelen bij starten Zonbode",
                      WS_TABSTOP | BS_AUTOCHECKBOX, 2160, 2880, 3735, 255);
    command2_ =
        Control(kCommand2, L"BUTTON", L"?", WS_TABSTOP | BS_PUSHBUTTON, 1800, 2880, 255, 255);
    check3_ = Control(kCheck3, L"BUTTON", L"Start in systeemvak", WS_TABSTOP | BS_AUTOCHECKBOX,
                      6000, 2880, 1695, 255);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

void MainWindow::Fire(const std::function<void()>& event) {
    if (event) {
        event();
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == listView1_ && header->code == NM_DBLCLK) {
                Fire(events_.listView1DblClick);
            }
            return 0;
        }
        case WM_SIZE:
            Fire(events_.formResize);
            return 0;
        case WM_CLOSE:
            // Shutdown cannot be cancelled; the program ends with the window.
            Fire(events_.formUnload);
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            PostQuitMessage(0);
            return 0;
        case Win32Tray::kCallbackMessage:
            if (events_.trayCallback) {
                events_.trayCallback(static_cast<int>(LOWORD(lParam)));
            }
            return 0;
        case kDoubleClickPendingRow:
            DoubleClickPendingRow();
            return 0;
        default:
            if (message == Win32Tray::TaskbarCreatedMessage()) {
                Fire(events_.taskbarCreated);
                return 0;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MainWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return;
    }
    switch (id) {
        case kCommand1:
            Fire(events_.command1Click);
            break;
        case kCommand2:
            Fire(events_.command2Click);
            break;
        case kCheck1:
            Fire(events_.check1Click);
            break;
        default:
            break;
    }
}

void MainWindow::DoubleClickPendingRow() {
    const int row = pendingDoubleClickRow_;
    if (row <= 0 || RowCount() < row) {
        return;
    }
    pendingDoubleClickRow_ = 0;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(listView1_, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1),
                 reinterpret_cast<LPARAM>(&item));
    Fire(events_.listView1DblClick);
}

// ---- the list ----

void MainWindow::SetupList(const std::vector<std::string>& columnHeaders) {
    for (std::size_t i = 0; i < columnHeaders.size(); ++i) {
        std::wstring header = Widen(columnHeaders[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = kDefaultColumnWidth;
        column.pszText = header.data();
        SendMessageW(listView1_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void MainWindow::ClearRows() {
    SendMessageW(listView1_, LVM_DELETEALLITEMS, 0, 0);
}

void MainWindow::AddRow(const std::string& text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = wide.data();
    SendMessageW(listView1_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void MainWindow::SetCell(int row, int column, const std::string& text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(listView1_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1),
                 reinterpret_cast<LPARAM>(&item));
    // The last cell of a row that completes the wanted count: double-click after the update.
    if (pendingDoubleClickRow_ > 0 && column == 7 && row >= pendingDoubleClickRow_) {
        PostMessageW(window_, kDoubleClickPendingRow, 0, 0);
    }
}

int MainWindow::RowCount() const {
    return static_cast<int>(SendMessageW(listView1_, LVM_GETITEMCOUNT, 0, 0));
}

std::string MainWindow::CellText(int row, int column) const {
    if (row < 1 || row > RowCount()) {
        return {};
    }
    std::wstring buffer(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = SendMessageW(listView1_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1),
                                     reinterpret_cast<LPARAM>(&item));
    buffer.resize(static_cast<std::size_t>(length));
    return Narrow(buffer);
}

std::optional<int> MainWindow::SelectedRow() const {
    const auto index = SendMessageW(listView1_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                    MAKELPARAM(LVNI_SELECTED, 0));
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<int>(index) + 1;
}

// ---- texts and check boxes ----

void MainWindow::SetStatusText(const std::string& text) {
    SendMessageW(statusBar1_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void MainWindow::SetPreviewText(const std::string& text) {
    SetWindowTextW(label1_, Widen(text).c_str());
}

std::string MainWindow::TemplateText() const {
    return Narrow(WindowText(text1_));
}

void MainWindow::SetTemplateText(const std::string& text) {
    SetWindowTextW(text1_, Widen(text).c_str());
}

HWND MainWindow::CheckBoxWindow(CheckBox box) const {
    switch (box) {
        case CheckBox::Check1:
            return check1_;
        case CheckBox::Check2:
            return check2_;
        case CheckBox::Check3:
            return check3_;
    }
    return nullptr;
}

bool MainWindow::IsChecked(CheckBox box) const {
    return SendMessageW(CheckBoxWindow(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Setting the value raises no click: Form1 runs its click handling itself where it must.
void MainWindow::SetChecked(CheckBox box, bool on) {
    SendMessageW(CheckBoxWindow(box), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---- the window ----

void MainWindow::SetApplicationTitle(const std::string& title) {
    applicationTitle_ = title;
}

WindowState MainWindow::GetWindowState() const {
    return (IsIconic(window_) || minimizedWhileHidden_) ? WindowState::Minimized
                                                        : WindowState::Normal;
}

void MainWindow::SetWindowState(WindowState state) {
    if (state == WindowState::Minimized) {
        if (IsWindowVisible(window_)) {
            ShowWindow(window_, SW_MINIMIZE);
        } else {
            minimizedWhileHidden_ = true;  // shown minimized, if it is shown at all
        }
        return;
    }
    minimizedWhileHidden_ = false;
    // A hidden minimized window is restored when it is shown (Show).
    if (IsIconic(window_) && IsWindowVisible(window_)) {
        ShowWindow(window_, SW_RESTORE);
    }
}

bool MainWindow::IsShown() const {
    return IsWindowVisible(window_) != FALSE;
}

void MainWindow::Show() {
    if (minimizedWhileHidden_) {
        minimizedWhileHidden_ = false;
        ShowWindow(window_, SW_SHOWMINIMIZED);
        return;
    }
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
}

void MainWindow::Hide() {
    ShowWindow(window_, SW_HIDE);
}

void MainWindow::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    const UINT style =
        MB_OK | (icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONERROR);
    MessageBoxW(IsWindowVisible(window_) ? window_ : nullptr, Widen(text).c_str(),
                Widen(title.empty() ? applicationTitle_ : title).c_str(), style);
}

}  // namespace zonbode::app::win32
