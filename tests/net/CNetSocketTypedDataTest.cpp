// Typed values over a real connection: every type's byte form going out, and the same bytes
// read back into the same type.

#include <cmath>

#include "net/CNetSocketTestSupport.h"

namespace zonbode::net::testing {
namespace {

struct TypedCase {
    const char* name;
    Variant value;
    std::string bytes;
};

std::vector<TypedCase> Cases() {
    using B = Variant::Bytes;
    return {
        {"Integer", Variant(std::int16_t{1}), std::string("\x01\x00", 2)},
        {"Integer negative", Variant(std::int16_t{-2}), "\xFE\xFF"},
        {"Long", Variant(std::int32_t{1}), std::string("\x01\x00\x00\x00", 4)},
        {"Long big", Variant(std::int32_t{0x12345678}), "\x78\x56\x34\x12"},
        {"Single", Variant(1.5f), std::string("\x00\x00\xC0\x3F", 4)},
        {"Double", Variant(-2.25), std::string("\x00\x00\x00\x00\x00\x00\x02\xC0", 8)},
        {"Currency", Variant(Currency{12345678}),  // 1234.5678
         std::string("\x4E\x61\xBC\x00\x00\x00\x00\x00", 8)},
        {"Date", Variant(Date{1.0}),  // 31 December 1899
         std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8)},
        {"Boolean true", Variant(true), "\xFF\xFF"},
        {"Boolean false", Variant(false), std::string("\x00\x00", 2)},
        {"Byte", Variant(std::uint8_t{0xAB}), "\xAB"},
        {"ByteArray", Variant(B{0x00, 0x01, 0xFE, 0xFF}), std::string("\x00\x01\xFE\xFF", 4)},
        {"String", Variant("GET "), "GET "},
        {"String with code page", Variant("\xE2\x82\xAC\xC3\xA9"), "\x80\xE9"},  // €é
    };
}

class CNetSocketTypedData : public SocketTest {};

TEST_F(CNetSocketTypedData, EveryTypeGoesOutInItsExactByteForm) {
    PeerSocket peer;
    auto socket = ConnectedPair(peer);
    for (const auto& c : Cases()) {
        socket->SendData(c.value);
        EXPECT_EQ(peer.RecvExactly(c.bytes.size()), c.bytes) << c.name;
    }
}

TEST_F(CNetSocketTypedData, EveryTypeReadsBackFromItsBytes) {
    PeerSocket peer;
    auto socket = ConnectedPair(peer);
    for (const auto& c : Cases()) {
        ASSERT_TRUE(peer.SendAll(c.bytes));
        ASSERT_TRUE(RunUntil([&] {
            return socket->BytesReceived() == static_cast<std::int32_t>(c.bytes.size());
        })) << c.name;
        Variant data;
        socket->GetData(data, static_cast<std::int32_t>(c.value.Type()));
        EXPECT_EQ(data, c.value) << c.name;
        EXPECT_EQ(socket->BytesReceived(), 0) << c.name;
    }
}

TEST_F(CNetSocketTypedData, FixedSizeReadsIgnoreMaxLenAndTakeOnlyTheirSize) {
    PeerSocket peer;
    auto socket = ConnectedPair(peer);
    ASSERT_TRUE(peer.SendAll(std::string("\x01\x00\x00\x00\x00\x00\x00\x00\xFF", 9)));
    ASSERT_TRUE(RunUntil([&] { return socket->BytesReceived() == 9; }));
    Variant value(Currency{});
    Variant maxLen(1);
    socket->GetData(value, std::nullopt, &maxLen);
    EXPECT_EQ(value, Variant(Currency{1}));
    Variant flag(false);
    socket->PeekData(flag);  // one byte left: too few for a Boolean
    EXPECT_EQ(flag, Variant(false));
    Variant byte(std::uint8_t{0});
    socket->GetData(byte);
    EXPECT_EQ(byte, Variant(std::uint8_t{0xFF}));
}

}  // namespace
}  // namespace zonbode::net::testing
