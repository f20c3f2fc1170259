#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "forecast/ForecastPage.h"
#include "text/AnsiCodePage.h"

namespace zonbode::forecast {
namespace {

using ::testing::Test;

// A whole response as it reaches the parser: status line, headers, then the page.
std::string Response(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\n"
           "Connection: close\r\n\r\n<html><body>" +
           body + "</body></html>";
}

ParseOutcome ParseBody(const std::string& body) {
    return ParseForecastPage(Response(body));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExpectPageMissing(const ParseOutcome& outcome) {
    EXPECT_EQ(outcome.failureCode, kPageMissing);
    EXPECT_FALSE(outcome.tableCleared);
    EXPECT_TRUE(outcome.rows.empty());
}

// --- Table markers ------------------------------------------------------------------------

TEST(ParserMarkers, EmptyBufferMeansThePageIsMissing) {
    ExpectPageMissing(ParseForecastPage(""));
}

TEST(ParserMarkers, HeadersWithoutTableMeanThePageIsMissing) {
    ExpectPageMissing(ParseForecastPage("HTTP/1.1 404 Not Found\r\n\r\n<h1>Not found</h1>"));
}

TEST(ParserMarkers, TableStartWithoutTableEndMeansThePageIsMissing) {
    ExpectPageMissing(ParseBody("<table><tr class=\"trcolor\"><th></th><th>ma</th></tr>"));
}

TEST(ParserMarkers, TableEndBeforeTheTableStartDoesNotCount) {
    ExpectPageMissing(
        ParseBody("<table><tr><td>menu</td></tr></table><tr class=\"trcolor\">"
                  "<th></th><th>ma</th></tr>"));
}

TEST(ParserMarkers, MarkersAreCaseSensitive) {
    ExpectPageMissing(ParseBody("<tr class=\"TRCOLOR\"><th></th><th>ma</th></tr></table>"));
    ExpectPageMissing(ParseBody("<tr class=\"trcolor\"><th></th><th>ma</th></tr></TABLE>"));

    // "</TR>" does not end the header row, so the value row never becomes row 1.
    const ParseOutcome outcome = ParseBody(
        "<tr class=\"trcolor\"><th></th><th>ma</th></TR><tr><td>x</td><td>40</td>"
        "</tr></table>");
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.rows.size(), 1u);
    EXPECT_EQ(outcome.rows[0][0], "Maandag");
    EXPECT_EQ(outcome.rows[0][1], "");
}

TEST(ParserMarkers, OnlyTheFirstTableStartCounts) {
    // An unrelated "trcolor" earlier on the page starts the cut there; the menu table's end
    // then ends the forecast table before any day.
    const ParseOutcome outcome = ParseBody(
        "<p class=\"trcolor\">kleuren</p><table><tr><td>menu</td></tr></table>"
        "<table><tr class=\"trcolor\"><th></th><th>ma</th></tr></table>");
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome.tableCleared);
    EXPECT_TRUE(outcome.rows.empty());
}

TEST(ParserMarkers, TableWithoutDaysIsASuccessfulEmptyUpdate) {
    const ParseOutcome outcome = ParseForecastPage("trcolor</table>");
    EXPECT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome.tableCleared);
    EXPECT_TRUE(outcome.rows.empty());
}

// --- Days and values ----------------------------------------------------------------------

TEST(ParserTable, ReadsThePageTableTransposed) {
    const ParseOutcome outcome = ParseBody(
        "<table><tr class=\"trcolor\"><th>&nbsp;</th><th>ma</th><th>di</th></tr>"
        "<tr><td>Zon</td><td>40</td><td>25</td></tr></table>");
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.rows[0], (ForecastDay{"Maandag", "40", "", "", "", "", "", ""}));
    EXPECT_EQ(outcome.rows[1], (ForecastDay{"Dinsdag", "25", "", "", "", "", "", ""}));
}

TEST(ParserTable, DayHeadingsInAnyCaseExpandAndOtherHeadingsGiveAnEmptyName) {
    const ParseOutcome outcome = ParseForecastPage(
        "trcolor><th></th><th>MA</th><th class=\"x\">Di</th><th>ma 7 dec</th><th><b>wo</b>"
        "</th>zo</th><th>vrijdag</th></tr></table>");
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.rows.size(), 6u);
    EXPECT_EQ(outcome.rows[0][0], "Maandag");
    EXPECT_EQ(outcome.rows[1][0], "Dinsdag");
    EXPECT_EQ(outcome.rows[2][0], "");
    EXPECT_EQ(outcome.rows[3][0], "");        // text after the first ">" is "<b>wo</b>"
    EXPECT_EQ(outcome.rows[4][0], "Zondag");  // no ">" at all: the whole piece
    EXPECT_EQ(outcome.rows[5][0], "");
}

