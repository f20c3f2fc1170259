#pragma once

#include <QIcon>
#include <QSystemTrayIcon>
#include <functional>

#include "app/Ports.h"

namespace zonbode::app::qt {

// The notification-area icon: tip "Zonbode", no menu. A left click reports a left-button
// release, as the icon's mouse callback does on Windows.
class QtTray : public Tray {
public:
    using Callback = std::function<void(int mouseMessage)>;

    explicit QtTray(const QIcon& icon);

    void SetCallback(Callback callback) { callback_ = std::move(callback); }
    const QSystemTrayIcon& Icon() const { return icon_; }

    void AddTrayIcon() override;
    void RemoveTrayIcon() override;
    // Shown while the icon is wanted and the desktop has a notification area; Qt puts it
    // there by itself when an area appears later.
    bool IsIconShown() const override;

    // What an activation of the icon means to Form1; exposed for tests.
    void Activated(QSystemTrayIcon::ActivationReason reason);

private:
    QSystemTrayIcon icon_;
    Callback callback_;
};

}  // namespace zonbode::app::qt
