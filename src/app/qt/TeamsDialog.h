#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <string_view>

#include "app/Ports.h"
#include "app/WindowLayout.h"
#include "messengers/teams/TeamsLink.h"

class QLabel;
class QLineEdit;

namespace zonbode::app::qt {

// The "Teams..." dialog, drawn from its layout table: the app registration's client ID and
// tenant, "Aanmelden", "Afmelden" and "Pagina openen" for the sign-in page. The sign-in runs
// off the window's thread; closing the dialog ends one that waits.
class TeamsDialog : public QDialog {
    Q_OBJECT
public:
    TeamsDialog(QWidget* parent, messengers::TeamsLink& link, SettingsStore& settings);
    ~TeamsDialog() override;

    QWidget* ControlWidget(layout::TeamsControl control) const {
        return controls_[static_cast<std::size_t>(control)];
    }

private:
    QLineEdit* Box(layout::TeamsControl control) const;
    QLabel* Answer() const;
    void SignIn();
    void SignOut();
    void Heard(const messengers::TeamsLink::News& news);
    void Busy(std::string_view text);

    messengers::TeamsLink& link_;
    SettingsStore& settings_;
    messengers::TeamsApp signingIn_;
    bool waiting_ = false;
    std::string page_;
    std::array<QWidget*, layout::kTeamsDialog.size()> controls_{};
};

}  // namespace zonbode::app::qt
