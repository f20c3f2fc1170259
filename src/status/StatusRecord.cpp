#include "status/StatusRecord.h"

#include <vector>

#include "text/Utf8.h"

namespace zonbode::status {
namespace {

constexpr std::u16string_view kSeparator = u"\\0";

}  // namespace

std::u16string StatusPayloadUnits(std::span<const std::uint8_t> record) {
    std::u16string units;
    units.reserve(record.size() / 2);
    for (std::size_t i = 0; i + 1 < record.size(); i += 2) {
        units += static_cast<char16_t>(record[i] | (record[i + 1] << 8));
    }
    return units;
}

std::optional<StatusRecordPieces> SplitStatusPayload(std::span<const std::uint8_t> record) {
    if (record.size() % 2 != 0) {
        return std::nullopt;
    }
    const std::u16string units = StatusPayloadUnits(record);
    std::vector<std::u16string_view> pieces;
    const std::u16string_view text = units;
    std::size_t start = 0;
    for (std::size_t at = text.find(kSeparator); at != std::u16string_view::npos;
         at = text.find(kSeparator, start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + kSeparator.size();
    }
    pieces.push_back(text.substr(start));
    if (pieces.size() < 9 || !pieces.front().empty() || pieces.back() != std::u16string(1, 0)) {
        return std::nullopt;
    }

    StatusRecordPieces out;
    out.category = pieces[1];
    out.enabled = pieces[2];
    out.format = pieces[3];
    // text1 runs from its start up to the separator before text2, extra separators and all.
    const std::size_t lastText1 = pieces.size() - 5;
    const std::size_t text1Begin = pieces[4].data() - text.data();
    const std::size_t text1End = pieces[lastText1].data() + pieces[lastText1].size() - text.data();
    out.texts[0] = text.substr(text1Begin, text1End - text1Begin);
    for (std::size_t i = 1; i < 4; ++i) {
        out.texts[i] = pieces[lastText1 + i];
    }
    out.extraSeparators = static_cast<int>(pieces.size() - 9);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        i += text::DecodeUtf16(text, i, c);
        text::AppendUtf8(out, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
    }
    return out;
}

}  // namespace zonbode::status
