#include "app/qt/PurpleMessengerTransport.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>

#include "app/qt/PurpleDBusService.h"

namespace zonbode::app::qt {

std::vector<std::string> PurpleMessengerTransport::Receivers() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return {};
    }
    const QDBusReply<bool> owned =
        bus.interface()->isServiceRegistered(QLatin1String(PurpleDBusService::kServiceName));
    if (!owned.isValid() || !owned.value()) {
        return {};
    }
    return {PurpleDBusService::kServiceName};
}

void PurpleMessengerTransport::Send(const std::string& receiver, std::uint32_t dwData,
                                    std::span<const std::uint8_t> record) {
    if (receiver != PurpleDBusService::kServiceName) {
        return;
    }
    PurpleDBusService purple(QDBusConnection::sessionBus(),
                             QDeadlineTimer(bound_.count(), Qt::PreciseTimer));
    delivery_.Deliver(purple, dwData, record);
}

}  // namespace zonbode::app::qt
