#include <cstdio>
#include <string>

#include "forecast/ForecastPage.h"

namespace zonbode::forecast {

std::string LastUpdateText(const LocalDateTime& now) {
    char text[64];
    std::snprintf(text, sizeof text, "Laatste update op: %02d-%02d-%04d, %02d:%02d", now.day,
                  now.month, now.year, now.hour, now.minute);
    return text;
}

}  // namespace zonbode::forecast
