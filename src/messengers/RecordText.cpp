#include "messengers/RecordText.h"

#include "status/StatusMessage.h"
#include "status/StatusRecord.h"

namespace zonbode::messengers {

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

std::optional<RecordAsk> RecordText(std::uint32_t dwData, std::span<const std::uint8_t> record) {
    if (dwData != status::kStatusCopyDataId) {
        return std::nullopt;
    }
    const std::optional<status::StatusRecordPieces> pieces = status::SplitStatusPayload(record);
    if (!pieces) {
        return std::nullopt;
    }
    if (pieces->enabled == u"0") {
        return RecordAsk{.switchOff = true, .text = {}};
    }
    if (pieces->enabled != u"1") {
        return std::nullopt;
    }
    std::array<std::string, 4> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = status::Utf16ToUtf8(pieces->texts[i]);
    }
    return RecordAsk{.switchOff = false,
                     .text = FillStatusFormat(status::Utf16ToUtf8(pieces->format), texts)};
}

}  // namespace zonbode::messengers
