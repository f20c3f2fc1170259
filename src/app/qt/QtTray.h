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

    bool IsAvailable() const override;
    void AddTrayIcon() override;
    void RemoveTrayIcon() override;

    // What an activation of the icon means to Form1; exposed for tests.
    void Activated(QSystemTrayIcon::ActivationReason reason);

private:
    QSystemTrayIcon icon_;
    Callback callback_;
};

}  // namespace zonbode::app::qt
