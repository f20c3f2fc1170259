#include "app/qt/QtClock.h"

#include <QDateTime>

namespace zonbode::app::qt {

forecast::LocalDateTime QtClock::LocalNow() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute()};
}

}  // namespace zonbode::app::qt
