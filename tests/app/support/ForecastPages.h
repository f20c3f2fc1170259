#pragma once

#include <array>
#include <string>
#include <vector>

namespace zonbode::testing {

// Forecast tables in the shape of the institute's page, for the download tests.
// Day d (1-based) of row r (1..7) holds the value "r<r>d<d>".
inline std::string ForecastTablePage(const std::vector<std::string>& dayAbbreviations,
                                     int dataRows = 7, int extraCellsInFirstRow = 0) {
    std::string page =
        "<html><head><title>Verwachtingen</title></head><body>\n"
        "<table class=\"forecast\">\n<tr class=\"trcolor\"><th>&nbsp;</th>";
    for (const std::string& day : dayAbbreviations) {
        page += "<th class=\"day\">" + day + "</th>";
    }
    page += "</tr>\n";
    const int days = static_cast<int>(dayAbbreviations.size());
    for (int r = 1; r <= dataRows; ++r) {
        page += "<tr><td class=\"label\">rij " + std::to_string(r) + "</td>";
        const int cells = days + (r == 1 ? extraCellsInFirstRow : 0);
        for (int d = 1; d <= cells; ++d) {
            page += "<td>r" + std::to_string(r) + "d" + std::to_string(d) + "</td>";
        }
        page += "</tr>\n";
    }
    page += "</table>\n</body></html>\n";
    return page;
}

inline std::string SevenDayPage() {
    return ForecastTablePage({"ma", "di", "wo", "do", "vr", "za", "zo"});
}

inline const std::array<std::string, 7> kSevenDayNames = {
    "Maandag", "Dinsdag", "Woensdag", "Donderdag", "Vrijdag", "Zaterdag", "Zondag"};

}  // namespace zonbode::testing
