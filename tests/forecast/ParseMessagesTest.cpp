#include <string>

#include <gtest/gtest.h>

#include "forecast/ForecastPage.h"

namespace zonbode::forecast {
namespace {

TEST(ParseFailureMessage, MissingPageNamesTheWebSite) {
    EXPECT_EQ(ParseFailureMessage(kPageMissing),
              "Host is waarschijnlijk offline.\r\nAls deze melding de volgende dag nog komt, "
              "kijk dan op http://www.kavelo.nl/zonbode voor update's");
}

TEST(ParseFailureMessage, OtherFailuresShowTheirCode) {
    EXPECT_EQ(ParseFailureMessage(kPositionOverflow),
              "Er is een fout opgestreden in de verbinding!\r\nCode: 6");
    EXPECT_EQ(ParseFailureMessage(kDayRowMissing),
              "Er is een fout opgestreden in de verbinding!\r\nCode: 35600");
    EXPECT_EQ(ParseFailureMessage(kColumnMissing),
              "Er is een fout opgestreden in de verbinding!\r\nCode: 380");
    // The general codes must never be mistaken for the missing page.
    EXPECT_NE(kPositionOverflow, kPageMissing);
    EXPECT_NE(kDayRowMissing, kPageMissing);
    EXPECT_NE(kColumnMissing, kPageMissing);
}

TEST(LastUpdateText, TwoDigitFieldsAndAFourDigitYear) {
    EXPECT_EQ(LastUpdateText({2026, 12, 7, 16, 5}), "Laatste update op: 07-12-2026, 16:05");
    EXPECT_EQ(LastUpdateText({2027, 1, 31, 0, 0}), "Laatste update op: 31-01-2027, 00:00");
    EXPECT_EQ(LastUpdateText({999, 9, 1, 23, 59}), "Laatste update op: 01-09-0999, 23:59");
}

TEST(BuildForecastRequest, PortEightyGivesTheBareHost) {
    EXPECT_EQ(BuildForecastRequest(kForecastPath, "www.knmi.nl", 80),
              "GET /waarschuwingen_en_verwachtingen/index.html HTTP/1.1\r\n"
              "Host: www.knmi.nl\r\n"
              "User-Agent: Kavelo Zonbode\r\n"
              "Connection: Close\r\n"
              "\r\n");
}

TEST(BuildForecastRequest, OtherPortsAreNamedInTheHostHeader) {
    EXPECT_EQ(BuildForecastRequest("/index.html", "127.0.0.1", 8080),
              "GET /index.html HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n"
              "User-Agent: Kavelo Zonbode\r\nConnection: Close\r\n\r\n");
}

}  // namespace
}  // namespace zonbode::forecast
