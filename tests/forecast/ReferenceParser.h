#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forecast/ForecastPage.h"

// The page parser written the slow, obvious way: cut, replace, split into rows, split each row
// into cells. The real parser does all of this in one pass; both must agree on every input.
namespace zonbode::forecast::reference {

inline std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t pos = 0;
    for (std::size_t hit = text.find(separator); hit != std::string_view::npos;
         hit = text.find(separator, pos)) {
        pieces.emplace_back(text.substr(pos, hit - pos));
        pos = hit + separator.size();
    }
    pieces.emplace_back(text.substr(pos));
    return pieces;
}

inline std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    const std::vector<std::string> pieces = Split(text, from);
    std::string out = pieces.front();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        out.append(to).append(pieces[i]);
    }
    return out;
}

// From the fourth character on (UTF-8 lead bytes counted as characters).
inline std::string FromFourthCharacter(const std::string& text) {
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters == 4) {
            return text.substr(i);
        }
    }
    return {};
}

inline ParseOutcome Parse(std::string_view page) {
    ParseOutcome outcome;
    const std::size_t start = page.find("trcolor");
    if (start == std::string_view::npos) {
        outcome.failureCode = kPageMissing;
        return outcome;
    }
    const std::string_view cut = page.substr(start);
    const std::size_t end = cut.find("</table>");
    if (end == std::string_view::npos) {
        outcome.failureCode = kPageMissing;
        return outcome;
    }
    const std::string text = ReplaceAll(cut.substr(0, end), "&nbsp;", " ");
    outcome.tableCleared = true;
    const std::vector<std::string> rows = Split(text, "</tr>");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > static_cast<std::size_t>(kMaxTablePosition)) {
            outcome.failureCode = kPositionOverflow;
            return outcome;
        }
        const std::vector<std::string> cells = Split(rows[r], r == 0 ? "</th>" : "</td>");
        for (std::size_t c = 1; c + 1 < cells.size(); ++c) {
            if (c > static_cast<std::size_t>(kMaxTablePosition)) {
                outcome.failureCode = kPositionOverflow;
                return outcome;
            }
            const std::string& piece = cells[c];
            if (r == 0) {
                const std::size_t gt = piece.find('>');
                ForecastDay day;
                day[0] = ExpandDayName(gt == std::string::npos ? piece : piece.substr(gt + 1));
                outcome.rows.push_back(day);
                continue;
            }
            if (c > outcome.rows.size()) {
                outcome.failureCode = kDayRowMissing;
                return outcome;
            }
            if (r > 7) {
                outcome.failureCode = kColumnMissing;
                return outcome;
            }
            const std::size_t td = piece.find("<td>");
            outcome.rows[c - 1][r] =
                td == std::string::npos ? FromFourthCharacter(piece) : piece.substr(td + 4);
        }
        if (cells.size() - 1 > static_cast<std::size_t>(kMaxTablePosition)) {
            outcome.failureCode = kPositionOverflow;
            return outcome;
        }
    }
    return outcome;
}

}  // namespace zonbode::forecast::reference
