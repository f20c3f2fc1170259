#include "app/win32/ModalDialog.h"

#include "app/win32/WideText.h"

namespace zonbode::app::win32 {
namespace {

const wchar_t* ClassOf(layout::ControlKind kind, DWORD& style) {
    switch (kind) {
        case layout::ControlKind::TextBox:
            style |= WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
            return L"EDIT";
        case layout::ControlKind::PushButton:
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            return L"BUTTON";
        default:
            style |= SS_LEFT | SS_NOPREFIX;
            return L"STATIC";
    }
}

}  // namespace

ModalDialog::ModalDialog(HINSTANCE instance, HWND owner, HFONT font, const wchar_t* className,
                         std::string_view caption, int widthTwips, int heightTwips)
    : instance_(instance),
      owner_(owner),
      font_(font),
      className_(className),
      caption_(caption),
      widthTwips_(widthTwips),
      heightTwips_(heightTwips) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className_;
    RegisterClassExW(&windowClass);  // fails harmlessly when it is registered already
}

HWND ModalDialog::AddControl(int place, layout::ControlKind kind, std::string_view caption,
                             const layout::Twips& rect, bool hidesText) {
    DWORD style = WS_CHILD | WS_VISIBLE | (hidesText ? ES_PASSWORD : 0);
    const wchar_t* className = ClassOf(kind, style);
    HWND child = CreateWindowExW(
        0, className, Widen(caption).c_str(), style, layout::Pixels(rect.left),
        layout::Pixels(rect.top), layout::Pixels(rect.width), layout::Pixels(rect.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + place)), instance_, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

std::string ModalDialog::TextOf(HWND control) const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void ModalDialog::SetText(HWND control, std::string_view text) const {
    SetWindowTextW(control, Widen(text).c_str());
}

void ModalDialog::Run() {
    RECT frame{0, 0, layout::Pixels(widthTwips_), layout::Pixels(heightTwips_)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, className_, Widen(caption_).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, owner_, nullptr, instance_, this);
    if (window_ == nullptr) {
        return;
    }
    *open_ = true;
    OnOpen();
    EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    if (controls_.size() > 1) {
        SetFocus(controls_[1]);  // the first box, after its label
    }
    MSG message;
    while (!closed_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window_, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    *open_ = false;
    OnClose();
    EnableWindow(owner_, TRUE);
    DestroyWindow(window_);
    window_ = nullptr;
    SetForegroundWindow(owner_);
    if (!closed_) {
        PostQuitMessage(static_cast<int>(message.wParam));  // WM_QUIT meant for the program
    }
}

LRESULT CALLBACK ModalDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (dialog != nullptr) {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDCANCEL) {
                dialog->closed_ = true;  // Escape
            } else {
                dialog->OnClick(LOWORD(wParam));
            }
            return 0;
        }
        if (message == WM_CLOSE) {
            dialog->closed_ = true;
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zonbode::app::win32
