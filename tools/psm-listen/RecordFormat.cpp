#include "RecordFormat.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace zonbode::psmlisten {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Quoted, with backslash, quote and control characters escaped so one record is one line.
std::string Quoted(const std::u16string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || (c >= 0xD800 && c < 0xE000)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            AppendUtf8(out, c);
        }
    }
    return out + "\"";
}

}  // namespace

std::string HexLine(std::uint32_t dwData, std::span<const std::uint8_t> record) {
    static constexpr char kDigits[] = "0123456789abcdef";
    char head[16];
    std::snprintf(head, sizeof head, "%x ", static_cast<unsigned>(dwData));
    std::string line = head;
    line.reserve(line.size() + 2 * record.size());
    for (std::uint8_t byte : record) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0xF];
    }
    return line;
}

std::string DecodedLine(std::uint32_t dwData, std::span<const std::uint8_t> record) {
    char head[32];
    std::snprintf(head, sizeof head, "dwData=%x", static_cast<unsigned>(dwData));
    std::string line = head;

    std::u16string text;
    for (std::size_t i = 0; i + 1 < record.size(); i += 2) {
        text += static_cast<char16_t>(record[i] | (record[i + 1] << 8));
    }
    const bool oddLength = record.size() % 2 != 0;

    // Pieces between the two-character separators "\0".
    std::vector<std::u16string> pieces;
    std::size_t start = 0;
    for (std::size_t at = text.find(u"\\0"); at != std::u16string::npos;
         at = text.find(u"\\0", start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    pieces.push_back(text.substr(start));

    const bool wellFormed = !oddLength && pieces.size() == 9 && pieces.front().empty() &&
                            pieces.back() == std::u16string(1, u'\0');
    if (!wellFormed) {
        return line + " malformed " + Quoted(text) + (oddLength ? " (odd byte count)" : "");
    }
    static constexpr std::string_view kNames[] = {"category", "enabled", "format", "text1",
                                                  "text2",    "text3",   "text4"};
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        line += ' ';
        line += kNames[i];
        line += '=';
        line += Quoted(pieces[i + 1]);
    }
    return line;
}

}  // namespace zonbode::psmlisten
