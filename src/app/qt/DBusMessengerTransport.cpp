#include "app/qt/DBusMessengerTransport.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>
#include <algorithm>

namespace zonbode::app::qt {

std::vector<std::string> DBusMessengerTransport::Receivers() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return {};
    }
    const QDBusReply<QStringList> names = bus.interface()->registeredServiceNames();
    if (!names.isValid()) {
        return {};
    }
    std::vector<std::string> receivers;
    for (const QString& name : names.value()) {
        if (name.startsWith(QLatin1String(kNamePrefix)) &&
            name.size() > int(sizeof kNamePrefix) - 1) {
            receivers.push_back(name.toStdString());
        }
    }
    std::sort(receivers.begin(), receivers.end());
    return receivers;
}

void DBusMessengerTransport::Send(const std::string& receiver, std::uint32_t dwData,
                                  std::span<const std::uint8_t> record) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromStdString(receiver), QLatin1String(kObjectPath),
                                       QLatin1String(kInterface), QLatin1String(kMethod));
    call << QVariant::fromValue(static_cast<uint>(dwData))
         << QByteArray(reinterpret_cast<const char*>(record.data()),
                       static_cast<qsizetype>(record.size()));
    // Block without running the event loop: the caller is inside a handler, and the send is
    // synchronous the way WM_COPYDATA is, only bounded.
    bus.call(call, QDBus::Block, static_cast<int>(timeout_.count()));
}

}  // namespace zonbode::app::qt
