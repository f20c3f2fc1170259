#include <array>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "forecast/ForecastPage.h"
#include "forecast/ReferenceParser.h"
#include "text/AnsiCodePage.h"

namespace zonbode::forecast {
namespace {

// Pages made of markers, near-misses and non-ASCII text, so that every rule meets every other.
constexpr std::array<std::string_view, 24> kTokens = {
    "trcolor", "</table>", "</tr>", "</th>",  "</td>", "<td>", "<td class=\"x\">",
    "<th>",    ">",        "<",     "&nbsp;", "&nb",   "sp;",  "ma",
    "Di",      "ZO",       "40",    "\xB0",   "\x80",  "a",    " ",
    "</TD>",   "\r\n",     "</t",
};

std::string RandomPage(std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, 80);
    std::uniform_int_distribution<std::size_t> token(0, kTokens.size() - 1);
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
        bytes += kTokens[token(random)];
    }
    return text::BytesToText(bytes);
}

TEST(ParserReferenceModel, AgreesWithTheSplitByStepParserOnRandomPages) {
    std::mt19937 random(20261207);
    int filledTables = 0;
    int missingPages = 0;
    int otherFailures = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string page = RandomPage(random);
        const ParseOutcome fast = ParseForecastPage(page);
        const ParseOutcome slow = reference::Parse(page);
        ASSERT_EQ(fast.failureCode, slow.failureCode) << page;
        ASSERT_EQ(fast.tableCleared, slow.tableCleared) << page;
        ASSERT_EQ(fast.rows, slow.rows) << page;
        if (fast.ok()) {
            filledTables += fast.rows.empty() ? 0 : 1;
        } else {
            (fast.failureCode == kPageMissing ? missingPages : otherFailures)++;
        }
    }
    // The generator must reach every outcome often, or the comparison proves little.
    EXPECT_GT(filledTables, 300);
    EXPECT_GT(missingPages, 300);
    EXPECT_GT(otherFailures, 300);
}

}  // namespace
}  // namespace zonbode::forecast
