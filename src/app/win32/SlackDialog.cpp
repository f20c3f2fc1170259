#include "app/win32/SlackDialog.h"

#include "messengers/slack/SlackTexts.h"

namespace zonbode::app::win32 {

using layout::SlackControl;

SlackDialog::SlackDialog(HINSTANCE instance, HWND owner, HFONT font, messengers::SlackLink& link)
    : ModalDialog(instance, owner, font, kClassName, layout::kSlackDialogCaption,
                  layout::kSlackDialogWidthTwips, layout::kSlackDialogHeightTwips),
      link_(link) {}

void SlackDialog::OnOpen() {
    AddControls(layout::kSlackDialog);
    SetText(Control(SlackControl::Answer), link_.Greeting());
}

void SlackDialog::Busy(std::string_view text) {
    SetText(Control(SlackControl::Answer), text);
    EnableWindow(Control(SlackControl::TestButton), FALSE);
    EnableWindow(Control(SlackControl::DisconnectButton), FALSE);
}

void SlackDialog::Answered(const messengers::SlackLink::Answer& answer) {
    SetText(Control(SlackControl::Answer), answer.text);
    if (answer.accepted) {
        // Kept in the Credential Manager now, or forgotten; not on the screen.
        SetText(Control(SlackControl::TokenBox), "");
    }
    EnableWindow(Control(SlackControl::TestButton), TRUE);
    EnableWindow(Control(SlackControl::DisconnectButton), TRUE);
}

void SlackDialog::OnClick(int id) {
    const auto answered = WhileOpen<messengers::SlackLink::Answer>(
        [this](const messengers::SlackLink::Answer& answer) { Answered(answer); });
    if (id == ControlId(SlackControl::TestButton)) {
        Busy(messengers::kSlackTesting);
        link_.Test(TextOf(Control(SlackControl::TokenBox)), answered);
    } else if (id == ControlId(SlackControl::DisconnectButton)) {
        Busy(messengers::kSlackDisconnecting);
        link_.Disconnect(answered);
    }
}

}  // namespace zonbode::app::win32
