#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "net/RaisedError.h"
#include "net/ValueConversion.h"

namespace zonbode::net {
namespace {

TEST(ValueConversion, WordsAreUnsignedHalves) {
    EXPECT_EQ(HighWord(327681), 5);
    EXPECT_EQ(LowWord(327681), 1);
    EXPECT_EQ(HighWord(-1), 65535);
    EXPECT_EQ(LowWord(-1), 65535);
    EXPECT_EQ(HighWord(-2147483647 - 1), 32768);
    EXPECT_EQ(LowWord(-2147483647 - 1), 0);
    EXPECT_EQ(HighWord(0x7FFFFFFF), 32767);
    EXPECT_EQ(HighWord(65535), 0);
    EXPECT_EQ(LowWord(65536), 0);
    // A network notification: event in the low word, error in the high word.
    EXPECT_EQ(LowWord((10061 << 16) | 0x10), 0x10);
    EXPECT_EQ(HighWord((10061 << 16) | 0x10), 10061);
}

TEST(ValueConversion, UnsignedToInt16KeepsTheBits) {
    EXPECT_EQ(UnsignedToInt16(0), 0);
    EXPECT_EQ(UnsignedToInt16(80), 80);
    EXPECT_EQ(UnsignedToInt16(32767), 32767);
    EXPECT_EQ(UnsignedToInt16(32768), -32768);
    EXPECT_EQ(UnsignedToInt16(65535), -1);
}

TEST(ValueConversion, UnsignedToInt16RaisesOverflowOutsideTheRange) {
    for (std::int32_t value : {65536, -1, -32768, 2147483647, -2147483647 - 1}) {
        try {
            UnsignedToInt16(value);
            ADD_FAILURE() << value << " did not raise";
        } catch (const RaisedError& error) {
            EXPECT_EQ(error.Number(), 6) << value;
            EXPECT_FALSE(error.Description().empty());
        }
    }
}

TEST(ValueConversion, Int16ToUnsignedIsTheInverse) {
    EXPECT_EQ(Int16ToUnsigned(-1), 65535);
    EXPECT_EQ(Int16ToUnsigned(-32768), 32768);
    EXPECT_EQ(Int16ToUnsigned(32767), 32767);
    EXPECT_EQ(Int16ToUnsigned(0), 0);
    for (std::int32_t value = 0; value <= 65535; ++value) {
        ASSERT_EQ(Int16ToUnsigned(UnsignedToInt16(value)), value);
    }
}

TEST(ValueConversion, AnsiStringAtReadsUpToTheNul) {
    EXPECT_EQ(AnsiStringAt(nullptr), "");
    EXPECT_EQ(AnsiStringAt(""), "");
    const char dotted[] = "192.168.0.1\0garbage";
    EXPECT_EQ(AnsiStringAt(dotted), "192.168.0.1");
    EXPECT_EQ(AnsiStringAt("caf\xE9"), "caf\xC3\xA9");  // through the code page
}

}  // namespace
}  // namespace zonbode::net
