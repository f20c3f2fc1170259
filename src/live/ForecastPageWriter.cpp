#include "live/ForecastPageWriter.h"

#include <array>

#include "forecast/ForecastPage.h"
#include "live/PageCells.h"
#include "net/Utf8.h"

namespace zonbode::live {
namespace {

using CellRule = std::string (*)(const DayValues&);

// The value rows in page order; their labels are the list's column headers 1 to 7.
constexpr std::array<CellRule, 7> kRows = {
    [](const DayValues& day) { return SunCell(day.sunshine, day.daylight); },
    [](const DayValues& day) { return WholeCell(day.rainChance); },
    [](const DayValues& day) { return RainCell(day.rainSum); },
    [](const DayValues& day) { return WholeCell(day.minTemperature); },
    [](const DayValues& day) { return WholeCell(day.maxTemperature); },
    [](const DayValues& day) { return WindDirectionCell(day.windDirection); },
    [](const DayValues& day) { return WindForceCell(day.windSpeed); },
};

// UTF-8 text as ISO-8859-1 HTML: markup characters and everything the code page lacks (C1
// controls included, which readers take for Windows-1252) as character references; a byte
// that is not UTF-8 as U+FFFD. So no text can end a cell or the table early.
std::string Latin1Html(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = net::DecodeUtf8(text, i, c);
        if (length == 0) {
            c = 0xFFFD;
        }
        i += length == 0 ? 1 : length;
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
        } else {
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
        }
    }
    return out;
}

}  // namespace

std::string WriteForecastPage(const std::vector<DayValues>& days, std::string_view placeName) {
    std::string page =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
        "<html lang=\"nl\">\n<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
        "<title>Weer - Verwachtingen voor de komende zeven dagen</title>\n"
        "</head>\n<body>\n<h1>Verwachtingen</h1>\n"
        "<table class=\"verwachting\" border=\"0\" cellpadding=\"2\" cellspacing=\"1\">\n";
    page += "<tr class=\"trcolor\"><th class=\"plaats\">" + Latin1Html(placeName) + "</th>";
    for (const DayValues& day : days) {
        page += "<th>" + DayCell(day.date) + "</th>";
    }
    page += "</tr>\n";
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        page += "<tr><td class=\"label\" align=\"left\">" +
                Latin1Html(forecast::kColumnHeaders[row + 1]) + "</td>";
        for (const DayValues& day : days) {
            page += "<td>" + kRows[row](day) + "</td>";
        }
        page += "</tr>\n";
    }
    page += "</table>\n<p class=\"bron\">";
    page += kAttribution;
    return page + "</p>\n</body>\n</html>\n";
}

}  // namespace zonbode::live
