#include <gtest/gtest.h>

#include "forecast/ForecastPage.h"

namespace zonbode::forecast {
namespace {

TEST(ExpandDayName, EveryAbbreviationInAnyCase) {
    EXPECT_EQ(ExpandDayName("ma"), "Maandag");
    EXPECT_EQ(ExpandDayName("di"), "Dinsdag");
    EXPECT_EQ(ExpandDayName("wo"), "Woensdag");
    EXPECT_EQ(ExpandDayName("do"), "Donderdag");
    EXPECT_EQ(ExpandDayName("vr"), "Vrijdag");
    EXPECT_EQ(ExpandDayName("za"), "Zaterdag");
    EXPECT_EQ(ExpandDayName("zo"), "Zondag");
    EXPECT_EQ(ExpandDayName("ZO"), "Zondag");
    EXPECT_EQ(ExpandDayName("Ma"), "Maandag");
    EXPECT_EQ(ExpandDayName("vR"), "Vrijdag");
}

TEST(ExpandDayName, AnythingButTheWholeAbbreviationGivesEmptyText) {
    EXPECT_EQ(ExpandDayName(""), "");
    EXPECT_EQ(ExpandDayName("zo "), "");
    EXPECT_EQ(ExpandDayName(" zo"), "");
    EXPECT_EQ(ExpandDayName("zon"), "");
    EXPECT_EQ(ExpandDayName("maandag"), "");
    EXPECT_EQ(ExpandDayName("z"), "");
    EXPECT_EQ(ExpandDayName("m\xC3\xA1"), "");  // "má"
    EXPECT_EQ(ExpandDayName(std::string_view("zo\0", 3)), "");
}

}  // namespace
}  // namespace zonbode::forecast
