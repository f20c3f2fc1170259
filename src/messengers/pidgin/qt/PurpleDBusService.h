#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QVariant>

#include "messengers/pidgin/PurpleService.h"

namespace zonbode::messengers::qt {

// libpurple's saved statuses over the session bus, for one record: every call shares one
// deadline, so a client that hangs holds the record no longer than that, however many calls
// remain. Never starts the client.
class PurpleDBusService final : public PurpleService {
public:
    static constexpr char kServiceName[] = "im.pidgin.purple.PurpleService";
    static constexpr char kObjectPath[] = "/im/pidgin/purple/PurpleObject";
    static constexpr char kInterface[] = "im.pidgin.purple.PurpleInterface";

    // A call of one of the interface's methods that never starts the client.
    static QDBusMessage MethodCall(const char* method, const QVariantList& arguments);

    PurpleDBusService(QDBusConnection bus, QDeadlineTimer deadline)
        : bus_(std::move(bus)), deadline_(deadline) {}

    std::optional<std::int32_t> SavedstatusGetCurrent() override;
    std::optional<std::int32_t> SavedstatusGetType(std::int32_t status) override;
    std::optional<std::string> SavedstatusGetMessage(std::int32_t status) override;
    std::optional<std::int32_t> SavedstatusGetCreationTime(std::int32_t status) override;
    std::optional<std::int32_t> SavedstatusFindByCreationTime(std::int32_t creationTime) override;
    std::optional<std::int32_t> SavedstatusFindTransientByTypeAndMessage(
        std::int32_t type, const std::string& message) override;
    std::optional<std::int32_t> SavedstatusNew(const std::string& title,
                                               std::int32_t type) override;
    bool SavedstatusSetMessage(std::int32_t status, const std::string& message) override;
    bool SavedstatusActivate(std::int32_t status) override;

    // Whether a call went unanswered until its time was up (the client hangs).
    bool TimedOut() const { return timedOut_; }

private:
    // The reply's arguments; nullopt for an error reply or when the time is up.
    std::optional<QVariantList> Call(const char* method, const QVariantList& arguments);
    std::optional<std::int32_t> CallForInt(const char* method, const QVariantList& arguments);
    // For the calls that complete a change under way: past the deadline they are still sent,
    // without waiting, so a status once made never stays empty.
    bool Complete(const char* method, const QVariantList& arguments);

    QDBusConnection bus_;
    QDeadlineTimer deadline_;
    bool timedOut_ = false;
};

}  // namespace zonbode::messengers::qt
