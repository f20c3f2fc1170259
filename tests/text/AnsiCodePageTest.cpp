#include <string>

#include <gtest/gtest.h>

#include "text/AnsiCodePage.h"

namespace zonbode::text {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

int CountCharacters(const std::string& utf8) {
    int count = 0;
    for (char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

TEST(AnsiCodePage, EveryByteRoundTripsAsOneCharacter) {
    const std::string text = text::BytesToText(AllBytes());
    EXPECT_EQ(CountCharacters(text), 256);
    EXPECT_EQ(text::TextToBytes(text), AllBytes());
}

TEST(AnsiCodePage, BytesFollowWindows1252) {
    EXPECT_EQ(text::BytesToText("abc\r\n"), "abc\r\n");
    EXPECT_EQ(text::BytesToText(std::string("\0x", 2)), std::string("\0x", 2));
    EXPECT_EQ(text::BytesToText("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(text::BytesToText("\x85"), "\xE2\x80\xA6");  // ellipsis
    EXPECT_EQ(text::BytesToText("\x9F"), "\xC5\xB8");      // Y with diaeresis
    EXPECT_EQ(text::BytesToText("\xA0"), "\xC2\xA0");
    EXPECT_EQ(text::BytesToText("\xB0"), "\xC2\xB0");  // degree sign
    EXPECT_EQ(text::BytesToText("\xE9"), "\xC3\xA9");
    EXPECT_EQ(text::BytesToText("\xFF"), "\xC3\xBF");
}

TEST(AnsiCodePage, UnassignedBytesKeepTheirControlCharacters) {
    EXPECT_EQ(text::BytesToText("\x81"), "\xC2\x81");
    EXPECT_EQ(text::BytesToText("\x8D"), "\xC2\x8D");
    EXPECT_EQ(text::BytesToText("\x8F"), "\xC2\x8F");
    EXPECT_EQ(text::BytesToText("\x90"), "\xC2\x90");
    EXPECT_EQ(text::BytesToText("\x9D"), "\xC2\x9D");
    EXPECT_EQ(text::TextToBytes("\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"),
              "\x81\x8D\x8F\x90\x9D");
}

TEST(AnsiCodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(text::TextToBytes("\xE6\x97\xA5"), "?");          // a CJK character
    EXPECT_EQ(text::TextToBytes("a\xF0\x9F\x98\x80z"), "a?z");  // beyond the BMP
    EXPECT_EQ(text::TextToBytes("\xC2\x80"), "?");              // U+0080: byte 0x80 is the euro
    EXPECT_EQ(text::TextToBytes("\xE2\x82\xAC\xC3\xA9"), "\x80\xE9");
}

TEST(AnsiCodePage, MalformedUtf8GivesOneQuestionMarkPerBadByte) {
    EXPECT_EQ(text::TextToBytes("\xC3"), "?");                 // cut short
    EXPECT_EQ(text::TextToBytes("\xC3z"), "?z");               // continuation missing
    EXPECT_EQ(text::TextToBytes("\x80\xBF"), "??");            // stray continuations
    EXPECT_EQ(text::TextToBytes("\xC0\x80"), "??");            // overlong NUL
    EXPECT_EQ(text::TextToBytes("\xED\xA0\x80"), "???");       // a surrogate
    EXPECT_EQ(text::TextToBytes("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(text::TextToBytes("\xFE\xFF"), "??");
}

}  // namespace
}  // namespace zonbode::text
