#include "messengers/qt/BusNames.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace zonbode::messengers::qt {
namespace {

std::optional<QVariant> AskTheBus(const char* method, const QVariantList& arguments,
                                  std::chrono::milliseconds wait) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (wait.count() <= 0 || !bus.isConnected()) {
        return std::nullopt;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QLatin1String(method));
    call.setArguments(arguments);
    // Block without running the event loop: the caller is inside a handler.
    const QDBusMessage reply = bus.call(call, QDBus::Block, static_cast<int>(wait.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        return std::nullopt;
    }
    return reply.arguments().front();
}

}  // namespace

std::optional<QStringList> ListBusNames(std::chrono::milliseconds wait) {
    const std::optional<QVariant> names = AskTheBus("ListNames", {}, wait);
    if (!names || !names->canConvert<QStringList>()) {
        return std::nullopt;
    }
    return names->toStringList();
}

bool HasOwner(const QString& name, std::chrono::milliseconds wait) {
    const std::optional<QVariant> owned = AskTheBus("NameHasOwner", {name}, wait);
    return owned && owned->toBool();
}

}  // namespace zonbode::messengers::qt
