#include "app/qt/DBusRunningCopies.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace zonbode::app::qt {

bool DBusRunningCopies::ClaimRunningCopy() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return true;
    }
    // The object first, so a later start that finds the name finds it answering.
    bus.registerObject(QString::fromLatin1(kObjectPath), this,
                       QDBusConnection::ExportScriptableSlots);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QString::fromLatin1(kService),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    // A bus that cannot say leaves this start running.
    return !reply.isValid() || reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

void DBusRunningCopies::WakeRunningCopy() {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
        QString::fromLatin1(kInterface), QStringLiteral("Activate"));
    QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

void DBusRunningCopies::Activate() {
    if (onActivate_) {
        onActivate_();
    }
}

}  // namespace zonbode::app::qt
