#include <array>
#include <string>
#include <string_view>

#include "status/PurpleStatus.h"
#include "status/StatusMessage.h"
#include "status/StatusRecord.h"

namespace zonbode::status {

std::string FillStatusFormat(std::string_view format, const std::array<std::string, 4>& texts) {
    std::string out;
    out.reserve(format.size() + texts[0].size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '{' && i + 2 < format.size() && format[i + 1] >= '0' &&
            format[i + 1] <= '3' && format[i + 2] == '}') {
            out += texts[format[i + 1] - '0'];
            i += 2;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string EscapeStatusMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<PurpleStatusChange> PurpleStatusChangeFor(std::uint32_t dwData,
                                                        std::span<const std::uint8_t> record) {
    if (dwData != kStatusCopyDataId) {
        return std::nullopt;
    }
    const std::optional<StatusRecordPieces> pieces = SplitStatusPayload(record);
    if (!pieces) {
        return std::nullopt;
    }
    if (pieces->enabled == u"0") {
        return PurpleStatusChange{.switchOff = true, .message = {}};
    }
    if (pieces->enabled != u"1") {
        return std::nullopt;
    }
    std::array<std::string, 4> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = Utf16ToUtf8(pieces->texts[i]);
    }
    return PurpleStatusChange{
        .message = EscapeStatusMarkup(FillStatusFormat(Utf16ToUtf8(pieces->format), texts))};
}

}  // namespace zonbode::status
