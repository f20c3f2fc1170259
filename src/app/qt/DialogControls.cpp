#include "app/qt/DialogControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zonbode::app::qt {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* CreateDialogControl(QWidget* parent, layout::ControlKind kind, std::string_view caption,
                             bool hidesText) {
    const QString text = ToQString(caption);
    switch (kind) {
        case layout::ControlKind::TextBox: {
            auto* box = new QLineEdit(text, parent);
            box->setEchoMode(hidesText ? QLineEdit::Password : QLineEdit::Normal);
            return box;
        }
        case layout::ControlKind::PushButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            return button;
        }
        default: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            return label;
        }
    }
}

}  // namespace zonbode::app::qt
