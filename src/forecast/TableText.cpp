#include "forecast/TableText.h"

#include <cstddef>

namespace zonbode::forecast {

std::string ReplaceNbsp(std::string_view text) {
    std::string out;
    AppendReplacingNbsp(out, text);
    return out;
}

void AppendReplacingNbsp(std::string& out, std::string_view text) {
    constexpr std::string_view kNbsp = "&nbsp;";
    std::size_t pos = 0;
    for (std::size_t hit = text.find(kNbsp); hit != std::string_view::npos;
         hit = text.find(kNbsp, pos)) {
        out.append(text.substr(pos, hit - pos));
        out.push_back(' ');
        pos = hit + kNbsp.size();
    }
    out.append(text.substr(pos));
}

std::string_view DropCharacters(std::string_view text, int count) {
    const auto isContinuation = [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    };
    std::size_t i = 0;
    for (int k = 0; k < count && i < text.size(); ++k) {
        ++i;
        while (i < text.size() && isContinuation(text[i])) {
            ++i;
        }
    }
    return text.substr(i);
}

}  // namespace zonbode::forecast
