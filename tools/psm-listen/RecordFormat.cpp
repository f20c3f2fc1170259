#include "RecordFormat.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "status/StatusRecord.h"
#include "text/Utf8.h"

namespace zonbode::psmlisten {
namespace {

// Quoted, with backslash, quote and control characters escaped so one record is one line.
std::string Quoted(const std::u16string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        i += text::DecodeUtf16(text, i, c);
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
            text::AppendUtf8(out, c);
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

    const std::optional<status::StatusRecordPieces> pieces = status::SplitStatusPayload(record);
    // A separator inside a text cannot be told from a real one: shown as it came.
    if (!pieces || pieces->extraSeparators > 0) {
        return line + " malformed " + Quoted(status::StatusPayloadUnits(record)) +
               (record.size() % 2 != 0 ? " (odd byte count)" : "");
    }
    const std::pair<std::string_view, const std::u16string&> named[] = {
        {"category", pieces->category}, {"enabled", pieces->enabled}, {"format", pieces->format},
        {"text1", pieces->texts[0]},    {"text2", pieces->texts[1]},  {"text3", pieces->texts[2]},
        {"text4", pieces->texts[3]},
    };
    for (const auto& [name, value] : named) {
        line += ' ';
        line += name;
        line += '=';
        line += Quoted(value);
    }
    return line;
}

}  // namespace zonbode::psmlisten