TEST(ParserTable, ValueIsTheTextAfterThePlainCellTag) {
    const ParseOutcome outcome = ParseForecastPage(
        "trcolor<th></th><th>ma</th><th>di</th><th>wo</th></tr>"
        "<tr><td>label</td><td>40</td><td><b>12</b> &amp; meer</td>"
        "<td>x<td>y</td></tr></table>");
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.rows.size(), 3u);
    EXPECT_EQ(outcome.rows[0][1], "40");
    EXPECT_EQ(outcome.rows[1][1], "<b>12</b> &amp; meer");  // inner markup and entities stay
    EXPECT_EQ(outcome.rows[2][1], "x<td>y");                // after the first "<td>" only
}

TEST(ParserTable, CellTagWithAttributesLosesOnlyItsFirstThreeCharacters) {
    const ParseOutcome outcome = ParseForecastPage(
        "trcolor<th></th><th>ma</th><th>di</th><th>wo</th><th>do</th><th>vr</th></tr>"
        "<tr><td>l</td><td class=\"hoog\">65</td>abc</td>abcd</td>ab</td></td></tr></table>");
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.rows.size(), 5u);
    EXPECT_EQ(outcome.rows[0][1], " class=\"hoog\">65");
    EXPECT_EQ(outcome.rows[1][1], "");
    EXPECT_EQ(outcome.rows[2][1], "d");
    EXPECT_EQ(outcome.rows[3][1], "");
    EXPECT_EQ(outcome.rows[4][1], "");
}

TEST(ParserTable, NbspBecomesASpaceBeforeCharactersAreCounted) {
    const ParseOutcome outcome = ParseForecastPage(
        "trcolor<th></th><th>ma</th><th>di</th></tr>"
        "<tr><td>l</td><td>1&nbsp;-&nbsp;3</td>&nbsp;xyzW</td></tr></table>");
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.rows[0][1], "1 - 3");
    EXPECT_EQ(outcome.rows[1][1], "zW");  // " xyzW" without three characters
}

TEST(ParserTable, NonAsciiCharactersCountAsOneCharacterEach) {
    // Bytes of the page cross into text one character per byte: 0xB0 is the degree sign,
    // two bytes in UTF-8, still one character.
    const std::string page = text::BytesToText(
        "trcolor<th></th><th>ma</th><th>di</th><th>wo</th></tr>"
        "<tr><td>l</td>\xB0\xB0\xB0"
        "5</td><td>12\xB0</td>\xE9\x80|\x80</td></tr></table>");
    const ParseOutcome outcome = ParseForecastPage(page);
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.rows.size(), 3u);
    EXPECT_EQ(outcome.rows[0][1], "5");
    EXPECT_EQ(outcome.rows[1][1], "12\xC2\xB0");
    EXPECT_EQ(outcome.rows[2][1], "\xE2\x82\xAC");  // the euro sign of byte 0x80
}

TEST(ParserTable, EachValueRowFillsItsOwnColumnAndShortRowsLeaveTheRestEmpty) {
    std::string table = "trcolor<th></th><th>ma</th><th>di</th></tr>";
    for (int r = 1; r <= 7; ++r) {
        table += "<tr><td>label</td><td>" + std::to_string(r) + "a</td>";
        if (r != 4) {
            table += "<td>" + std::to_string(r) + "b</td>";
        }
        table += "</tr>";
    }
    const ParseOutcome outcome = ParseForecastPage(table + "</table>");
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.rows[0], (ForecastDay{"Maandag", "1a", "2a", "3a", "4a", "5a", "6a", "7a"}));
    EXPECT_EQ(outcome.rows[1], (ForecastDay{"Dinsdag", "1b", "2b", "3b", "", "5b", "6b", "7b"}));
}

TEST(ParserTable, ThePieceAfterTheLastRowEndIsAValueRow) {
    const ParseOutcome filled = ParseForecastPage(
        "trcolor<th></th><th>ma</th></tr><tr><td>l</td><td>40</td></tr><td>l</td><td>70</td>"
        "</table>");
    ASSERT_TRUE(filled.ok());
    EXPECT_EQ(filled.rows[0][2], "70");

    const ParseOutcome untouched = ParseForecastPage(
        "trcolor<th></th><th>ma</th></tr><tr><td>l</td><td>40</td></tr><td>70\n</table>");
    ASSERT_TRUE(untouched.ok());
    EXPECT_EQ(untouched.rows[0], (ForecastDay{"Maandag", "40", "", "", "", "", "", ""}));
}

// --- Failures after the table was emptied -------------------------------------------------

