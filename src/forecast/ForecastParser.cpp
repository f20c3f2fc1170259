#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "forecast/ForecastPage.h"
#include "forecast/TableText.h"

// The page is not parsed as HTML: a handful of fixed markers cut it into rows and cells. The
// header row (row 0) names the days; every later row fills one column for all days, so the
// page table is read transposed.
//
// The whole table is read in one left-to-right pass that stops only at '<'. Every marker but
// ">" begins with '<', and no marker can overlap another or "&nbsp;", so splitting at the
// markers in one pass gives the same pieces as cutting, replacing and splitting step by step.
// The day rows are made when the header row ends; each later row then writes one field into
// every day, which is why the writes are prefetched.
namespace zonbode::forecast {
namespace {

constexpr std::string_view kTableStart = "trcolor";
constexpr std::string_view kTableEnd = "</table>";
constexpr std::string_view kRowEnd = "</tr>";
constexpr std::string_view kHeaderCellEnd = "</th>";
constexpr std::string_view kDataCellEnd = "</td>";
constexpr std::string_view kDataCellStart = "<td>";

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::size_t kPrefetchDays = 8;

// Most values are shorter than "&nbsp;" itself and need no search at all.
bool MayHoldNbsp(std::string_view text) {
    return text.size() >= 6 && text.find("&nbsp;") != kNone;
}

// `value` is the text after a plain "<td>", or, when the cell tag carried attributes, the
// whole cell piece, whose first three characters are dropped.
void SetField(std::string& field, std::string_view value, bool wholePiece) {
    if (!MayHoldNbsp(value)) {
        field.assign(wholePiece ? DropCharacters(value, 3) : value);
        return;
    }
    field.clear();
    AppendReplacingNbsp(field, value);
    if (wholePiece) {
        // Counted after the replacement: "&nbsp;" is one character.
        field.erase(0, field.size() - DropCharacters(field, 3).size());
    }
}

class TableReader {
public:
    explicit TableReader(std::string_view table) : table_(table) {}

    ParseOutcome Read() {
        std::size_t pos = 0;
        for (;;) {
            const std::size_t tag = table_.find('<', pos);
            if (tag == kNone) {
                return PageMissing();
            }
            const std::string_view rest = table_.substr(tag);
            if (rest.starts_with(kTableEnd)) {
                return Finish(0);
            }
            if (rest.starts_with(kRowEnd)) {
                if (row_ == kMaxTablePosition) {
                    return Fail(kPositionOverflow, tag);
                }
                if (row_ == 0) {
                    NameDays();
                }
                ++row_;
                pos = StartPiece(0, tag + kRowEnd.size());
                continue;
            }
            const std::string_view cellEnd = row_ == 0 ? kHeaderCellEnd : kDataCellEnd;
            if (rest.starts_with(cellEnd)) {
                // The first piece holds the row's opening tag and its label; the piece after
                // the last separator is never used.
                if (cell_ > 0) {
                    const std::string_view piece = table_.substr(cellStart_, tag - cellStart_);
                    if (row_ == 0) {
                        AddDay(piece);
                    } else if (const int code = AddValue(piece); code != 0) {
                        return Fail(code, tag);
                    }
                }
                if (cell_ == kMaxTablePosition) {
                    return Fail(kPositionOverflow, tag);
                }
                pos = StartPiece(cell_ + 1, tag + cellEnd.size());
                continue;
            }
            if (row_ > 0 && valueStart_ == kNone && rest.starts_with(kDataCellStart)) {
                valueStart_ = tag + kDataCellStart.size();
                pos = valueStart_;
                continue;
            }
            pos = tag + 1;
        }
    }

private:
    std::size_t StartPiece(int cell, std::size_t start) {
        cell_ = cell;
        cellStart_ = start;
        valueStart_ = kNone;
        return start;
    }

    // Header cell: the day text begins after the first ">".
    void AddDay(std::string_view piece) {
        const std::size_t gt = piece.find('>');
        days_.push_back(gt == kNone ? piece : piece.substr(gt + 1));
    }

    // Value cell: after the first "<td>", or, when the tag carries attributes, the piece
    // without its first three characters. Cell c of row r is column r of day c. Returns a
    // failure code, or 0.
    int AddValue(std::string_view piece) {
        if (static_cast<std::size_t>(cell_) > days_.size()) {
            return kDayRowMissing;
        }
        if (row_ >= kColumnCount) {
            return kColumnMissing;
        }
        std::vector<ForecastDay>& rows = outcome_.rows;
        std::string& field = rows[cell_ - 1][row_];
        // A value row walks across all days, one field per day: fetch a few days ahead.
        if (static_cast<std::size_t>(cell_) + kPrefetchDays <= rows.size()) {
            __builtin_prefetch(&rows[cell_ - 1 + kPrefetchDays][row_], 1);
        }
        if (valueStart_ != kNone) {
            const std::size_t end = cellStart_ + piece.size();
            SetField(field, table_.substr(valueStart_, end - valueStart_), false);
        } else {
            SetField(field, piece, true);
        }
        return 0;
    }

    // The header row is complete: one table row per day heading.
    void NameDays() {
        outcome_.rows.resize(days_.size());
        for (std::size_t day = 0; day < days_.size(); ++day) {
            outcome_.rows[day][0] = ExpandDayName(days_[day]);
        }
    }

    ParseOutcome Finish(int failureCode) {
        if (row_ == 0) {
            NameDays();
        }
        outcome_.failureCode = failureCode;
        outcome_.tableCleared = true;
        return std::move(outcome_);
    }

    // A failure after the table was emptied still needs the table's end marker: without it the
    // page counts as missing, and the table is left as it was.
    ParseOutcome Fail(int code, std::size_t at) {
        if (table_.find(kTableEnd, at) == kNone) {
            return PageMissing();
        }
        return Finish(code);
    }

    static ParseOutcome PageMissing() {
        ParseOutcome missing;
        missing.failureCode = kPageMissing;
        return missing;
    }

    std::string_view table_;
    // Day headings as on the page until the header row ends ("&nbsp;" left in: a cell holding
    // one is no abbreviation either way).
    std::vector<std::string_view> days_;
    ParseOutcome outcome_;
    int row_ = 0;
    int cell_ = 0;
    std::size_t cellStart_ = 0;
    std::size_t valueStart_ = kNone;
};

}  // namespace

ParseOutcome ParseForecastPage(std::string_view pageText) {
    const std::size_t start = pageText.find(kTableStart);
    if (start == kNone) {
        ParseOutcome missing;
        missing.failureCode = kPageMissing;
        return missing;
    }
    return TableReader(pageText.substr(start)).Read();
}

}  // namespace zonbode::forecast
