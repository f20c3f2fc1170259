#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/Ports.h"
#include "app/win32/ModalDialog.h"
#include "messengers/teams/TeamsLink.h"

namespace zonbode::app::win32 {

// The "Teams..." dialog, drawn from its layout table: the app registration's client ID and
// tenant, "Aanmelden", "Afmelden" and "Pagina openen" for the sign-in page. The sign-in runs
// off the window's thread; closing the dialog ends one that waits.
class TeamsDialog final : public ModalDialog {
public:
    static constexpr wchar_t kClassName[] = L"ZonbodeTeamsDialog";

    TeamsDialog(HINSTANCE instance, HWND owner, HFONT font, messengers::TeamsLink& link,
                SettingsStore& settings);

private:
    void OnOpen() override;
    void OnClick(int id) override;
    void OnClose() override;
    void Busy(std::string_view text);
    void Heard(const messengers::TeamsLink::News& news);

    messengers::TeamsLink& link_;
    SettingsStore& settings_;
    messengers::TeamsApp signingIn_;
    bool waiting_ = false;
    std::string page_;
};

}  // namespace zonbode::app::win32
