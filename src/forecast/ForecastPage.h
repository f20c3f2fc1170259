#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zonbode::forecast {

inline constexpr int kColumnCount = 8;

// One row of the forecast table: eight texts in column order, exactly as cut from the page.
using ForecastDay = std::array<std::string, kColumnCount>;

// The list's column headers, in column order.
inline constexpr std::array<std::string_view, kColumnCount> kColumnHeaders = {
    "Dag",
    "Zonneschijn (%)",
    "Neerslagkans (%)",
    "Neerslaghoeveelheid (mm)",
    "Minimumtemperatuur (\xC2\xB0"
    "C)",
    "Middagtemperatuur (\xC2\xB0"
    "C)",
    "Windrichting",
    "Windsnelheid (bft)",
};

inline constexpr std::string_view kForecastHost = "www.knmi.nl";
inline constexpr std::uint16_t kForecastPort = 80;
inline constexpr std::string_view kForecastPath = "/waarschuwingen_en_verwachtingen/index.html";

// Where users look for a newer Zonbode; named in the "host offline" message.
inline constexpr std::string_view kWebsiteAddress = "http://www.kavelo.nl/zonbode";

// Failure code for a missing "trcolor" or "</table>" (the page is not there).
inline constexpr int kPageMissing = 5;
// The other failure codes: a table position beyond 32767, a value for a day the header did
// not name, a value row beyond the last column.
inline constexpr int kPositionOverflow = 6;
inline constexpr int kDayRowMissing = 35600;
inline constexpr int kColumnMissing = 380;
// Row and cell positions are 16-bit signed counters.
inline constexpr int kMaxTablePosition = 32767;

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
};

struct ParseOutcome {
    int failureCode = 0;            // 0: success
    bool tableCleared = false;      // the table was emptied (always on success)
    std::vector<ForecastDay> rows;  // all rows on success; the rows made so far on a failure
    bool ok() const { return failureCode == 0; }
};

// Cuts the forecast table out of the text of a whole HTTP response (status line, headers and
// body, bytes already turned into text one character per byte).
ParseOutcome ParseForecastPage(std::string_view pageText);

// The message a failed parse shows, "\r\n" line break included.
std::string ParseFailureMessage(int failureCode);

// "Laatste update op: dd-mm-yyyy, hh:mm".
std::string LastUpdateText(const LocalDateTime& now);

// "ma" -> "Maandag", ... "zo" -> "Zondag", case-insensitive; anything else -> "".
std::string ExpandDayName(std::string_view abbreviation);

// The HTTP/1.1 request text of one download. With port 80 the Host header is the bare host.
std::string BuildForecastRequest(std::string_view path, std::string_view host, std::uint16_t port);

}  // namespace zonbode::forecast
