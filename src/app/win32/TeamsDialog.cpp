#include "app/win32/TeamsDialog.h"

#include <shellapi.h>

#include "app/StoredTeamsApp.h"
#include "app/win32/WideText.h"
#include "messengers/teams/TeamsTexts.h"

namespace zonbode::app::win32 {

using layout::TeamsControl;

TeamsDialog::TeamsDialog(HINSTANCE instance, HWND owner, HFONT font, messengers::TeamsLink& link,
                         SettingsStore& settings)
    : ModalDialog(instance, owner, font, kClassName, layout::kTeamsDialogCaption,
                  layout::kTeamsDialogWidthTwips, layout::kTeamsDialogHeightTwips),
      link_(link),
      settings_(settings) {}

void TeamsDialog::OnOpen() {
    AddControls(layout::kTeamsDialog);
    const messengers::TeamsApp app = ReadTeamsApp(settings_);
    SetText(Control(TeamsControl::ClientBox), app.client);
    SetText(Control(TeamsControl::TenantBox), app.tenant);
    SetText(Control(TeamsControl::Answer), link_.Greeting());
    EnableWindow(Control(TeamsControl::OpenButton), FALSE);
}

// A sign-in still waiting for the user has no one left to tell: it ends.
void TeamsDialog::OnClose() {
    if (waiting_) {
        link_.CancelSignIn();
    }
}

void TeamsDialog::Busy(std::string_view text) {
    SetText(Control(TeamsControl::Answer), text);
    EnableWindow(Control(TeamsControl::SignInButton), FALSE);
    EnableWindow(Control(TeamsControl::SignOutButton), FALSE);
}

void TeamsDialog::Heard(const messengers::TeamsLink::News& news) {
    SetText(Control(TeamsControl::Answer), news.text);
    if (!news.done) {
        page_ = news.verificationUri;
        EnableWindow(Control(TeamsControl::OpenButton), page_.empty() ? FALSE : TRUE);
        return;
    }
    waiting_ = false;
    if (news.signedIn) {
        StoreTeamsApp(settings_, signingIn_);
    }
    EnableWindow(Control(TeamsControl::OpenButton), FALSE);
    EnableWindow(Control(TeamsControl::SignInButton), TRUE);
    EnableWindow(Control(TeamsControl::SignOutButton), TRUE);
}

namespace {

std::string Trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

void TeamsDialog::OnClick(int id) {
    const auto heard = WhileOpen<messengers::TeamsLink::News>(
        [this](const messengers::TeamsLink::News& news) { Heard(news); });
    if (id == ControlId(TeamsControl::SignInButton)) {
        signingIn_ = {Trimmed(TextOf(Control(TeamsControl::ClientBox))),
                      Trimmed(TextOf(Control(TeamsControl::TenantBox)))};
        if (signingIn_.tenant.empty()) {
            signingIn_.tenant = messengers::TeamsApp{}.tenant;
        }
        Busy(messengers::kTeamsAsking);
        waiting_ = true;
        link_.SignIn(signingIn_, heard);
    } else if (id == ControlId(TeamsControl::SignOutButton)) {
        Busy(messengers::kTeamsAsking);
        link_.SignOut(heard);
    } else if (id == ControlId(TeamsControl::OpenButton) && !page_.empty()) {
        ShellExecuteW(nullptr, L"open", Widen(page_).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

}  // namespace zonbode::app::win32
