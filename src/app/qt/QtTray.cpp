#include "app/qt/QtTray.h"

#include "app/Form1.h"

namespace zonbode::app::qt {

QtTray::QtTray(const QIcon& icon) : icon_(icon) {
    icon_.setToolTip(QStringLiteral("Zonbode"));
    QObject::connect(&icon_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
}

void QtTray::AddTrayIcon() {
    icon_.show();
}

void QtTray::RemoveTrayIcon() {
    icon_.hide();
}

bool QtTray::IsIconShown() const {
    return icon_.isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::Activated(QSystemTrayIcon::ActivationReason reason) {
    // Trigger is a plain left click (and the release inside a double-click); the right button
    // would open a context menu, and there is none.
    if (reason == QSystemTrayIcon::Trigger && callback_) {
        callback_(kTrayLeftButtonUp);
    }
}

}  // namespace zonbode::app::qt
