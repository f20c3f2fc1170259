#include "messengers/pidgin/qt/PurpleMessengerTransport.h"

#include "messengers/pidgin/qt/PurpleDBusService.h"
#include "messengers/qt/BusNames.h"

namespace zonbode::messengers::qt {

std::vector<std::string> PurpleMessengerTransport::Receivers() {
    const std::chrono::milliseconds left = waits_.Left(std::chrono::steady_clock::now());
    if (!HasOwner(QLatin1String(PurpleDBusService::kServiceName), left)) {
        return {};
    }
    return {PurpleDBusService::kServiceName};
}

void PurpleMessengerTransport::Send(const std::string& receiver, std::uint32_t dwData,
                                    std::span<const std::uint8_t> record) {
    const std::chrono::milliseconds wait = waits_.For(receiver, std::chrono::steady_clock::now());
    if (receiver != PurpleDBusService::kServiceName || wait.count() <= 0) {
        return;
    }
    PurpleDBusService purple(QDBusConnection::sessionBus(),
                             QDeadlineTimer(wait.count(), Qt::PreciseTimer));
    delivery_.Deliver(purple, dwData, record);
    waits_.Answered(receiver, !purple.TimedOut());
}

}  // namespace zonbode::messengers::qt
