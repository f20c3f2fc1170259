#include "app/qt/TeamsDialog.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include "app/StoredTeamsApp.h"
#include "app/qt/DialogControls.h"
#include "messengers/teams/TeamsTexts.h"

namespace zonbode::app::qt {

using layout::TeamsControl;

TeamsDialog::TeamsDialog(QWidget* parent, messengers::TeamsLink& link, SettingsStore& settings)
    : QDialog(parent), link_(link), settings_(settings) {
    controls_ = LayOutDialog(*this, layout::kTeamsDialogCaption, layout::kTeamsDialogWidthTwips,
                             layout::kTeamsDialogHeightTwips, layout::kTeamsDialog);
    const messengers::TeamsApp app = ReadTeamsApp(settings_);
    Box(TeamsControl::ClientBox)->setText(ToQString(app.client));
    Box(TeamsControl::TenantBox)->setText(ToQString(app.tenant));
    Answer()->setText(ToQString(link_.Greeting()));
    ControlWidget(TeamsControl::OpenButton)->setEnabled(false);
    connect(static_cast<QPushButton*>(ControlWidget(TeamsControl::SignInButton)),
            &QPushButton::clicked, this, &TeamsDialog::SignIn);
    connect(static_cast<QPushButton*>(ControlWidget(TeamsControl::SignOutButton)),
            &QPushButton::clicked, this, &TeamsDialog::SignOut);
    connect(static_cast<QPushButton*>(ControlWidget(TeamsControl::OpenButton)),
            &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(QString::fromStdString(page_))); });
}

// A sign-in still waiting for the user has no one left to tell: it ends.
TeamsDialog::~TeamsDialog() {
    if (waiting_) {
        link_.CancelSignIn();
    }
}

QLineEdit* TeamsDialog::Box(TeamsControl control) const {
    return static_cast<QLineEdit*>(ControlWidget(control));
}

QLabel* TeamsDialog::Answer() const {
    return static_cast<QLabel*>(ControlWidget(TeamsControl::Answer));
}

void TeamsDialog::Busy(std::string_view text) {
    Answer()->setText(ToQString(text));
    ControlWidget(TeamsControl::SignInButton)->setEnabled(false);
    ControlWidget(TeamsControl::SignOutButton)->setEnabled(false);
}

void TeamsDialog::SignIn() {
    signingIn_ = {Box(TeamsControl::ClientBox)->text().trimmed().toStdString(),
                  Box(TeamsControl::TenantBox)->text().trimmed().toStdString()};
    if (signingIn_.tenant.empty()) {
        signingIn_.tenant = messengers::TeamsApp{}.tenant;
    }
    Busy(messengers::kTeamsAsking);
    waiting_ = true;
    link_.SignIn(signingIn_,
                 [self = QPointer<TeamsDialog>(this)](const messengers::TeamsLink::News& news) {
                     if (self) {
                         self->Heard(news);
                     }
                 });
}

void TeamsDialog::SignOut() {
    Busy(messengers::kTeamsAsking);
    link_.SignOut([self = QPointer<TeamsDialog>(this)](const messengers::TeamsLink::News& news) {
        if (self) {
            self->Heard(news);
        }
    });
}

void TeamsDialog::Heard(const messengers::TeamsLink::News& news) {
    Answer()->setText(ToQString(news.text));
    if (!news.done) {
        page_ = news.verificationUri;
        ControlWidget(TeamsControl::OpenButton)->setEnabled(!page_.empty());
        return;
    }
    waiting_ = false;
    if (news.signedIn) {
        StoreTeamsApp(settings_, signingIn_);
    }
    ControlWidget(TeamsControl::OpenButton)->setEnabled(false);
    ControlWidget(TeamsControl::SignInButton)->setEnabled(true);
    ControlWidget(TeamsControl::SignOutButton)->setEnabled(true);
}

}  // namespace zonbode::app::qt
