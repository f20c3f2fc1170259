#include <string>

#include "forecast/ForecastPage.h"

namespace zonbode::forecast {

std::string ParseFailureMessage(int failureCode) {
    if (failureCode == kPageMissing) {
        return "Host is waarschijnlijk offline.\r\n"
               "Als deze melding de volgende dag nog komt, kijk dan op " +
               std::string(kWebsiteAddress) + " voor update's";
    }
    return "Er is een fout opgestreden in de verbinding!\r\nCode: " + std::to_string(failureCode);
}

}  // namespace zonbode::forecast
