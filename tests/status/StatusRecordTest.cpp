#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "status/StatusMessage.h"
#include "status/StatusRecord.h"

namespace zonbode::status {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Utf16(const std::u16string& text) {
    Bytes bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

struct Fields {
    std::string category, enabled, format, text1, text2, text3, text4;
};

// Every record StatusPayload builds splits back into its fields.
TEST(SplitStatusPayload, GivesBackThePiecesOfEveryRecord) {
    const Fields cases[] = {
        {"Office", "1", "{0}",
         "Woensdag \xE2\x98\x80 12\xC2\xB0"
         "C \xF0\x9F\x8C\xA4",
         "", "", ""},
        {"Music", "0", "{0} - {1}", "", "", "", ""},
        {"C", "1", "F", "1", "2", "3", "4"},
        {"Office", "1", "{0}", "", "", "", ""},
    };
    for (const Fields& f : cases) {
        const Bytes record = StatusPayload(f.category, f.enabled == "1", f.format, f.text1, f.text2,
                                           f.text3, f.text4);
        const std::optional<StatusRecordPieces> pieces = SplitStatusPayload(record);
        ASSERT_TRUE(pieces.has_value()) << f.text1;
        EXPECT_EQ(Utf16ToUtf8(pieces->category), f.category);
        EXPECT_EQ(Utf16ToUtf8(pieces->enabled), f.enabled);
        EXPECT_EQ(Utf16ToUtf8(pieces->format), f.format);
        const std::string texts[] = {f.text1, f.text2, f.text3, f.text4};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(Utf16ToUtf8(pieces->texts[i]), texts[i]) << "text" << i + 1;
        }
        EXPECT_EQ(pieces->extraSeparators, 0);
    }
}

// The one text the program fills takes what only looks like separators.
TEST(SplitStatusPayload, SeparatorsInsideTheTextStayInText1) {
    const std::pair<std::string, int> cases[] = {{"a\\0b", 1}, {"\\0", 1}, {"x\\0\\0y\\0", 3}};
    for (const auto& [text, extra] : cases) {
        const auto pieces =
            SplitStatusPayload(StatusPayload("Office", true, "{0}", text, "", "", ""));
        ASSERT_TRUE(pieces.has_value()) << text;
        EXPECT_EQ(Utf16ToUtf8(pieces->texts[0]), text);
        EXPECT_EQ(pieces->texts[1], u"");
        EXPECT_EQ(pieces->extraSeparators, extra);
    }
}

TEST(SplitStatusPayload, RefusesWhatIsNotARecord) {
    const std::u16string nul(1, 0);
    const Bytes cases[] = {
        Utf16(u"\\0Music\\00\\0{0} - {1}\\0\\0\\0\\0\\0"),              // no terminator
        Utf16(u"\\0Music\\00\\0{0} - {1}\\0\\0\\0\\0\\0" + nul + nul),  // two
        Utf16(u"Music\\00\\0{0} - {1}\\0\\0\\0\\0\\0" + nul),           // no leading separator
        Utf16(u"\\0Music\\00\\0{0} - {1}\\0\\0\\0\\0" + nul),           // a piece short
        Utf16(u""),
        {0x5C, 0x00, 0x30},  // odd byte count
    };
    for (const Bytes& record : cases) {
        EXPECT_FALSE(SplitStatusPayload(record).has_value()) << record.size();
    }
}

TEST(Utf16ToUtf8, JoinsSurrogatePairsAndReplacesLoneOnes) {
    EXPECT_EQ(Utf16ToUtf8(u"a\U0001F324b"),
              "a\xF0\x9F\x8C\xA4"
              "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD83C), u'b', char16_t(0xDF24)}),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zonbode::status
