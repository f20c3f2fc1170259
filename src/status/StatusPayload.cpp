#include <cstdint>
#include <string_view>
#include <vector>

#include "status/StatusMessage.h"
#include "text/Utf8.h"

namespace zonbode::status {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes one UTF-8 character at text[i] and advances i; a malformed byte gives U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    char32_t cp = 0;
    const std::size_t length = text::DecodeUtf8(text, i, cp);
    if (length == 0) {
        ++i;
        return kReplacementCharacter;
    }
    i += length;
    return cp;
}

void AppendUnit(std::vector<std::uint8_t>& out, char32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
}

// UTF-8 text as UTF-16LE code units; characters beyond the BMP as surrogate pairs.
void AppendUtf16(std::vector<std::uint8_t>& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = NextCodePoint(text, i);
        if (cp >= 0x10000) {
            AppendUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
            AppendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            AppendUnit(out, cp);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> StatusPayload(std::string_view category, bool enabled,
                                        std::string_view format, std::string_view text1,
                                        std::string_view text2, std::string_view text3,
                                        std::string_view text4) {
    // The separator is the two characters backslash and zero, not a NUL.
    constexpr std::string_view kSeparator = "\\0";
    std::vector<std::uint8_t> record;
    record.reserve(2 * (32 + category.size() + format.size() + text1.size() + text2.size() +
                        text3.size() + text4.size()));
    for (std::string_view piece :
         {category, enabled ? std::string_view("1") : std::string_view("0"), format, text1, text2,
          text3, text4}) {
        AppendUtf16(record, kSeparator);
        AppendUtf16(record, piece);
    }
    AppendUtf16(record, kSeparator);
    AppendUnit(record, 0);
    return record;
}

}  // namespace zonbode::status
