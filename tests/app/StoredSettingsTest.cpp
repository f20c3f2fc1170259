// How stored choices and the stored place are read back.
#include <gtest/gtest.h>

#include <tuple>

#include "app/StoredPlace.h"
#include "app/StoredSettings.h"
#include "app/fakes/FakeSettings.h"
#include "live/PlaceSearch.h"

namespace zonbode::app {
namespace {

TEST(StoredSettings, OnlyTheNumberOneSwitchesAStoredChoiceOn) {
    struct Case {
        const char* stored;
        bool on;
    };
    const Case cases[] = {{"1", true},     {"0", false},  {"2", false},    {"-1", false},
                          {" 1", true},    {"1.0", true}, {"+1", true},    {"1e0", true},
                          {"10e-1", true}, {"01", true},  {"1.5", false},  {"abc", false},
                          {"1x", false},   {"ja", false}, {"0x1", false},  {".", false},
                          {"1e", false},   {"e1", false}, {"0.1e1", true}, {"100e-2", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(settings::IsSwitchedOn(c.stored), c.on);
    }
}

TEST(StoredSettings, DegreesAreDecimalWithADotWithinTheirLimit) {
    struct Case {
        const char* stored;
        const char* read;  // nullptr: unreadable
    };
    const Case cases[] = {{"52.1", "52.1"},   {" 5.18\t", "5.18"}, {"-33.870", "-33.87"},
                          {"90", "90"},       {"-0", "0"},         {"90.0001", nullptr},
                          {"52,1", nullptr},  {"", nullptr},       {"1e1", nullptr},
                          {"nan", nullptr},   {"inf", nullptr},    {"+5", nullptr},
                          {"52.1x", nullptr}, {"1e400", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::optional<std::string> read = settings::ReadDegrees(c.stored, 90);
        EXPECT_EQ(read.has_value(), c.read != nullptr);
        if (read && c.read != nullptr) {
            EXPECT_EQ(*read, c.read);
        }
    }
    EXPECT_EQ(settings::ReadDegrees("-180", 180), "-180");
}

// Whatever degrees a search answers with are stored as text that reads back as the same
// number, so the next start finds the same place.
TEST(StoredSettings, DegreesASearchReturnsReadBackUnchanged) {
    const char* const answered[] = {"0.0001", "-0.00001",          "1e-7",  "5e-324", "52.1",
                                    "-33.87", "89.99999999999999", "1.5e1", "-0"};
    for (const char* degrees : answered) {
        SCOPED_TRACE(degrees);
        std::string problem;
        const auto matches =
            live::ReadSearchAnswer(std::string(R"({"results":[{"name":"X","latitude":)") + degrees +
                                       R"(,"longitude":)" + degrees + "}]}",
                                   problem);
        ASSERT_TRUE(matches && matches->size() == 1) << problem;
        const std::string written = matches->front().place.latitude;
        const std::optional<std::string> read = settings::ReadDegrees(written, 90);
        ASSERT_TRUE(read.has_value()) << written;
        EXPECT_EQ(*read, written);
        EXPECT_EQ(std::strtod(read->c_str(), nullptr), std::strtod(degrees, nullptr) + 0.0);
    }
}

// Any one of the three values missing or unreadable gives De Bilt, whole.
TEST(StoredSettings, APlaceIsReadWholeOrIsDeBilt) {
    const live::Place deBilt{"De Bilt", "52.1", "5.18"};
    const live::Place stored{"Groningen", "53.21917", "6.56667"};
    fakes::FakeSettings settings;
    EXPECT_EQ(settings::ReadStoredPlace(settings).name, deBilt.name);
    settings::StorePlace(settings, stored);
    EXPECT_EQ(settings.writes.size(), 4u);
    EXPECT_EQ(settings::ReadStoredPlace(settings).timezone, "Europe/Amsterdam");
    settings.values.erase(std::string(settings::kTijdzonePath));
    EXPECT_EQ(settings::ReadStoredPlace(settings).timezone, "Europe/Amsterdam") << "from before";
    settings.values[std::string(settings::kTijdzonePath)] = "../etc/passwd";
    EXPECT_EQ(settings::ReadStoredPlace(settings).timezone, "Europe/Amsterdam") << "not a zone";
    settings.values[std::string(settings::kTijdzonePath)] = "America/Argentina/Buenos_Aires";
    EXPECT_EQ(settings::ReadStoredPlace(settings).timezone, "America/Argentina/Buenos_Aires");
    const live::Place read = settings::ReadStoredPlace(settings);
    EXPECT_EQ(std::tie(read.name, read.latitude, read.longitude),
              std::tie(stored.name, stored.latitude, stored.longitude));
    for (std::string_view path :
         {settings::kPlaatsPath, settings::kBreedtegraadPath, settings::kLengtegraadPath}) {
        fakes::FakeSettings spoiled;
        spoiled.values = settings.values;
        spoiled.values[std::string(path)] = path == settings::kPlaatsPath ? "" : "noord";
        const live::Place fallback = settings::ReadStoredPlace(spoiled);
        EXPECT_EQ(std::tie(fallback.name, fallback.latitude, fallback.longitude),
                  std::tie(deBilt.name, deBilt.latitude, deBilt.longitude))
            << path;
    }
}

}  // namespace
}  // namespace zonbode::app
