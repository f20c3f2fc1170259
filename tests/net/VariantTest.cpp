// The typed value itself and its byte form, without any socket.

#include <gtest/gtest.h>

#include <limits>

#include "net/ByteQueue.h"
#include "net/TypedBytes.h"
#include "net/Variant.h"

namespace zonbode::net {
namespace {

TEST(Variant, TypeCodesAreTheStandardOnes) {
    EXPECT_EQ(Variant().Type(), VarType::Empty);
    EXPECT_EQ(Variant(NullValue{}).Type(), VarType::Null);
    EXPECT_EQ(Variant(std::int16_t{1}).Type(), VarType::Integer);
    EXPECT_EQ(Variant(std::int32_t{1}).Type(), VarType::Long);
    EXPECT_EQ(Variant(1.0f).Type(), VarType::Single);
    EXPECT_EQ(Variant(1.0).Type(), VarType::Double);
    EXPECT_EQ(Variant(Currency{1}).Type(), VarType::Currency);
    EXPECT_EQ(Variant(Date{1}).Type(), VarType::Date);
    EXPECT_EQ(Variant("x").Type(), VarType::String);
    EXPECT_EQ(Variant(ObjectValue{}).Type(), VarType::Object);
    EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
    EXPECT_EQ(Variant(std::uint8_t{1}).Type(), VarType::Byte);
    EXPECT_EQ(Variant(Variant::Bytes{}).Type(), VarType::ByteArray);
    EXPECT_EQ(static_cast<int>(VarType::ByteArray), 8209);
}

TEST(Variant, NumbersAndTheirText) {
    EXPECT_TRUE(Variant(std::uint8_t{5}).IsNumeric());
    EXPECT_TRUE(Variant(true).IsNumeric());
    EXPECT_FALSE(Variant("80").IsNumeric());
    EXPECT_FALSE(Variant().IsNumeric());
    EXPECT_EQ(Variant(true).ToNumber(), -1.0);
    EXPECT_EQ(Variant(Currency{25000}).ToNumber(), 2.5);
    EXPECT_EQ(Variant("80").ToNumber(), 0.0);

    EXPECT_EQ(Variant(std::int32_t{80}).ToText(), "80");
    EXPECT_EQ(Variant(std::int16_t{-3}).ToText(), "-3");
    EXPECT_EQ(Variant(1.5).ToText(), "1.5");
    EXPECT_EQ(Variant(0.1f).ToText(), "0.1");
    EXPECT_EQ(Variant(Currency{-12345}).ToText(), "-1.2345");
    EXPECT_EQ(Variant(Currency{20000}).ToText(), "2");
    EXPECT_EQ(Variant(Currency{std::numeric_limits<std::int64_t>::min()}).ToText(),
              "-922337203685477.5808");
    EXPECT_EQ(Variant(true).ToText(), "True");
    EXPECT_EQ(Variant("host").ToText(), "host");
    EXPECT_EQ(Variant(Variant::Bytes{'a', 0xE9}).ToText(), "a\xC3\xA9");
    EXPECT_EQ(Variant().ToText(), "");
}

TEST(Variant, ValuesWithoutByteFormAreRefused) {
    EXPECT_FALSE(TypedBytes(Variant()).has_value());
    EXPECT_FALSE(TypedBytes(Variant(NullValue{})).has_value());
    EXPECT_FALSE(TypedBytes(Variant(ObjectValue{})).has_value());
    EXPECT_EQ(FixedSizeOf(VarType::String), 0u);
    EXPECT_EQ(FixedSizeOf(VarType::Object), 0u);
}

TEST(Variant, FixedValuesRoundTripThroughTheirBytes) {
    const Variant values[] = {
        Variant(std::int16_t{-32768}),
        Variant(std::int32_t{std::numeric_limits<std::int32_t>::min()}),
        Variant(-0.0f),
        Variant(std::numeric_limits<double>::max()),
        Variant(Currency{-1}),
        Variant(Date{45000.75}),
        Variant(true),
        Variant(std::uint8_t{0}),
    };
    for (const auto& value : values) {
        const auto bytes = TypedBytes(value);
        ASSERT_TRUE(bytes.has_value());
        ASSERT_EQ(bytes->size(), FixedSizeOf(value.Type()));
        const Variant back =
            FixedValueFromBytes(value.Type(), reinterpret_cast<const std::uint8_t*>(bytes->data()));
        EXPECT_EQ(back, value) << value.ToText();
    }
    // Any non-zero Boolean bytes read as true.
    const std::uint8_t one[] = {0x01, 0x00};
    EXPECT_EQ(FixedValueFromBytes(VarType::Boolean, one), Variant(true));
}

TEST(Variant, ReceiveBufferTakesFromTheFrontWithoutLosingOrder) {
    ByteQueue queue;
    std::string expected;
    std::string taken;
    // Interleave appends and small takes across many compactions and growths.
    for (int round = 0; round < 2000; ++round) {
        std::string piece(static_cast<std::size_t>(round % 97 + 1), static_cast<char>(round));
        queue.Append(piece);
        expected += piece;
        const std::size_t take = std::min<std::size_t>(queue.Size(), (round * 7) % 61);
        taken.append(queue.View().substr(0, take));
        queue.Consume(take);
    }
    taken.append(queue.View());
    queue.Consume(queue.Size());
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(taken, expected);

    // Writing straight into the back.
    std::uint8_t* room = queue.PrepareAppend(10);
    room[0] = 'a';
    room[1] = 'b';
    queue.CommitAppend(2);
    EXPECT_EQ(queue.View(), "ab");
    ByteQueue moved = std::move(queue);
    EXPECT_EQ(moved.View(), "ab");
    EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace zonbode::net
