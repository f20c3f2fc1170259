#include "app/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/WideText.h"
#include "app/win32/Win32RunningCopies.h"
#include "app/win32/Win32Tray.h"

namespace zonbode::app::win32 {
namespace {

constexpr int kIconResource = 1;

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int ControlId(layout::Control control) {
    return MainWindow::kFirstControlId + static_cast<int>(control);
}

// A fixed border: nothing moves or changes size with the window.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

// A user32 call of newer Windows versions, or null where it is missing.
template <typename Function>
Function User32Call(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT DpiOf(HWND window) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpi = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
    if (getDpi != nullptr) {
        if (const UINT dpi = getDpi(window); dpi != 0) {
            return dpi;
        }
    }
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The window class and style that make a control of a kind.
struct ControlClass {
    const wchar_t* className;
    DWORD style;
};

ControlClass ClassOf(layout::ControlKind kind) {
    ControlClass made{L"STATIC", 0};
    if (layout::TakesFocus(kind)) {
        made.style = WS_TABSTOP;
    }
    switch (kind) {
        case layout::ControlKind::List:
            made.className = WC_LISTVIEWW;
            made.style |= WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
            break;
        case layout::ControlKind::StatusBar:
            made.className = STATUSCLASSNAMEW;
            break;
        case layout::ControlKind::Label:
            made.style |= SS_LEFT | SS_NOPREFIX;
            break;
        case layout::ControlKind::TextBox:
            made.className = L"EDIT";
            made.style |= WS_BORDER | ES_AUTOHSCROLL;
            break;
        case layout::ControlKind::PushButton:
            made.className = L"BUTTON";
            made.style |= BS_PUSHBUTTON;
            break;
        case layout::ControlKind::ToggleButton:
            made.className = L"BUTTON";
            made.style |= BS_AUTOCHECKBOX | BS_PUSHLIKE;
            break;
        case layout::ControlKind::CheckBox:
            made.className = L"BUTTON";
            made.style |= BS_AUTOCHECKBOX;
            break;
        case layout::ControlKind::DropDownList:
            made.className = L"COMBOBOX";
            made.style |= CBS_DROPDOWNLIST | WS_VSCROLL;
            break;
    }
    return made;
}

// What a control of a kind is told once it exists.
void FinishControl(HWND window, const layout::ControlLayout& control) {
    switch (control.kind) {
        case layout::ControlKind::List:
            SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                         LVS_EX_FULLROWSELECT);
            break;
        case layout::ControlKind::StatusBar: {
            int parts[] = {-1};
            SendMessageW(window, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
            SendMessageW(window, SB_SETTEXTW, 0,
                         reinterpret_cast<LPARAM>(Widen(control.caption).c_str()));
            break;
        }
        case layout::ControlKind::TextBox:
            SendMessageW(window, EM_SETLIMITTEXT, 0, 0);  // any stored template, whole
            break;
        default:
            break;
    }
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

    // Created at the 96-DPI size; WM_CREATE learns the monitor's DPI and the frame then
    // takes the size for it.
    const SIZE frame = FrameSize();
    window_ = CreateWindowExW(kExStyle, kClassName, Widen(layout::kWindowCaption).c_str(), kStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr,
                              instance, this);
    if (window_ != nullptr && dpi_ != 96) {
        ResizeToLayout(nullptr);
    }
}

RECT MainWindow::ScaledRect(const layout::Twips& twips) const {
    const int left = Scaled(layout::Pixels(twips.left));
    const int top = Scaled(layout::Pixels(twips.top));
    return {left, top, left + Scaled(layout::Pixels(twips.width)),
            top + Scaled(layout::Pixels(twips.height))};
}

// A control's place at the window's DPI. A drop-down list's height is that of its field and
// its opened list together.
RECT MainWindow::ControlRect(const layout::ControlLayout& control) const {
    RECT rect = ScaledRect(control.rect);
    if (control.kind == layout::ControlKind::DropDownList) {
        rect.bottom = rect.top + (rect.bottom - rect.top) * 8;
    }
    return rect;
}

// The platform's dialog face at the layout's size, scaled.
void MainWindow::CreateFontForDpi() {
    LOGFONTW face{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfHeight = -Scaled(layout::kFontPixels);
    face.lfWidth = 0;
    font_ = CreateFontIndirectW(&face);
}

// The outer size that gives the layout's client area at the window's DPI.
SIZE MainWindow::FrameSize() const {
    using AdjustForDpiCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Call<AdjustForDpiCall>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, Scaled(layout::Pixels(layout::kClientWidthTwips)),
               Scaled(layout::Pixels(layout::kClientHeightTwips))};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, kStyle, FALSE, kExStyle, dpi_);
    } else {
        AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The window moved to a monitor of another scale: the layout, the font and the list's
// columns follow, and the window takes its new size where the system suggests.
void MainWindow::ApplyDpi(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    HFONT old = font_;
    CreateFontForDpi();
    for (const layout::ControlLayout& control : layout::kControls) {
        HWND window = ControlWindow(control.control);
        const RECT rect = ControlRect(control);
        SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    const auto columns = SendMessageW(ListView_GetHeader(ListView1()), HDM_GETITEMCOUNT, 0, 0);
    for (LRESULT column = 0; column < columns; ++column) {
        SendMessageW(ListView1(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MAKELPARAM(Scaled(layout::kDefaultColumnWidthPixels), 0));
    }
    if (old != nullptr) {
        DeleteObject(old);
    }
    const POINT position{suggested.left, suggested.top};
    ResizeToLayout(&position);
}

// The fixed layout whole, even where it is larger than the screen (a small screen at a large
// scale), with room for ResizeToLayout's mending.
void MainWindow::AllowLayoutSize(MINMAXINFO& limits) const {
    const SIZE frame = FrameSize();
    limits.ptMaxTrackSize.x = std::max<LONG>(limits.ptMaxTrackSize.x, frame.cx + 64);
    limits.ptMaxTrackSize.y = std::max<LONG>(limits.ptMaxTrackSize.y, frame.cy + 64);
}

// The frame's size for the layout's client area, then mended by what the client area came out
// as: the border and caption a system draws need not be the ones it computes for the DPI.
void MainWindow::ResizeToLayout(const POINT* position) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (position == nullptr ? SWP_NOMOVE : 0);
    const int x = position != nullptr ? position->x : 0;
    const int y = position != nullptr ? position->y : 0;
    const SIZE frame = FrameSize();
    SetWindowPos(window_, nullptr, x, y, frame.cx, frame.cy, flags);
    RECT client;
    GetClientRect(window_, &client);
    const int dx = Scaled(layout::Pixels(layout::kClientWidthTwips)) - client.right;
    const int dy = Scaled(layout::Pixels(layout::kClientHeightTwips)) - client.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(window_, nullptr, x, y, frame.cx + dx, frame.cy + dy, flags);
    }
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
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

HWND MainWindow::CreateControl(const layout::ControlLayout& control) {
    const ControlClass kind = ClassOf(control.kind);
    const bool isStatusBar = control.kind == layout::ControlKind::StatusBar;
    const RECT rect = ControlRect(control);
    HWND window =
        CreateWindowExW(0, kind.className, isStatusBar ? L"" : Widen(control.caption).c_str(),
                        WS_CHILD | WS_VISIBLE | kind.style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control.control))),
                        instance_, nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    FinishControl(window, control);
    return window;
}

// Created in tab order: the dialog keyboard handling follows the creation order.
void MainWindow::CreateControls() {
    for (const layout::ControlLayout& control : layout::kControls) {
        controls_[static_cast<std::size_t>(control.control)] = CreateControl(control);
    }
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

void MainWindow::Unload() {
    if (!unloaded_) {
        unloaded_ = true;
        Fire(events_.formUnload);
    }
}

// The messages that make and keep the layout: true when message was one of them.
bool MainWindow::HandleLayoutMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            dpi_ = DpiOf(window_);
            CreateFontForDpi();
            CreateControls();
            return true;
        case WM_GETMINMAXINFO:
            AllowLayoutSize(*reinterpret_cast<MINMAXINFO*>(lParam));
            return true;
        case WM_DPICHANGED:
            ApplyDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return true;
        case WM_SIZE:
            // The status bar keeps itself along the bottom edge, at its font's height.
            SendMessageW(ControlWindow(layout::Control::StatusBar1), WM_SIZE, 0, 0);
            Fire(events_.formResize);
            return true;
        default:
            return false;
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleLayoutMessage(message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            OnNotify(lParam);
            return 0;
        case WM_CLOSE:
            // Shutdown cannot be cancelled; the program ends with the window.
            Unload();
            DestroyWindow(window_);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // nothing to ask: the unload cannot be cancelled
        case WM_ENDSESSION:
            // Signing out or shutting down ends the program as closing the window does. The
            // process may be ended as soon as this returns, so the unload runs now.
            if (wParam != FALSE) {
                Unload();
                DestroyWindow(window_);
            }
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
        default:
            if (HandleRegisteredMessage(message)) {
                return 0;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MainWindow::OnNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    // NM_DBLCLK is the left button's; the right one's is NM_RDBLCLK.
    if (header->hwndFrom == ListView1() && header->code == NM_DBLCLK) {
        OnListDoubleClick(*reinterpret_cast<const NMITEMACTIVATE*>(lParam));
    }
}

// The messages whose numbers the system hands out at run time: true when message was one.
bool MainWindow::HandleRegisteredMessage(UINT message) {
    if (message == Win32Tray::TaskbarCreatedMessage()) {
        Fire(events_.taskbarCreated);
        return true;
    }
    if (message == Win32RunningCopies::WakeMessage()) {
        Fire(events_.anotherCopyStarted);
        return true;
    }
    return false;
}

void MainWindow::OnCommand(int id, int code) {
    using layout::Control;
    if (id == ControlId(Control::Combo1)) {
        OnMatchList(code);
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    if (id == IDOK) {
        OnEnter();
    } else if (id == ControlId(Control::Command3)) {
        Fire(events_.command3Click);
    } else if (id == ControlId(Control::Command1)) {
        Fire(events_.command1Click);
    } else if (id == ControlId(Control::Command2)) {
        Fire(events_.command2Click);
    } else if (id == ControlId(Control::Check1)) {
        Fire(events_.check1Click);
    } else if (id == ControlId(Control::Check4)) {
        Fire(events_.check4Click);
    } else if (id == ControlId(Control::SlackButton)) {
        Fire(events_.slackButtonClick);
    } else if (id == ControlId(Control::TeamsButton)) {
        Fire(events_.teamsButtonClick);
    }
}

// Enter: the dialog keyboard handling turns it into IDOK. On the selected row it does what a
// double-click does; in the place box it searches.
void MainWindow::OnEnter() {
    if (GetFocus() == ListView1() && SelectedRow()) {
        Fire(events_.listView1DblClick);
    } else if (GetFocus() == ControlWindow(layout::Control::Text2)) {
        Fire(events_.command3Click);
    }
}

// A choice: an entry taken from the opened list, or one stepped to with the arrow keys while
// the list is closed (moving through the opened list chooses nothing yet).
void MainWindow::OnMatchList(int code) {
    const HWND list = ControlWindow(layout::Control::Combo1);
    const bool dropped = SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) {
        Fire(events_.combo1Click);
    } else if (code == CBN_CLOSEUP) {
        Fire(events_.combo1CloseUp);
    }
}

// A left double-click on a row: that row is the selected one when Form1 looks. One on the
// blank area below the rows is nothing.
void MainWindow::OnListDoubleClick(const NMITEMACTIVATE& click) {
    if (click.iItem < 0) {
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(ListView1(), LVM_SETITEMSTATE, static_cast<WPARAM>(click.iItem),
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
        column.cx = Scaled(layout::kDefaultColumnWidthPixels);
        column.pszText = header.data();
        SendMessageW(ListView1(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void MainWindow::ClearRows() {
    SendMessageW(ListView1(), LVM_DELETEALLITEMS, 0, 0);
}

void MainWindow::AddRow(const std::string& text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = wide.data();
    SendMessageW(ListView1(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void MainWindow::SetCell(int row, int column, const std::string& text) {
    if (!IsCell(row, column)) {
        return;
    }
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(ListView1(), LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1),
                 reinterpret_cast<LPARAM>(&item));
}

int MainWindow::RowCount() const {
    return static_cast<int>(SendMessageW(ListView1(), LVM_GETITEMCOUNT, 0, 0));
}

bool MainWindow::IsCell(int row, int column) const {
    const auto columns = SendMessageW(ListView_GetHeader(ListView1()), HDM_GETITEMCOUNT, 0, 0);
    return row >= 1 && row <= RowCount() && column >= 0 && column < columns;
}

std::string MainWindow::CellText(int row, int column) const {
    if (!IsCell(row, column)) {
        return {};
    }
    // The list says how much it copied, not how long the text is: a buffer it filled to the
    // last place may have cut the text, so it is read again into a larger one.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(SendMessageW(ListView1(), LVM_GETITEMTEXTW,
                                                                  static_cast<WPARAM>(row - 1),
                                                                  reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

std::optional<int> MainWindow::SelectedRow() const {
    const auto index = SendMessageW(ListView1(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                    MAKELPARAM(LVNI_SELECTED, 0));
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<int>(index) + 1;
}

// ---- texts and check boxes ----

void MainWindow::SetStatusText(const std::string& text) {
    SendMessageW(ControlWindow(layout::Control::StatusBar1), SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void MainWindow::SetPreviewText(const std::string& text) {
    SetWindowTextW(ControlWindow(layout::Control::Label1), Widen(text).c_str());
}

std::string MainWindow::TemplateText() const {
    return Narrow(WindowText(ControlWindow(layout::Control::Text1)));
}

void MainWindow::SetTemplateText(const std::string& text) {
    SetWindowTextW(ControlWindow(layout::Control::Text1), Widen(text).c_str());
}

std::string MainWindow::PlaceText() const {
    return Narrow(WindowText(ControlWindow(layout::Control::Text2)));
}

void MainWindow::SetPlaceText(const std::string& text) {
    SetWindowTextW(ControlWindow(layout::Control::Text2), Widen(text).c_str());
}

// The opened list is as wide as its longest label (never narrower than the box), has the keys,
// and highlights the first match: Enter takes it, the arrows move, as in the Linux window.
void MainWindow::SetPlaceMatches(const std::vector<std::string>& labels) {
    const HWND list = ControlWindow(layout::Control::Combo1);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(list);
    const HGDIOBJ oldFont = SelectObject(dc, font_);
    LONG widest = 0;
    for (const std::string& label : labels) {
        const std::wstring wide = Widen(label);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        widest = std::max(widest, size.cx);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    // Room for the entries' margins and a scroll bar.
    const int margin = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + margin), 0);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    if (!labels.empty() && IsWindowVisible(window_)) {
        SetFocus(list);
        SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageW(list, CB_SETCURSEL, 0, 0);
    }
}

std::optional<int> MainWindow::ChosenMatch() const {
    const auto index = SendMessageW(ControlWindow(layout::Control::Combo1), CB_GETCURSEL, 0, 0);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<int>(index);
}

void MainWindow::SetForecastPlaceText(const std::string& text) {
    SetWindowTextW(ControlWindow(layout::Control::Label4), Widen(text).c_str());
}

void MainWindow::SetPlaceSearchEnabled(bool enabled) {
    using layout::Control;
    for (Control control : {Control::Text2, Control::Command3, Control::Combo1}) {
        EnableWindow(ControlWindow(control), enabled ? TRUE : FALSE);
    }
}

HWND MainWindow::CheckBoxWindow(CheckBox box) const {
    switch (box) {
        case CheckBox::Check1:
            return ControlWindow(layout::Control::Check1);
        case CheckBox::Check2:
            return ControlWindow(layout::Control::Check2);
        case CheckBox::Check3:
            return ControlWindow(layout::Control::Check3);
        case CheckBox::Check4:
            return ControlWindow(layout::Control::Check4);
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
    UINT style = MB_OK | (icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONERROR);
    // Over the window when it is on screen; otherwise (hidden in the tray, minimized) the box
    // has no owner to sit over, and disables every window of the program instead.
    HWND owner = window_;
    if (!IsWindowVisible(window_) || IsIconic(window_)) {
        owner = nullptr;
        style |= MB_TASKMODAL;
    }
    MessageBoxW(owner, Widen(text).c_str(),
                Widen(title.empty() ? applicationTitle_ : title).c_str(), style);
}

}  // namespace zonbode::app::win32
