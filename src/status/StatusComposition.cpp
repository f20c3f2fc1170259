#include <array>
#include <string>
#include <string_view>

#include "status/StatusMessage.h"

namespace zonbode::status {
namespace {

// Replaced in this order; each supplies the field of its column.
constexpr std::array<std::string_view, 8> kPlaceholders = {
    "[dag]",     "[zon]",     "[neerslag-%]", "[neerslag-mm]",
    "[mintemp]", "[midtemp]", "[richting]",   "[kracht]",
};

// One left-to-right scan: inserted text is not looked at again by this replacement.
std::string ReplaceEvery(std::string_view text, std::string_view placeholder,
                         std::string_view value) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit = text.find(placeholder); hit != std::string_view::npos;
         hit = text.find(placeholder, pos)) {
        out.append(text.substr(pos, hit - pos)).append(value);
        pos = hit + placeholder.size();
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::string ComposeStatus(std::string_view statusTemplate,
                          const std::array<std::string, 8>& fields) {
    std::string text(statusTemplate);
    for (std::size_t column = 0; column < kPlaceholders.size(); ++column) {
        text = ReplaceEvery(text, kPlaceholders[column], fields[column]);
    }
    return text;
}

DayStatusResult ComposeDayStatus(std::string_view statusTemplate, int rowCount, std::int16_t day,
                                 const std::function<std::string(int row, int column)>& cell,
                                 std::string& text) {
    if (rowCount < 5) {
        return DayStatusResult::TooFewRows;
    }
    if (day < 1 || day > rowCount) {
        return DayStatusResult::DayOutOfRange;
    }
    std::array<std::string, 8> fields;
    for (int column = 0; column < 8; ++column) {
        fields[column] = cell(day, column);
    }
    text = ComposeStatus(statusTemplate, fields);
    return DayStatusResult::Composed;
}

}  // namespace zonbode::status
