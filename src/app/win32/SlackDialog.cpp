#include "app/win32/SlackDialog.h"

#include <string>

#include "app/win32/WideText.h"
#include "messengers/slack/SlackTexts.h"

namespace zonbode::app::win32 {
namespace {

int ControlId(layout::SlackControl control) {
    return SlackDialog::kFirstControlId + static_cast<int>(control);
}

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

SlackDialog::SlackDialog(HINSTANCE instance, HWND owner, HFONT font, messengers::SlackLink& link)
    : instance_(instance), owner_(owner), font_(font), link_(link) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when it is registered already
}

void SlackDialog::Run() {
    RECT frame{0, 0, layout::Pixels(layout::kSlackDialogWidthTwips),
               layout::Pixels(layout::kSlackDialogHeightTwips)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    window_ =
        CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, Widen(layout::kSlackDialogCaption).c_str(),
                        style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, owner_, nullptr, instance_, this);
    if (window_ == nullptr) {
        return;
    }
    CreateControls();
    SetAnswer(link_.Greeting());
    EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetFocus(Control(layout::SlackControl::TokenBox));
    MSG message;
    while (!closed_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window_, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EnableWindow(owner_, TRUE);
    DestroyWindow(window_);
    window_ = nullptr;
    SetForegroundWindow(owner_);
    if (!closed_) {
        PostQuitMessage(static_cast<int>(message.wParam));  // WM_QUIT meant for the program
    }
}

void SlackDialog::CreateControls() {
    for (const layout::SlackDialogControl& control : layout::kSlackDialog) {
        DWORD style = WS_CHILD | WS_VISIBLE | (control.hidesText ? ES_PASSWORD : 0);
        const wchar_t* className = ClassOf(control.kind, style);
        HWND child = CreateWindowExW(
            0, className, Widen(control.caption).c_str(), style, layout::Pixels(control.rect.left),
            layout::Pixels(control.rect.top), layout::Pixels(control.rect.width),
            layout::Pixels(control.rect.height), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control.control))), instance_,
            nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        controls_[static_cast<std::size_t>(control.control)] = child;
    }
}

void SlackDialog::SetAnswer(const std::string& text) {
    SetWindowTextW(Control(layout::SlackControl::Answer), Widen(text).c_str());
}

void SlackDialog::Busy(std::string_view text) {
    SetAnswer(std::string(text));
    EnableWindow(Control(layout::SlackControl::TestButton), FALSE);
    EnableWindow(Control(layout::SlackControl::DisconnectButton), FALSE);
}

void SlackDialog::Answered(const messengers::SlackLink::Answer& answer) {
    SetAnswer(answer.text);
    if (answer.accepted) {
        // Kept in the Credential Manager now, or forgotten; not on the screen.
        SetWindowTextW(Control(layout::SlackControl::TokenBox), L"");
    }
    EnableWindow(Control(layout::SlackControl::TestButton), TRUE);
    EnableWindow(Control(layout::SlackControl::DisconnectButton), TRUE);
}

std::function<void(messengers::SlackLink::Answer)> SlackDialog::WhenAnswered() {
    return [self = std::weak_ptr<SlackDialog*>(self_)](const messengers::SlackLink::Answer& said) {
        if (const auto dialog = self.lock(); dialog && (*dialog)->window_ != nullptr) {
            (*dialog)->Answered(said);
        }
    };
}

void SlackDialog::OnClick(int id) {
    HWND box = Control(layout::SlackControl::TokenBox);
    if (id == ControlId(layout::SlackControl::TestButton)) {
        std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
        typed.resize(static_cast<std::size_t>(
            GetWindowTextW(box, typed.data(), static_cast<int>(typed.size()))));
        Busy(messengers::kSlackTesting);
        link_.Test(Narrow(typed), WhenAnswered());
    } else if (id == ControlId(layout::SlackControl::DisconnectButton)) {
        Busy(messengers::kSlackDisconnecting);
        link_.Disconnect(WhenAnswered());
    } else if (id == IDCANCEL) {
        closed_ = true;  // Escape
    }
}

LRESULT CALLBACK SlackDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* dialog = reinterpret_cast<SlackDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (dialog != nullptr) {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            dialog->OnClick(LOWORD(wParam));
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
