// The live source's page: each row's rule at its edges, the answer reader, and the page as
// Zonbode's own parser reads it. No network.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "forecast/ForecastPage.h"
#include "live/ForecastPageWriter.h"
#include "live/OpenMeteo.h"
#include "live/PageCells.h"
#include "live/Place.h"
#include "text/AnsiCodePage.h"

namespace zonbode::live {
namespace {

using std::nullopt;

double Below(double value) {
    return std::nextafter(value, -std::numeric_limits<double>::infinity());
}

TEST(PageCells, DayIsTheWeekdayOfTheDate) {
    using namespace std::chrono;
    const std::pair<year_month_day, const char*> cases[] = {
        {2024y / 2 / 26, "ma"}, {2024y / 2 / 27, "di"}, {2024y / 2 / 28, "wo"},
        {2024y / 2 / 29, "do"}, {2024y / 3 / 1, "vr"},  {2025y / 1 / 4, "za"},
        {2024y / 12 / 29, "zo"}};
    for (const auto& [date, expected] : cases) {
        EXPECT_EQ(DayCell(date), expected)
            << static_cast<int>(date.year()) << "-" << static_cast<unsigned>(date.month()) << "-"
            << static_cast<unsigned>(date.day());
    }
}

TEST(PageCells, SunIsTheRoundedShareOfDaylightAtMostAHundred) {
    const struct {
        Value sunshine, daylight;
        const char* expected;
    } cases[] = {
        {0.0, 40000.0, "0"},       {100.0, 800.0, "13"},      {99.0, 800.0, "12"},
        {40000.0, 40000.0, "100"}, {50000.0, 40000.0, "100"}, {3600.0, 0.0, "0"},
        {0.0, 0.0, "0"},           {1e9, 1e-300, "100"},      {nullopt, 40000.0, "-"},
        {30000.0, nullopt, "-"},   {nullopt, 0.0, "-"},       {-5.0, 800.0, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SunCell(c.sunshine, c.daylight), c.expected)
            << c.sunshine.value_or(-1) << " / " << c.daylight.value_or(-1);
    }
}

TEST(PageCells, WholeNumbersRoundHalvesAwayFromZero) {
    const std::pair<Value, const char*> cases[] = {
        {0.0, "0"},   {0.4999, "0"}, {0.5, "1"},   {2.5, "3"},   {-0.4, "0"},    {-0.5, "-1"},
        {-2.5, "-3"}, {-3.49, "-3"}, {12.0, "12"}, {49.5, "50"}, {100.0, "100"}, {nullopt, "-"}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(WholeCell(value), expected) << value.value_or(-1);
    }
}

TEST(PageCells, RainHasOneDecimalWithACommaAndNoTrailingZero) {
    const std::pair<Value, const char*> cases[] = {
        {0.0, "0"},   {0.04, "0"},     {0.05, "0,1"},   {0.4, "0,4"},    {0.45, "0,5"},
        {0.95, "1"},  {1.0, "1"},      {12.0, "12"},    {12.34, "12,3"}, {12.35, "12,4"},
        {-0.04, "0"}, {-0.05, "-0,1"}, {-1.25, "-1,3"}, {nullopt, "-"}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RainCell(value), expected) << value.value_or(-1);
    }
}

TEST(PageCells, WindDirectionIsOneOfEightSectorsChangingHalfwayBetween) {
    const char* sectors[] = {"N", "NO", "O", "ZO", "Z", "ZW", "W", "NW"};
    for (int k = 0; k < 8; ++k) {
        const double middle = 45.0 * k;
        EXPECT_EQ(WindDirectionCell(middle), sectors[k]) << middle;
        EXPECT_EQ(WindDirectionCell(middle - 22.5), sectors[k]) << middle - 22.5;
        EXPECT_EQ(WindDirectionCell(middle + 22.49), sectors[k]) << middle + 22.49;
        EXPECT_EQ(WindDirectionCell(middle + 22.5), sectors[(k + 1) % 8]) << middle + 22.5;
    }
    const std::pair<Value, const char*> beyond[] = {{360.0, "N"},  {382.5, "NO"}, {-22.5, "N"},
                                                    {-22.6, "NW"}, {-90.0, "W"},  {765.0, "NO"},
                                                    {nullopt, "-"}};
    for (const auto& [degrees, expected] : beyond) {
        EXPECT_EQ(WindDirectionCell(degrees), expected) << degrees.value_or(-1);
    }
}

TEST(PageCells, WindForceCountsTheBeaufortFloorsReached) {
    const double floors[] = {0.3, 1.6, 3.4, 5.5, 8.0, 10.8, 13.9, 17.2, 20.8, 24.5, 28.5, 32.7};
    for (int force = 1; force <= 12; ++force) {
        const double floor = floors[force - 1];
        EXPECT_EQ(WindForceCell(floor), std::to_string(force)) << floor;
        EXPECT_EQ(WindForceCell(Below(floor)), std::to_string(force - 1)) << Below(floor);
    }
    EXPECT_EQ(WindForceCell(0.0), "0");
    EXPECT_EQ(WindForceCell(-3.0), "0");
    EXPECT_EQ(WindForceCell(60.0), "12");
    EXPECT_EQ(WindForceCell(nullopt), "-");
}

// An answer in the API's shape; `daily` is the inside of its "daily" object.
std::string Answer(const std::string& daily) {
    return R"({"latitude":52.1,"longitude":5.18,"timezone":"Europe/Amsterdam","daily":{)" + daily +
           "}}";
}

constexpr const char* kWeek =
    R"("time":["2024-02-29","2024-03-01","2024-03-02","2024-03-03","2024-03-04","2024-03-05","2024-03-06"])";

TEST(ForecastAnswer, NullsAndMissingVariablesLeaveDaysEmpty) {
    std::string problem;
    const auto days = ReadForecastAnswer(
        Answer(std::string(kWeek) + R"(,"wind_speed_10m_max":[1,null,2,3,4,5,6.5])"), problem);
    ASSERT_TRUE(days) << problem;
    ASSERT_EQ(days->size(), 7u);
    EXPECT_EQ((*days)[0].windSpeed, 1.0);
    EXPECT_EQ((*days)[1].windSpeed, nullopt);
    EXPECT_EQ((*days)[6].windSpeed, 6.5);
    EXPECT_EQ((*days)[3].sunshine, nullopt);
    EXPECT_EQ((*days)[6].date, std::chrono::year{2024} / 3 / 6);
}

TEST(ForecastAnswer, RefusesWhatIsNotSevenWholeDays) {
    const std::string week = kWeek;
    const std::pair<std::string, const char*> cases[] = {
        {R"({"daily":{"time":["2024-02-29")", "not JSON"},
        {"[]", "no daily forecast"},
        {R"({"hourly":{}})", "no daily forecast"},
        {Answer(R"("sunshine_duration":[])"), "no list of days"},
        {Answer(
             R"("time":["2024-02-29","2024-03-01","2024-03-02","2024-03-03","2024-03-04","2024-03-05"])"),
         "6 days, not 7"},
        {Answer(
             R"("time":["2024-02-29","2024-02-30","2024-03-02","2024-03-03","2024-03-04","2024-03-05","2024-03-06"])"),
         "daily.time[1] is not a date"},
        {Answer(week + R"(,"precipitation_sum":[0,0,0,0,0,0])"),
         "daily.precipitation_sum has 6 values for 7 days"},
        {Answer(week + R"(,"precipitation_sum":3)"), "daily.precipitation_sum is not a list"},
        {Answer(week + R"(,"temperature_2m_min":[0,0,"4",0,0,0,0])"),
         "daily.temperature_2m_min[2] is not a number"},
        {Answer(week + R"(,"temperature_2m_max":[0,0,0,0,0,0,1000000000.0001])"),
         "daily.temperature_2m_max[6] is out of range"},
        {Answer(week + R"(,"temperature_2m_max":[0,0,0,0,0,0,-1000000001])"),
         "daily.temperature_2m_max[6] is out of range"},
        // Beyond a double: the reader itself gives up, and that is a refused answer too.
        {Answer(week + R"(,"wind_speed_10m_max":[1e400,0,0,0,0,0,0])"), "cannot be read"},
        {Answer(week + R"(,"precipitation_sum":[)" + std::string(400, '9') + ",0,0,0,0,0,0]"),
         "cannot be read"},
    };
    for (const auto& [json, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(ReadForecastAnswer(json, problem)) << json;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
    }
}

TEST(ForecastAnswer, TheLargestValueStillCounts) {
    std::string problem;
    const auto days = ReadForecastAnswer(
        Answer(std::string(kWeek) + R"(,"temperature_2m_max":[1e9,-1e9,0,0,0,0,0])"), problem);
    ASSERT_TRUE(days) << problem;
    EXPECT_EQ((*days)[0].maxTemperature, kLargestValue);
    EXPECT_EQ((*days)[1].maxTemperature, -kLargestValue);
}

TEST(ForecastAnswer, ErrorReasonIsOneLine) {
    // Cut at 200 bytes, never inside a character: "é" is two bytes and would straddle byte 200.
    const std::string longReason = std::string(199, 'a') + R"(\u00e9\u0007tail)";
    EXPECT_EQ(ErrorReason(R"({"reason":")" + longReason + "\"}"), std::string(199, 'a'));
    EXPECT_EQ(ErrorReason(R"({"reason":"bell\u0007del\u007fend"})"), "bell del end");
    EXPECT_EQ(ErrorReason(R"({"error":true,"reason":"Latitude must be in range\nof -90 to 90"})"),
              "Latitude must be in range of -90 to 90");
    EXPECT_EQ(ErrorReason("<html>Bad Gateway</html>"), "");
}

TEST(ForecastPage, ParsesToTheSevenRowsWhateverThePlaceIsCalled) {
    std::string problem;
    const auto days = ReadForecastAnswer(
        Answer(
            std::string(kWeek) + R"(,"sunshine_duration":[1,2,3,4,5,6,7],)" +
            R"("daylight_duration":[10,10,10,10,10,10,10],"temperature_2m_min":[-1,0,1,2,3,4,5])"),
        problem);
    ASSERT_TRUE(days) << problem;
    // Markup, the parser's own markers, a character beyond ISO-8859-1, one inside it, a C1
    // control and a byte that is not UTF-8.
    const std::string name =
        "<b>De Bilt</b></th></tr></table>trcolor&nbsp;\xE2\x82\xAC \xC3\xA9\xC2\x85\xFF";
    const std::string page = WriteForecastPage(*days, name);

    EXPECT_NE(page.find(R"(<th class="plaats">&lt;b&gt;De Bilt&lt;/b&gt;&lt;/th&gt;&lt;/tr&gt;)"
                        R"(&lt;/table&gt;trcolor&amp;nbsp;&#8364; )"
                        "\xE9&#133;&#65533;</th><th>do</th>"),
              std::string::npos)
        << page;
    const auto tableEnd = page.find("</table>");
    EXPECT_GT(page.find(kAttribution), tableEnd);
    EXPECT_NE(page.find("Minimumtemperatuur (\xB0"
                        "C)"),
              std::string::npos);

    const auto parsed =
        forecast::ParseForecastPage(text::BytesToText("HTTP/1.1 200 OK\r\n\r\n" + page));
    ASSERT_TRUE(parsed.ok()) << parsed.failureCode;
    const std::vector<forecast::ForecastDay> expected = {
        {"Donderdag", "10", "-", "-", "-1", "-", "-", "-"},
        {"Vrijdag", "20", "-", "-", "0", "-", "-", "-"},
        {"Zaterdag", "30", "-", "-", "1", "-", "-", "-"},
        {"Zondag", "40", "-", "-", "2", "-", "-", "-"},
        {"Maandag", "50", "-", "-", "3", "-", "-", "-"},
        {"Dinsdag", "60", "-", "-", "4", "-", "-", "-"},
        {"Woensdag", "70", "-", "-", "5", "-", "-", "-"},
    };
    EXPECT_EQ(parsed.rows, expected);
}

// Every match the list offers can be told from the others: two of one label get the kind of
// place, then the municipality, then the degrees.
TEST(MatchLabels, EveryLabelIsUnique) {
    const auto match = [](const char* name, const char* province, const char* kind,
                          const char* municipality, const char* latitude) {
        return PlaceMatch{
            {name, latitude, "6.5", "Europe/Amsterdam"}, province, "Nederland", kind, municipality};
    };
    EXPECT_EQ(MatchLabels({match("Groningen", "Groningen", "PPLA", "Groningen", "53.2"),
                           match("Groningen", "Groningen", "ADM1", "", "53.3"),
                           match("Ede", "Gelderland", "PPL", "Ede", "52.0")}),
              (std::vector<std::string>{"Groningen (Groningen, Nederland), plaats",
                                        "Groningen (Groningen, Nederland), provincie",
                                        "Ede (Gelderland, Nederland)"}));
    EXPECT_EQ(
        MatchLabels({match("Hoorn", "Noord-Holland", "PPL", "Hoorn", "52.6"),
                     match("Hoorn", "Noord-Holland", "PPL", "Terschelling", "53.4")}),
        (std::vector<std::string>{"Hoorn (Noord-Holland, Nederland), gemeente Hoorn",
                                  "Hoorn (Noord-Holland, Nederland), gemeente Terschelling"}));
    EXPECT_EQ(MatchLabels({match("Veen", "Gelderland", "PPL", "", "51.7"),
                           match("Veen", "Gelderland", "PPL", "", "51.8")}),
              (std::vector<std::string>{"Veen (Gelderland, Nederland), 51.7, 6.5",
                                        "Veen (Gelderland, Nederland), 51.8, 6.5"}));
}

}  // namespace
}  // namespace zonbode::live
