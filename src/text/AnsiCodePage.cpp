#include "text/AnsiCodePage.h"

#include <array>
#include <cstdint>
#include <unordered_map>

#include "text/Utf8.h"

namespace zonbode::text {
namespace {

// Windows-1252 for 0x80..0x9F; the five unassigned bytes keep their C1 control character.
constexpr std::array<char32_t, 32> kHighControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char32_t CodePointOfByte(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControlBlock[byte - 0x80];
    }
    return byte;
}

const std::unordered_map<char32_t, std::uint8_t>& HighBlockBytes() {
    static const auto* map = [] {
        auto* m = new std::unordered_map<char32_t, std::uint8_t>();
        for (int i = 0; i < 32; ++i) {
            (*m)[kHighControlBlock[i]] = static_cast<std::uint8_t>(0x80 + i);
        }
        return m;
    }();
    return *map;
}

char ByteOfCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    const auto& high = HighBlockBytes();
    if (auto it = high.find(cp); it != high.end()) {
        return static_cast<char>(it->second);
    }
    return '?';
}

}  // namespace

std::string BytesToText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            AppendUtf8(text, CodePointOfByte(byte));
        }
    }
    return text;
}

std::string TextToBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            bytes.push_back('?');
            ++i;
            continue;
        }
        bytes.push_back(ByteOfCodePoint(cp));
        i += length;
    }
    return bytes;
}

}  // namespace zonbode::text
