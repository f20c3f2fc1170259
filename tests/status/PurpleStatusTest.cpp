#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "status/PurpleStatus.h"
#include "status/StatusMessage.h"

namespace zonbode::status {
namespace {

TEST(FillStatusFormat, PutsTheFourTextsInTheirPlacesInOnePass) {
    const std::array<std::string, 4> texts = {"zon", "regen", "{1}", "wind"};
    const std::pair<std::string, std::string> cases[] = {
        {"{0}", "zon"},
        {"{0} - {1}", "zon - regen"},
        {"{3}{2}{1}{0}", "wind{1}regenzon"},  // "{1}" from a text is not filled again
        {"{4} {x} { {0", "{4} {x} { {0"},
        {"", ""},
    };
    for (const auto& [format, expected] : cases) {
        EXPECT_EQ(FillStatusFormat(format, texts), expected) << format;
    }
}

TEST(EscapeStatusMarkup, LeavesOnlyTextThatShowsLiterally) {
    const std::pair<std::string, std::string> cases[] = {
        {"a & b <c>", "a &amp; b &lt;c&gt;"},
        {"\"zon\" 'wind'", "&quot;zon&quot; 'wind'"},
        {"&amp;", "&amp;amp;"},
        {"Woensdag \xE2\x98\x80 12\xC2\xB0"
         "C \xF0\x9F\x8C\xA4",
         "Woensdag \xE2\x98\x80 12\xC2\xB0"
         "C \xF0\x9F\x8C\xA4"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(EscapeStatusMarkup(text), expected) << text;
    }
}

TEST(PurpleStatusChangeFor, ADayRecordGivesItsMessageAsMarkup) {
    const auto change = PurpleStatusChangeFor(
        kStatusCopyDataId, StatusPayload("Office", true, "{0}", "a & b <c> \\0 d", "", "", ""));
    ASSERT_TRUE(change.has_value());
    EXPECT_FALSE(change->switchOff);
    EXPECT_EQ(change->message, "a &amp; b &lt;c&gt; \\0 d");

    const auto twoTexts = PurpleStatusChangeFor(
        kStatusCopyDataId, StatusPayload("Music", true, "{0} - {1}", "A", "<B>", "", ""));
    ASSERT_TRUE(twoTexts.has_value());
    EXPECT_EQ(twoTexts->message, "A - &lt;B&gt;");
}

TEST(PurpleStatusChangeFor, TheSwitchOffRecordSwitchesOff) {
    const auto change = PurpleStatusChangeFor(
        kStatusCopyDataId,
        StatusPayload(kSwitchOffCategory, false, kSwitchOffFormat, "", "", "", ""));
    ASSERT_TRUE(change.has_value());
    EXPECT_TRUE(change->switchOff);
}

TEST(PurpleStatusChangeFor, AnythingElseAsksNothing) {
    const std::vector<std::uint8_t> office = StatusPayload("Office", true, "{0}", "x", "", "", "");
    EXPECT_FALSE(PurpleStatusChangeFor(7, office).has_value());
    EXPECT_FALSE(PurpleStatusChangeFor(kStatusCopyDataId, {office.begin(), office.end() - 2}));
    // The flag is one digit, 1 or 0.
    std::vector<std::uint8_t> flag2 = office;
    ASSERT_EQ(flag2[20], '1');
    flag2[20] = '2';
    EXPECT_FALSE(PurpleStatusChangeFor(kStatusCopyDataId, flag2).has_value());
}

}  // namespace
}  // namespace zonbode::status
