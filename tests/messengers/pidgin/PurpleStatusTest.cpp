#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "messengers/RecordText.h"
#include "messengers/pidgin/PurpleStatus.h"
#include "status/StatusMessage.h"

namespace zonbode::messengers {

using namespace zonbode::status;

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

// Saved statuses kept in memory, as libpurple keeps them: enough to follow what the delivery
// changes and what the user picks in between.
class SavedStatuses : public PurpleService {
public:
    struct Status {
        std::int32_t type;
        std::string message;
        std::int32_t created;
    };
    std::int32_t Choose(std::int32_t type, const std::string& message) {
        current = *SavedstatusNew("", type);
        statuses[current].message = message;
        return current;
    }

    std::optional<std::int32_t> SavedstatusGetCurrent() override { return current; }
    std::optional<std::int32_t> SavedstatusGetType(std::int32_t id) override {
        return statuses.at(id).type;
    }
    std::optional<std::string> SavedstatusGetMessage(std::int32_t id) override {
        return statuses.at(id).message;
    }
    std::optional<std::int32_t> SavedstatusGetCreationTime(std::int32_t id) override {
        return statuses.at(id).created;
    }
    std::optional<std::int32_t> SavedstatusFindByCreationTime(std::int32_t created) override {
        for (const auto& [id, status] : statuses) {
            if (status.created == created) {
                return id;
            }
        }
        return 0;
    }
    std::optional<std::int32_t> SavedstatusFindTransientByTypeAndMessage(
        std::int32_t type, const std::string& message) override {
        for (const auto& [id, status] : statuses) {
            if (status.type == type && status.message == message) {
                return id;
            }
        }
        return 0;
    }
    std::optional<std::int32_t> SavedstatusNew(const std::string&, std::int32_t type) override {
        const auto id = static_cast<std::int32_t>(statuses.size() + 1);
        statuses[id] = {type, "", 1000 + id};
        return id;
    }
    bool SavedstatusSetMessage(std::int32_t id, const std::string& message) override {
        statuses.at(id).message = message;
        return true;
    }
    bool SavedstatusActivate(std::int32_t id) override {
        current = id;
        return true;
    }

    std::map<std::int32_t, Status> statuses;
    std::int32_t current = 0;
};

TEST(PurpleStatusDelivery, SwitchOffBringsBackTheLastStatusThatWasNotZonbodes) {
    constexpr std::int32_t kAvailable = 2;
    constexpr std::int32_t kAway = 5;
    const auto day = [](const std::string& text) {
        return StatusPayload("Office", true, "{0}", text, "", "", "");
    };
    const auto off = StatusPayload(kSwitchOffCategory, false, kSwitchOffFormat, "", "", "", "");

    SavedStatuses purple;
    RestorePointsInMemory points;
    PurpleStatusDelivery delivery(points);
    purple.Choose(kAvailable, "Vroeger");
    delivery.Deliver(purple, kStatusCopyDataId, day("Maandag"));
    delivery.Deliver(purple, kStatusCopyDataId, day("Dinsdag"));
    const std::int32_t lunch = purple.Choose(kAway, "Lunch");
    delivery.Deliver(purple, kStatusCopyDataId, day("Woensdag"));
    EXPECT_EQ(purple.statuses.at(purple.current).type, kAway);
    delivery.Deliver(purple, kStatusCopyDataId, off);
    EXPECT_EQ(purple.current, lunch);

    // Zonbode's own changes in a row keep the status from before the first of them.
    delivery.Deliver(purple, kStatusCopyDataId, day("Donderdag"));
    delivery.Deliver(purple, kStatusCopyDataId, day("Vrijdag"));
    delivery.Deliver(purple, kStatusCopyDataId, off);
    EXPECT_EQ(purple.current, lunch);

    // A run that is killed after its change leaves the next run to tell the two apart.
    {
        PurpleStatusDelivery killed(points);
        killed.Deliver(purple, kStatusCopyDataId, day("Zaterdag"));
    }
    PurpleStatusDelivery next(points);
    next.Deliver(purple, kStatusCopyDataId, day("Zondag"));
    next.Deliver(purple, kStatusCopyDataId, off);
    EXPECT_EQ(purple.current, lunch);
    EXPECT_EQ(points.Read("Pidgin"), "");
}

}  // namespace
}  // namespace zonbode::messengers
