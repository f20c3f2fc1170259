#include "app/qt/SlackDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "messengers/slack/SlackTexts.h"

namespace zonbode::app::qt {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* CreateControl(QWidget* parent, const layout::SlackDialogControl& control) {
    const QString caption = ToQString(control.caption);
    switch (control.kind) {
        case layout::ControlKind::TextBox: {
            auto* box = new QLineEdit(caption, parent);
            box->setEchoMode(control.hidesText ? QLineEdit::Password : QLineEdit::Normal);
            return box;
        }
        case layout::ControlKind::PushButton: {
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            return button;
        }
        default: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
    }
}

}  // namespace

SlackDialog::SlackDialog(QWidget* parent, messengers::SlackLink& link)
    : QDialog(parent), link_(link) {
    setWindowTitle(ToQString(layout::kSlackDialogCaption));
    setFixedSize(layout::Pixels(layout::kSlackDialogWidthTwips),
                 layout::Pixels(layout::kSlackDialogHeightTwips));
    for (const layout::SlackDialogControl& control : layout::kSlackDialog) {
        QWidget* widget = CreateControl(this, control);
        widget->setGeometry(layout::Pixels(control.rect.left), layout::Pixels(control.rect.top),
                            layout::Pixels(control.rect.width),
                            layout::Pixels(control.rect.height));
        controls_[static_cast<std::size_t>(control.control)] = widget;
    }
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
