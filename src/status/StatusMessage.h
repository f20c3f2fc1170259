#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zonbode::status {

inline constexpr std::string_view kDefaultTemplate =
    "[dag] | Kans op zon: [zon]% | Neerslag: [neerslag-mm]mm / [neerslag-%]% | Temp: "
    "[midtemp] | Wind: [richting][kracht]";

inline constexpr std::uint32_t kStatusCopyDataId = 0x547;

// The two records the program sends: a composed status, and the one that switches it off.
inline constexpr std::string_view kStatusCategory = "Office";
inline constexpr std::string_view kStatusFormat = "{0}";
inline constexpr std::string_view kSwitchOffCategory = "Music";
inline constexpr std::string_view kSwitchOffFormat = "{0} - {1}";

// Fills the eight placeholders of the template with one row's fields (column order).
std::string ComposeStatus(std::string_view statusTemplate,
                          const std::array<std::string, 8>& fields);

enum class DayStatusResult {
    TooFewRows,     // fewer than 5 rows: nothing happens
    DayOutOfRange,  // the row lookup failed: nothing changes, the caller is told
    Composed,
};

// The composition step of SetPSM: guards, then the composed text of row `day` (1-based).
// cell(row, column) reads a field of the table (row 1-based, column 0..7).
DayStatusResult ComposeDayStatus(std::string_view statusTemplate, int rowCount, std::int16_t day,
                                 const std::function<std::string(int row, int column)>& cell,
                                 std::string& text);

// The day the automatic cycle composes next: 1 after the last row (or beyond it), else +1.
std::int16_t NextDay(std::int16_t currentDay, int rowCount);

// The status record: UTF-16LE pieces joined by the two-character separator "\0", ended by one
// U+0000 code unit.
std::vector<std::uint8_t> StatusPayload(std::string_view category, bool enabled,
                                        std::string_view format, std::string_view text1,
                                        std::string_view text2, std::string_view text3,
                                        std::string_view text4);

}  // namespace zonbode::status
