#include "messengers/copydata/qt/DBusMessengerTransport.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <algorithm>

#include "messengers/qt/BusNames.h"

namespace zonbode::messengers::qt {

std::vector<std::string> DBusMessengerTransport::Receivers() {
    const std::optional<QStringList> names =
        ListBusNames(waits_.Left(std::chrono::steady_clock::now()));
    if (!names) {
        return {};
    }
    std::vector<std::string> receivers;
    for (const QString& name : *names) {
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
    const std::chrono::milliseconds wait = waits_.For(receiver, std::chrono::steady_clock::now());
    if (!bus.isConnected() || wait.count() <= 0) {
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
    const QDBusMessage reply = bus.call(call, QDBus::Block, static_cast<int>(wait.count()));
    waits_.Answered(receiver,
                    reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.NoReply"));
}

}  // namespace zonbode::messengers::qt
