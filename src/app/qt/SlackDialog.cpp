#include "app/qt/SlackDialog.h"

#include "app/qt/DialogControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "messengers/slack/SlackTexts.h"

namespace zonbode::app::qt {

SlackDialog::SlackDialog(QWidget* parent, messengers::SlackLink& link)
    : QDialog(parent), link_(link) {
    controls_ = LayOutDialog(*this, layout::kSlackDialogCaption, layout::kSlackDialogWidthTwips,
                             layout::kSlackDialogHeightTwips, layout::kSlackDialog);
    Answer()->setText(ToQString(link_.Greeting()));
    connect(static_cast<QPushButton*>(ControlWidget(layout::SlackControl::TestButton)),
            &QPushButton::clicked, this, &SlackDialog::Test);
    connect(static_cast<QPushButton*>(ControlWidget(layout::SlackControl::DisconnectButton)),
            &QPushButton::clicked, this, &SlackDialog::Disconnect);
}

QLineEdit* SlackDialog::TokenBox() const {
    return static_cast<QLineEdit*>(ControlWidget(layout::SlackControl::TokenBox));
}

QLabel* SlackDialog::Answer() const {
    return static_cast<QLabel*>(ControlWidget(layout::SlackControl::Answer));
}

void SlackDialog::Test() {
    Busy(messengers::kSlackTesting);
    link_.Test(TokenBox()->text().toStdString(),
               [self = QPointer<SlackDialog>(this)](const messengers::SlackLink::Answer& answer) {
                   if (self) {
                       self->Answered(answer);
                   }
               });
}

void SlackDialog::Disconnect() {
    Busy(messengers::kSlackDisconnecting);
    link_.Disconnect(
        [self = QPointer<SlackDialog>(this)](const messengers::SlackLink::Answer& answer) {
            if (self) {
                self->Answered(answer);
            }
        });
}

void SlackDialog::Busy(std::string_view text) {
    Answer()->setText(ToQString(text));
    ControlWidget(layout::SlackControl::TestButton)->setEnabled(false);
    ControlWidget(layout::SlackControl::DisconnectButton)->setEnabled(false);
}

void SlackDialog::Answered(const messengers::SlackLink::Answer& answer) {
    Answer()->setText(ToQString(answer.text));
    if (answer.accepted) {
        TokenBox()->clear();  // kept in the secret store now, or forgotten; not on the screen
    }
    ControlWidget(layout::SlackControl::TestButton)->setEnabled(true);
    ControlWidget(layout::SlackControl::DisconnectButton)->setEnabled(true);
}

}  // namespace zonbode::app::qt