TEST(ParserFailures, MoreValuesThanDaysFailAndKeepTheRowsMadeSoFar) {
    const ParseOutcome outcome = ParseForecastPage(
        "trcolor<th></th><th>ma</th><th>di</th></tr>"
        "<tr><td>l</td><td>40</td><td>25</td><td>10</td></tr></table>");
    EXPECT_EQ(outcome.failureCode, kDayRowMissing);
    EXPECT_NE(outcome.failureCode, kPageMissing);
    EXPECT_TRUE(outcome.tableCleared);
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.rows[0][1], "40");
    EXPECT_EQ(outcome.rows[1][1], "25");
}

TEST(ParserFailures, AnEighthValueRowFailsButEmptyExtraRowsAreHarmless) {
    std::string table = "trcolor<th></th><th>ma</th></tr>";
    for (int r = 1; r <= 7; ++r) {
        table += "<tr><td>l</td><td>" + std::to_string(r) + "</td></tr>";
    }
    const std::string harmless = table + "<tr><td>leeg</td></tr><tr></tr>\n";
    const ParseOutcome ok = ParseForecastPage(harmless + "</table>");
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok.rows[0], (ForecastDay{"Maandag", "1", "2", "3", "4", "5", "6", "7"}));

    const ParseOutcome failed =
        ParseForecastPage(harmless + "<tr><td>l</td><td>8</td></tr></table>");
    EXPECT_EQ(failed.failureCode, kColumnMissing);
    EXPECT_TRUE(failed.tableCleared);
    ASSERT_EQ(failed.rows.size(), 1u);
    EXPECT_EQ(failed.rows[0][7], "7");
}

TEST(ParserFailures, AMissingTableEndOutranksALaterFailure) {
    ExpectPageMissing(ParseForecastPage(
        "trcolor<th></th><th>ma</th></tr><tr><td>l</td><td>40</td><td>25</td></tr>"));
}

TEST(ParserFailures, PositionsBeyond32767Overflow) {
    auto header = [](int separators) {
        std::string table = "trcolor";
        for (int i = 0; i < separators; ++i) {
            table += "<th>ma</th>";
        }
        return table + "</table>";
    };
    // 32767 separators: pieces 0..32767, of which 1..32766 are days.
    const ParseOutcome widest = ParseForecastPage(header(32767));
    ASSERT_TRUE(widest.ok());
    EXPECT_EQ(widest.rows.size(), 32766u);
    EXPECT_EQ(widest.rows.back()[0], "Maandag");

    const ParseOutcome tooWide = ParseForecastPage(header(32768));
    EXPECT_EQ(tooWide.failureCode, kPositionOverflow);
    EXPECT_NE(tooWide.failureCode, kPageMissing);
    EXPECT_TRUE(tooWide.tableCleared);

    auto rows = [](int separators) {
        std::string table = "trcolor<th></th><th>ma</th>";
        for (int i = 0; i < separators; ++i) {
            table += "</tr>";
        }
        return table + "</table>";
    };
    EXPECT_TRUE(ParseForecastPage(rows(32767)).ok());
    const ParseOutcome tooLong = ParseForecastPage(rows(32768));
    EXPECT_EQ(tooLong.failureCode, kPositionOverflow);
    ASSERT_EQ(tooLong.rows.size(), 1u);  // the header was read before the overflow
}

// --- The bundled sample page --------------------------------------------------------------

TEST(SamplePage, ParsesIntoSevenDays) {
    const std::string body = ReadFile(std::string(ZONBODE_DATA_DIR) + "/forecast-page.html");
    ASSERT_FALSE(body.empty());
    const std::string response =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    const ParseOutcome outcome = ParseForecastPage(text::BytesToText(response));
    ASSERT_TRUE(outcome.ok()) << outcome.failureCode;
    const std::string deg = "\xC2\xB0";
    const std::vector<ForecastDay> expected = {
        {"Maandag", "40", "30", "0", "3" + deg, "9" + deg, "ZW", "3"},
        {"Dinsdag", "25", "70", "1 - 3", "5" + deg, "11" + deg, "W", "5"},
        {"Woensdag", "10", "90", "4 - 8", "7" + deg, "12" + deg, "ZW", "6"},
        {"Donderdag", "35", "60", "1", "6" + deg, "10" + deg, "NW", "4"},
        {"Vrijdag", "60", "20", "0", "2" + deg, "8" + deg, "N", "3"},
        {"Zaterdag", "70", "10", "0", "-1" + deg, "6" + deg, "NO", "2"},
        {"Zondag", "45", "40", "0 - 2", "1" + deg, "7" + deg, "O", "3"},
    };
    EXPECT_EQ(outcome.rows, expected);
}

}  // namespace
}  // namespace zonbode::forecast
