#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace zonbode::messengers::qt {

// Questions to the session bus itself, each waiting at most `wait` (the bus library's own
// default is 25 s). Without a bus, or out of time: nullopt and false.
std::optional<QStringList> ListBusNames(std::chrono::milliseconds wait);
bool HasOwner(const QString& name, std::chrono::milliseconds wait);

}  // namespace zonbode::messengers::qt
