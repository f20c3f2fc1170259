#pragma once

#include <windows.h>

#include <string_view>

#include "app/win32/ModalDialog.h"
#include "messengers/slack/SlackLink.h"

namespace zonbode::app::win32 {

// The "Slack..." dialog, drawn from its layout table: the token box, "Test" and
// "Loskoppelen". What the buttons do is the link's, off the window's thread.
class SlackDialog final : public ModalDialog {
public:
    static constexpr wchar_t kClassName[] = L"ZonbodeSlackDialog";

    SlackDialog(HINSTANCE instance, HWND owner, HFONT font, messengers::SlackLink& link);

private:
    void OnOpen() override;
    void OnClick(int id) override;
    // Meanwhile the buttons wait.
    void Busy(std::string_view text);
    void Answered(const messengers::SlackLink::Answer& answer);

    messengers::SlackLink& link_;
};

}  // namespace zonbode::app::win32
