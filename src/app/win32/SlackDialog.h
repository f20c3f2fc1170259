#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "app/WindowLayout.h"
#include "messengers/slack/SlackLink.h"

namespace zonbode::app::win32 {

// The "Slack..." dialog, drawn from its layout table: the token box, "Test" and
// "Loskoppelen". Modal over its owner; what the buttons do is the link's.
class SlackDialog {
public:
    static constexpr wchar_t kClassName[] = L"ZonbodeSlackDialog";
    static constexpr int kFirstControlId = 300;

    SlackDialog(HINSTANCE instance, HWND owner, HFONT font, messengers::SlackLink& link);
    // Shows the dialog and returns when the user has closed it.
    void Run();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND Control(layout::SlackControl control) const {
        return controls_[static_cast<std::size_t>(control)];
    }
    void OnClick(int id);
    void SetAnswer(const std::string& text);
    // Test and Loskoppelen run off the window's thread; meanwhile the buttons wait.
    void Busy(std::string_view text);
    void Answered(const messengers::SlackLink::Answer& answer);
    // What an answer that comes after the dialog has gone finds: nothing.
    std::function<void(messengers::SlackLink::Answer)> WhenAnswered();

    HINSTANCE instance_;
    HWND owner_;
    HFONT font_;
    messengers::SlackLink& link_;
    HWND window_ = nullptr;
    bool closed_ = false;
    std::array<HWND, layout::kSlackDialog.size()> controls_{};
    std::shared_ptr<SlackDialog*> self_ = std::make_shared<SlackDialog*>(this);
};

}  // namespace zonbode::app::win32
