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

}  // namespace
}  // namespace zonbode::app
