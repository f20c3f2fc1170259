#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <array>
#include <string_view>

#include "app/WindowLayout.h"

namespace zonbode::app::qt {

QString ToQString(std::string_view text);

// One control of a dialog's layout table: a line edit, a push button or a word-wrapping label.
QWidget* CreateDialogControl(QWidget* parent, layout::ControlKind kind, std::string_view caption,
                             bool hidesText);

// The dialog at its table's size, with every control of the table placed; the widgets by place.
template <typename Id, std::size_t N>
std::array<QWidget*, N> LayOutDialog(QDialog& dialog, std::string_view caption, int widthTwips,
                                     int heightTwips,
                                     const std::array<layout::DialogControl<Id>, N>& table) {
    dialog.setWindowTitle(ToQString(caption));
    dialog.setFixedSize(layout::Pixels(widthTwips), layout::Pixels(heightTwips));
    std::array<QWidget*, N> widgets{};
    for (const layout::DialogControl<Id>& control : table) {
        QWidget* widget =
            CreateDialogControl(&dialog, control.kind, control.caption, control.hidesText);
        widget->setGeometry(layout::Pixels(control.rect.left), layout::Pixels(control.rect.top),
                            layout::Pixels(control.rect.width),
                            layout::Pixels(control.rect.height));
        widgets[static_cast<std::size_t>(control.control)] = widget;
    }
    return widgets;
}

}  // namespace zonbode::app::qt
