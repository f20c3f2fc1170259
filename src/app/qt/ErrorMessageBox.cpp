#include "app/qt/ErrorMessageBox.h"

#include <QMessageBox>

#include "net/MessageBoxHook.h"

namespace zonbode::app::qt {

void InstallErrorMessageBox() {
    net::SetMessageBoxHook([](const std::string& text, const std::string& title) {
        QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                        QString::fromStdString(text), QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    });
}

}  // namespace zonbode::app::qt
