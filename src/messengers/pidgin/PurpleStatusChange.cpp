#include <string>
#include <string_view>

#include "messengers/RecordText.h"
#include "messengers/pidgin/PurpleStatus.h"

namespace zonbode::messengers {

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
    const std::optional<RecordAsk> ask = RecordText(dwData, record);
    if (!ask) {
        return std::nullopt;
    }
    if (ask->switchOff) {
        return PurpleStatusChange{.switchOff = true, .message = {}};
    }
    return PurpleStatusChange{.message = EscapeStatusMarkup(ask->text)};
}

}  // namespace zonbode::messengers
