#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "messengers/slack/SlackStatus.h"

namespace zonbode::messengers {

namespace {

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

TEST(SlackStatusText, CutsBeyondOneHundredCharactersWithAnEllipsisAsTheLast) {
    const std::string ellipsis = "\xE2\x80\xA6";
    const std::string sun = "\xE2\x98\x80";                       // three bytes, one character
    const std::string cloud = "\xF0\x9F\x8C\xA4";                 // four bytes, one character
    const std::string flag = "\xF0\x9F\x87\xB3\xF0\x9F\x87\xB1";  // NL: two characters
    const std::string decomposedE = "e\xCC\x81";                  // e and a combining acute
    const std::string wave = "\xF0\x9F\x91\x8B", tone = "\xF0\x9F\x8F\xBD";
    const std::string family = "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";  // 3
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Woensdag | Temp: 12", "Woensdag | Temp: 12"},
        {Repeat("a", 100), Repeat("a", 100)},
        {Repeat("a", 101), Repeat("a", 99) + ellipsis},
        {Repeat("a", 250), Repeat("a", 99) + ellipsis},
        {Repeat(sun, 100), Repeat(sun, 100)},
        {Repeat(sun, 101), Repeat(sun, 99) + ellipsis},
        {Repeat("a", 98) + cloud + cloud + "b", Repeat("a", 98) + cloud + ellipsis},
        // A cut never splits what shows as one: a flag's pair, a letter and its accent, an
        // emoji with its skin tone or its joined parts.
        {Repeat("a", 98) + flag + "bc", Repeat("a", 98) + ellipsis},
        {Repeat("a", 97) + flag + flag, Repeat("a", 97) + flag + ellipsis},
        {Repeat("a", 96) + flag + flag, Repeat("a", 96) + flag + flag},
        {Repeat("a", 98) + decomposedE + "bc", Repeat("a", 98) + ellipsis},
        {Repeat("a", 97) + decomposedE + "bc", Repeat("a", 97) + decomposedE + ellipsis},
        {Repeat("a", 98) + wave + tone + "b", Repeat("a", 98) + ellipsis},
        {Repeat("a", 97) + family + "b", Repeat("a", 97) + ellipsis},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(SlackStatusText(text), expected) << text.size() << " bytes";
    }
}

TEST(SlackStatusEmoji, RainFirstThenTheChanceOfSunshine) {
    struct Case {
        std::string sunshine, precipitationChance, emoji;
    };
    const Case cases[] = {
        {"90", "50", ":rain_cloud:"},   {"10", "80", ":rain_cloud:"},
        {"60", "49", ":sunny:"},        {"100", "0", ":sunny:"},
        {"59", "10", ":partly_sunny:"}, {"30", "", ":partly_sunny:"},
        {"29", "20", ":cloud:"},        {"", "", ":cloud:"},
        {"-", "x", ":cloud:"},
    };
    for (const Case& c : cases) {
        const DayFields day = {"Woensdag", c.sunshine, c.precipitationChance, "3", "8", "12",
                               "ZW",       "4"};
        EXPECT_EQ(SlackStatusEmoji(day), c.emoji) << c.sunshine << "/" << c.precipitationChance;
    }
}

TEST(SlackProfileSetBody, IsTheProfileWithTheThreeStatusFields) {
    EXPECT_EQ(SlackProfileSetBody({"Zon \"20\" \xC2\xB0", ":sunny:", 1700000000}),
              R"({"profile":{"status_emoji":":sunny:","status_expiration":1700000000,)"
              R"("status_text":"Zon \"20\" °"}})");
    // Bytes that are not UTF-8 do not stop the call.
    EXPECT_EQ(SlackProfileSetBody({"a\xFF", "", 0}),
              R"({"profile":{"status_emoji":"","status_expiration":0,"status_text":"a�"}})");
}

TEST(ReadSlackReply, TellsTheOutcomeOfEveryShapeOfAnswer) {
    struct Case {
        SlackReply reply;
        SlackOutcome outcome;
        std::string error;
        long retryAfter;
    };
    const Case cases[] = {
        {{true, 200, "", R"({"ok":true})"}, SlackOutcome::Ok, "", 0},
        {{false, 0, "", ""}, SlackOutcome::NoAnswer, "", 0},
        {{false, 0, "", "", true}, SlackOutcome::Untrusted, "", 0},
        {{true, 429, "30", ""}, SlackOutcome::RateLimited, "", 30},
        {{true, 429, "", R"({"ok":false,"error":"ratelimited"})"},
         SlackOutcome::RateLimited,
         "",
         60},
        {{true, 429, "soon", ""}, SlackOutcome::RateLimited, "", 60},
        {{true, 200, "", R"({"ok":false,"error":"invalid_auth"})"},
         SlackOutcome::TokenRefused,
         "invalid_auth",
         0},
        {{true, 200, "", R"({"ok":false,"error":"token_revoked"})"},
         SlackOutcome::TokenRefused,
         "token_revoked",
         0},
        {{true, 200, "", R"({"ok":false,"error":"not_authed"})"},
         SlackOutcome::TokenRefused,
         "not_authed",
         0},
        {{true, 200, "", R"({"ok":false,"error":"missing_scope"})"},
         SlackOutcome::TokenRefused,
         "missing_scope",
         0},
        {{true, 200, "", R"({"ok":false,"error":"profile_set_failed"})"},
         SlackOutcome::Failed,
         "profile_set_failed",
         0},
        {{true, 200, "", "<html>Bad Gateway</html>"}, SlackOutcome::Failed, "", 0},
        {{true, 200, "", R"({"ok":"yes"})"}, SlackOutcome::Failed, "", 0},
        {{true, 200, "", R"([true])"}, SlackOutcome::Failed, "", 0},
        {{true, 200, "", R"({"ok":true)"}, SlackOutcome::Failed, "", 0},
        {{true, 502, "", R"({"ok":true})"}, SlackOutcome::Failed, "", 0},
    };
    for (const Case& c : cases) {
        const SlackResult result = ReadSlackReply(c.reply);
        EXPECT_EQ(result.outcome, c.outcome) << c.reply.body;
        EXPECT_EQ(result.error, c.error) << c.reply.body;
        EXPECT_EQ(result.retryAfter.count(), c.retryAfter) << c.reply.body;
        EXPECT_EQ(SlackProblemText(result).empty(), c.outcome == SlackOutcome::Ok);
    }
}

TEST(ReadSlackReply, ReadsTheStatusShownAndWhoTheTokenIs) {
    const SlackResult profile =
        ReadSlackReply({true, 200, "",
                        R"({"ok":true,"profile":{"status_text":"Lunch","status_emoji":":pizza:",)"
                        R"("status_expiration":1700000000,"real_name":"Ann"}})"});
    ASSERT_TRUE(profile.profileStatus.has_value());
    EXPECT_EQ(*profile.profileStatus, (SlackStatus{"Lunch", ":pizza:", 1700000000}));

    const SlackResult odd =
        ReadSlackReply({true, 200, "", R"({"ok":true,"profile":{"status_text":5}})"});
    ASSERT_TRUE(odd.profileStatus.has_value());
    EXPECT_EQ(*odd.profileStatus, SlackStatus{});

    const SlackResult who =
        ReadSlackReply({true, 200, "", R"({"ok":true,"user":"ann","team":"Kavelo"})"});
    EXPECT_EQ(who.user, "ann");
    EXPECT_EQ(who.team, "Kavelo");
    EXPECT_FALSE(who.profileStatus.has_value());
}

}  // namespace
}  // namespace zonbode::messengers
