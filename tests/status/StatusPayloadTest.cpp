#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "status/StatusMessage.h"

namespace zonbode::status {
namespace {

using Bytes = std::vector<std::uint8_t>;

// ASCII text as UTF-16LE bytes, for readable expectations.
Bytes Utf16(const std::string& ascii) {
    Bytes out;
    for (char c : ascii) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(0);
    }
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes OfficeRecord(const std::string& text) {
    return StatusPayload(kStatusCategory, true, kStatusFormat, text, "", "", "");
}

TEST(StatusPayload, SwitchOffRecordIsExactlySixtyFourBytes) {
    const Bytes expected = {
        0x5C, 0x00, 0x30, 0x00, 0x4D, 0x00, 0x75, 0x00, 0x73, 0x00, 0x69, 0x00, 0x63,
        0x00, 0x5C, 0x00, 0x30, 0x00, 0x30, 0x00, 0x5C, 0x00, 0x30, 0x00, 0x7B, 0x00,
        0x30, 0x00, 0x7D, 0x00, 0x20, 0x00, 0x2D, 0x00, 0x20, 0x00, 0x7B, 0x00, 0x31,
        0x00, 0x7D, 0x00, 0x5C, 0x00, 0x30, 0x00, 0x5C, 0x00, 0x30, 0x00, 0x5C, 0x00,
        0x30, 0x00, 0x5C, 0x00, 0x30, 0x00, 0x5C, 0x00, 0x30, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(StatusPayload(kSwitchOffCategory, false, kSwitchOffFormat, "", "", "", ""), expected);
}

TEST(StatusPayload, ComposedRecordIsPrefixTextSuffix) {
    const Bytes prefix = {0x5C, 0x00, 0x30, 0x00, 0x4F, 0x00, 0x66, 0x00, 0x66, 0x00, 0x69, 0x00,
                          0x63, 0x00, 0x65, 0x00, 0x5C, 0x00, 0x30, 0x00, 0x31, 0x00, 0x5C, 0x00,
                          0x30, 0x00, 0x7B, 0x00, 0x30, 0x00, 0x7D, 0x00, 0x5C, 0x00, 0x30, 0x00};
    const Bytes record = OfficeRecord("Maandag 12");
    EXPECT_EQ(record, Concat({prefix, Utf16("Maandag 12"), Utf16("\\0\\0\\0\\0"), {0, 0}}));
    EXPECT_EQ(record.size(), 54u + 2 * 10);
}

TEST(StatusPayload, EmptyTextStillGivesTheFullRecord) {
    const Bytes record = OfficeRecord("");
    EXPECT_EQ(record.size(), 54u);
    EXPECT_EQ(record, Concat({Utf16("\\0Office\\01\\0{0}\\0\\0\\0\\0\\0"), {0, 0}}));
}

TEST(StatusPayload, EndsWithExactlyOneTerminator) {
    const Bytes record = OfficeRecord("x");
    ASSERT_GE(record.size(), 4u);
    EXPECT_EQ(record[record.size() - 1], 0);
    EXPECT_EQ(record[record.size() - 2], 0);
    EXPECT_EQ(record[record.size() - 4], 0x30);  // the last separator's "0", not a NUL
}

TEST(StatusPayload, SeparatorInsideATextIsNotEscaped) {
    EXPECT_EQ(OfficeRecord("a\\0b"),
              Concat({Utf16("\\0Office\\01\\0{0}\\0a\\0b\\0\\0\\0\\0"), {0, 0}}));
}

TEST(StatusPayload, EveryFieldHasItsPlace) {
    EXPECT_EQ(StatusPayload("C", true, "F", "1", "2", "3", "4"),
              Concat({Utf16("\\0C\\01\\0F\\01\\02\\03\\04\\0"), {0, 0}}));
}

TEST(StatusPayload, TextIsConvertedToUtf16CodeUnits) {
    // "12°C €" : U+00B0 and U+20AC are one code unit each.
    const Bytes record = OfficeRecord("12\xC2\xB0 \xE2\x82\xAC");
    EXPECT_EQ(record.size(), 54u + 2 * 5);
    const Bytes text(record.begin() + 36, record.begin() + 46);
    EXPECT_EQ(text, (Bytes{0x31, 0x00, 0x32, 0x00, 0xB0, 0x00, 0x20, 0x00, 0xAC, 0x20}));
}

TEST(StatusPayload, CharactersBeyondTheBmpBecomeSurrogatePairs) {
    const Bytes record = OfficeRecord("\xF0\x9F\x98\x80");  // U+1F600
    EXPECT_EQ(record.size(), 54u + 2 * 2);
    const Bytes text(record.begin() + 36, record.begin() + 40);
    EXPECT_EQ(text, (Bytes{0x3D, 0xD8, 0x00, 0xDE}));
}

TEST(StatusPayload, MalformedTextBecomesReplacementCharacters) {
    const Bytes record = OfficeRecord("a\xFF\xC3");
    const Bytes text(record.begin() + 36, record.end() - 18);  // four separators, one NUL
    EXPECT_EQ(text, (Bytes{0x61, 0x00, 0xFD, 0xFF, 0xFD, 0xFF}));
}

}  // namespace
}  // namespace zonbode::status
