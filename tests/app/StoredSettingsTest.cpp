// How a stored on/off choice is read back.
#include <gtest/gtest.h>

#include "app/StoredSettings.h"

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

TEST(StoredSettings, ValuePathsAndWrittenChoices) {
    EXPECT_EQ(settings::kPsmPath, "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\PSM");
    EXPECT_EQ(settings::kAutoPath, "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Auto");
    EXPECT_EQ(settings::kSysteemvakPath,
              "HKEY_CURRENT_USER\\Software\\Kavelo\\Zonbode\\Systeemvak");
    // What this program writes reads back as the same choice.
    EXPECT_TRUE(settings::IsSwitchedOn(std::to_string(settings::StoredChoice(true))));
    EXPECT_FALSE(settings::IsSwitchedOn(std::to_string(settings::StoredChoice(false))));
    EXPECT_FALSE(settings::IsSwitchedOn(""));
}

}  // namespace
}  // namespace zonbode::app
