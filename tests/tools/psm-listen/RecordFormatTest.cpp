#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordFormat.h"

namespace zonbode::psmlisten {
namespace {

std::vector<std::uint8_t> Utf16(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(HexLine, IsDwDataAndEveryByteInLowercaseHex) {
    EXPECT_EQ(HexLine(0x547, Utf16(u"\\0A")), "547 5c0030004100");
    const std::vector<std::uint8_t> bytes = {0x00, 0xAB, 0xFF};
    EXPECT_EQ(HexLine(0xABCDEF01, bytes), "abcdef01 00abff");
    EXPECT_EQ(HexLine(0, {}), "0 ");
}

TEST(DecodedLine, NamesThePiecesOfAComposedRecord) {
    const auto record = Utf16(u"\\0Office\\01\\0{0}\\0Maandag | 20\u00B0 \"zon\"\\0\\0\\0\\0" +
                              std::u16string(1, 0));
    EXPECT_EQ(DecodedLine(0x547, record),
              "dwData=547 category=\"Office\" enabled=\"1\" format=\"{0}\" "
              "text1=\"Maandag | 20\u00B0 \\\"zon\\\"\" text2=\"\" text3=\"\" text4=\"\"");
}

TEST(DecodedLine, NamesThePiecesOfTheSwitchOffRecord) {
    const auto record = Utf16(u"\\0Music\\00\\0{0} - {1}\\0\\0\\0\\0\\0" + std::u16string(1, 0));
    EXPECT_EQ(record.size(), 64u);
    EXPECT_EQ(DecodedLine(0x547, record),
              "dwData=547 category=\"Music\" enabled=\"0\" format=\"{0} - {1}\" text1=\"\" "
              "text2=\"\" text3=\"\" text4=\"\"");
}

TEST(DecodedLine, KeepsOneRecordOnOneLineAndDecodesSurrogatePairs) {
    const auto record =
        Utf16(u"\\0Office\\01\\0{0}\\0a\nb\r\tc \U0001F600\\0\\0\\0\\0" + std::u16string(1, 0));
    EXPECT_EQ(DecodedLine(0x547, record),
              "dwData=547 category=\"Office\" enabled=\"1\" format=\"{0}\" "
              "text1=\"a\\nb\\r\\u0009c \U0001F600\" text2=\"\" text3=\"\" text4=\"\"");
}

TEST(DecodedLine, ShowsARecordThatDoesNotSplitAsMalformed) {
    // A separator inside the text cannot be told from a real one: one piece too many.
    const auto extra = Utf16(u"\\0Office\\01\\0{0}\\0a\\0b\\0\\0\\0\\0" + std::u16string(1, 0));
    EXPECT_EQ(DecodedLine(0x547, extra).rfind("dwData=547 malformed \"", 0), 0u);
    // No terminating NUL.
    EXPECT_EQ(DecodedLine(1, Utf16(u"\\0Music\\00\\0{0} - {1}\\0\\0\\0\\0\\0")),
              "dwData=1 malformed \"\\\\0Music\\\\00\\\\0{0} - {1}\\\\0\\\\0\\\\0\\\\0\\\\0\"");
    // An odd byte count is said so.
    const std::vector<std::uint8_t> odd = {0x41, 0x00, 0x42};
    EXPECT_EQ(DecodedLine(0x547, odd), "dwData=547 malformed \"A\" (odd byte count)");
}

}  // namespace
}  // namespace zonbode::psmlisten
