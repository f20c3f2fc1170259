#include <array>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "status/StatusMessage.h"

namespace zonbode::status {
namespace {

using Fields = std::array<std::string, 8>;

const Fields kWoensdag = {"Woensdag", "40", "70", "3", "8", "12", "ZW", "4"};

TEST(ComposeStatus, DefaultTemplateLeavesOutTheMinimumTemperature) {
    EXPECT_EQ(ComposeStatus(kDefaultTemplate, kWoensdag),
              "Woensdag | Kans op zon: 40% | Neerslag: 3mm / 70% | Temp: 12 | Wind: ZW4");
}

TEST(ComposeStatus, EveryPlaceholderTakesItsOwnColumn) {
    EXPECT_EQ(ComposeStatus("[dag]/[zon]/[neerslag-%]/[neerslag-mm]/[mintemp]/[midtemp]/"
                            "[richting]/[kracht]",
                            {"a", "b", "c", "d", "e", "f", "g", "h"}),
              "a/b/c/d/e/f/g/h");
}

TEST(ComposeStatus, ReplacesEveryExactOccurrenceOnly) {
    EXPECT_EQ(ComposeStatus("[dag] en [dag]", kWoensdag), "Woensdag en Woensdag");
    EXPECT_EQ(ComposeStatus("[Dag]", kWoensdag), "[Dag]");
    EXPECT_EQ(ComposeStatus("[DAG] [ dag ] [dag", kWoensdag), "[DAG] [ dag ] [dag");
    EXPECT_EQ(ComposeStatus("[[dag]]", kWoensdag), "[Woensdag]");
    EXPECT_EQ(ComposeStatus("Geen velden", kWoensdag), "Geen velden");
    EXPECT_EQ(ComposeStatus("", kWoensdag), "");
}

TEST(ComposeStatus, EmptyFieldRemovesThePlaceholder) {
    EXPECT_EQ(ComposeStatus("<[mintemp]>", {"Maandag", "", "", "", "", "", "", ""}), "<>");
}

TEST(ComposeStatus, InsertedTextIsNotRescannedBySameReplacement) {
    // A field holding its own placeholder stays as inserted (and nothing loops).
    Fields fields = kWoensdag;
    fields[0] = "[dag][dag]";
    EXPECT_EQ(ComposeStatus("[dag]!", fields), "[dag][dag]!");

    // A value ending in "[" next to template text "dag]" does not form a new placeholder.
    fields[0] = "x[";
    EXPECT_EQ(ComposeStatus("[dag]dag]", fields), "x[dag]");
}

TEST(ComposeStatus, LaterReplacementsSeeInsertedText) {
    Fields fields = kWoensdag;
    fields[1] = "[kracht]";
    EXPECT_EQ(ComposeStatus("[zon]", fields), "4");

    // An earlier placeholder inside a later value has already had its turn.
    fields[1] = "[dag]";
    EXPECT_EQ(ComposeStatus("[zon]", fields), "[dag]");
}

TEST(ComposeStatus, NonAsciiValuesPassThrough) {
    Fields fields = kWoensdag;
    fields[5] = "12\xC2\xB0";
    EXPECT_EQ(ComposeStatus("Temp: [midtemp]C", fields),
              "Temp: 12\xC2\xB0"
              "C");
}

// A table of `rows` rows whose cells name their position, recording every lookup.
struct TableCells {
    std::vector<std::pair<int, int>> lookups;
    std::string operator()(int row, int column) {
        lookups.emplace_back(row, column);
        return std::to_string(row) + ":" + std::to_string(column);
    }
};

TEST(ComposeDayStatus, FewerThanFiveRowsDoNothing) {
    TableCells cells;
    std::string text = "vorige";
    EXPECT_EQ(ComposeDayStatus("[dag]", 4, 1, std::ref(cells), text), DayStatusResult::TooFewRows);
    EXPECT_EQ(ComposeDayStatus("[dag]", 0, 1, std::ref(cells), text), DayStatusResult::TooFewRows);
    EXPECT_EQ(text, "vorige");
    EXPECT_TRUE(cells.lookups.empty());
}

TEST(ComposeDayStatus, DayOutsideTheRowsFailsWithoutChangingAnything) {
    TableCells cells;
    std::string text = "vorige";
    for (std::int16_t day : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{8}, std::int16_t{9},
                             std::int16_t{32767}, std::int16_t{-32768}}) {
        EXPECT_EQ(ComposeDayStatus("[dag]", 7, day, std::ref(cells), text),
                  DayStatusResult::DayOutOfRange)
            << day;
    }
    EXPECT_EQ(text, "vorige");
    EXPECT_TRUE(cells.lookups.empty());
}

TEST(ComposeDayStatus, ComposesTheChosenRow) {
    TableCells cells;
    std::string text;
    EXPECT_EQ(ComposeDayStatus("[dag] [kracht]", 5, 5, std::ref(cells), text),
              DayStatusResult::Composed);
    EXPECT_EQ(text, "5:0 5:7");
    ASSERT_EQ(cells.lookups.size(), 8u);
    for (int column = 0; column < 8; ++column) {
        EXPECT_EQ(cells.lookups[column], std::make_pair(5, column));
    }

    EXPECT_EQ(ComposeDayStatus("[zon]", 7, 1, std::ref(cells), text), DayStatusResult::Composed);
    EXPECT_EQ(text, "1:1");
}

}  // namespace
}  // namespace zonbode::status
