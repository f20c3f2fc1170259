#include "messengers/pidgin/qt/PurpleDBusService.h"

#include <QDBusMessage>

namespace zonbode::messengers::qt {
namespace {

QVariant Int(std::int32_t value) {
    return QVariant::fromValue(static_cast<int>(value));
}

QVariant Text(const std::string& text) {
    return QVariant::fromValue(QString::fromStdString(text));
}

}  // namespace

QDBusMessage PurpleDBusService::MethodCall(const char* method, const QVariantList& arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kServiceName), QLatin1String(kObjectPath),
                                       QLatin1String(kInterface), QLatin1String(method));
    call.setArguments(arguments);
    // A missing client is not started for us: a status is no reason to open its window.
    call.setAutoStartService(false);
    return call;
}

std::optional<QVariantList> PurpleDBusService::Call(const char* method,
                                                    const QVariantList& arguments) {
    const qint64 remaining = deadline_.remainingTime();
    if (remaining <= 0 || !bus_.isConnected()) {
        return std::nullopt;
    }
    // Block without running the event loop: the caller is inside a handler.
    const QDBusMessage reply =
        bus_.call(MethodCall(method, arguments), QDBus::Block, static_cast<int>(remaining));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        timedOut_ =
            timedOut_ || reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply");
        return std::nullopt;
    }
    return reply.arguments();
}

bool PurpleDBusService::Complete(const char* method, const QVariantList& arguments) {
    if (deadline_.remainingTime() > 0 || !bus_.isConnected()) {
        return Call(method, arguments).has_value();
    }
    return bus_.send(MethodCall(method, arguments));
}

std::optional<std::int32_t> PurpleDBusService::CallForInt(const char* method,
                                                          const QVariantList& arguments) {
    const std::optional<QVariantList> reply = Call(method, arguments);
    if (!reply || reply->size() != 1 || reply->front().metaType() != QMetaType::fromType<int>()) {
        return std::nullopt;
    }
    return reply->front().toInt();
}

std::optional<std::int32_t> PurpleDBusService::SavedstatusGetCurrent() {
    return CallForInt("PurpleSavedstatusGetCurrent", {});
}

std::optional<std::int32_t> PurpleDBusService::SavedstatusGetType(std::int32_t status) {
    return CallForInt("PurpleSavedstatusGetType", {Int(status)});
}

std::optional<std::string> PurpleDBusService::SavedstatusGetMessage(std::int32_t status) {
    const std::optional<QVariantList> reply = Call("PurpleSavedstatusGetMessage", {Int(status)});
    if (!reply || reply->size() != 1 ||
        reply->front().metaType() != QMetaType::fromType<QString>()) {
        return std::nullopt;
    }
    return reply->front().toString().toStdString();
}

std::optional<std::int32_t> PurpleDBusService::SavedstatusGetCreationTime(std::int32_t status) {
    return CallForInt("PurpleSavedstatusGetCreationTime", {Int(status)});
}

std::optional<std::int32_t> PurpleDBusService::SavedstatusFindByCreationTime(
    std::int32_t creationTime) {
    return CallForInt("PurpleSavedstatusFindByCreationTime", {Int(creationTime)});
}

std::optional<std::int32_t> PurpleDBusService::SavedstatusFindTransientByTypeAndMessage(
    std::int32_t type, const std::string& message) {
    return CallForInt("PurpleSavedstatusFindTransientByTypeAndMessage", {Int(type), Text(message)});
}

std::optional<std::int32_t> PurpleDBusService::SavedstatusNew(const std::string& title,
                                                              std::int32_t type) {
    return CallForInt("PurpleSavedstatusNew", {Text(title), Int(type)});
}

bool PurpleDBusService::SavedstatusSetMessage(std::int32_t status, const std::string& message) {
    return Complete("PurpleSavedstatusSetMessage", {Int(status), Text(message)});
}

bool PurpleDBusService::SavedstatusActivate(std::int32_t status) {
    return Complete("PurpleSavedstatusActivate", {Int(status)});
}

}  // namespace zonbode::messengers::qt
