#include <cstddef>
#include <string>
#include <string_view>

#include "forecast/ForecastPage.h"
#include "forecast/TableText.h"

// The page is not parsed as HTML: a handful of fixed markers cut it into rows and cells. The
// header row (row 0) names the days; every later row fills one column for all days, so the
// page table is read transposed.
//
// The whole table is read in one left-to-right pass that stops only at '<'. Every marker but
// ">" begins with '<', no marker can overlap another or "&nbsp;", so splitting at the markers
// in one pass gives the same pieces as splitting row by row and cell by cell.
namespace zonbode::forecast {
namespace {

constexpr std::string_view kTableStart = "trcolor";
constexpr std::string_view kTableEnd = "</table>";
constexpr std::string_view kRowEnd = "</tr>";
constexpr std::string_view kHeaderCellEnd = "</th>";
constexpr std::string_view kDataCellEnd = "</td>";
constexpr std::string_view kDataCellStart = "<td>";

constexpr std::size_t kNone = std::string_view::npos;

class TableReader {
public:
    explicit TableReader(std::string_view table) : table_(table) {}

    ParseOutcome Read() {
        outcome_.tableCleared = true;
        std::size_t pos = 0;
        for (;;) {
            const std::size_t tag = table_.find('<', pos);
            if (tag == kNone) {
                return PageMissing();
            }
            const std::string_view rest = table_.substr(tag);
            if (rest.starts_with(kTableEnd)) {
                return std::move(outcome_);
            }
            if (rest.starts_with(kRowEnd)) {
                if (row_ == kMaxTablePosition) {
                    return Fail(kPositionOverflow, tag);
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
                    if (const int code = row_ == 0 ? AddDay(piece) : SetValue(piece); code != 0) {
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
    int AddDay(std::string_view piece) {
        const std::size_t gt = piece.find('>');
        const std::string_view text = gt == kNone ? piece : piece.substr(gt + 1);
        // "&nbsp;" is left in: a cell holding one is no day abbreviation either way.
        ForecastDay day;
        day[0] = ExpandDayName(text);
        outcome_.rows.push_back(std::move(day));
        return 0;
    }

    // Value cell: after the first "<td>", or, when the tag carries attributes, the piece
    // without its first three characters.
    int SetValue(std::string_view piece) {
        if (static_cast<std::size_t>(cell_) > outcome_.rows.size()) {
            return kDayRowMissing;
        }
        if (row_ >= kColumnCount) {
            return kColumnMissing;
        }
        std::string& field = outcome_.rows[cell_ - 1][row_];
        if (valueStart_ != kNone) {
            field =
                ReplaceNbsp(table_.substr(valueStart_, cellStart_ + piece.size() - valueStart_));
        } else {
            field = std::string(DropCharacters(ReplaceNbsp(piece), 3));
        }
        return 0;
    }

    // A failure after the table was emptied still needs the table's end marker: without it the
    // page counts as missing, and the table is left as it was.
    ParseOutcome Fail(int code, std::size_t at) {
        if (table_.find(kTableEnd, at) == kNone) {
            return PageMissing();
        }
        outcome_.failureCode = code;
        return std::move(outcome_);
    }

    static ParseOutcome PageMissing() {
        ParseOutcome missing;
        missing.failureCode = kPageMissing;
        return missing;
    }

    std::string_view table_;
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
