#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "status/StatusMessage.h"

namespace zonbode::status {
namespace {

std::vector<int> Ticks(std::int16_t start, int rowCount, int ticks) {
    std::vector<int> days;
    std::int16_t day = start;
    for (int i = 0; i < ticks; ++i) {
        day = NextDay(day, rowCount);
        days.push_back(day);
    }
    return days;
}

TEST(NextDay, CyclesThroughTheRowsFromTheStart) {
    EXPECT_EQ(Ticks(0, 7, 9), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 1, 2}));
    EXPECT_EQ(Ticks(0, 4, 6), (std::vector<int>{1, 2, 3, 4, 1, 2}));
    EXPECT_EQ(Ticks(5, 7, 3), (std::vector<int>{6, 7, 1}));
}

TEST(NextDay, BeyondTheLastRowStartsAgainAtTheFirst) {
    // A refresh left fewer rows than the day composed last.
    EXPECT_EQ(NextDay(7, 5), 1);
    EXPECT_EQ(NextDay(6, 5), 1);
    EXPECT_EQ(NextDay(5, 5), 1);
}

TEST(NextDay, AnEmptyTableKeepsTheDayAtOne) {
    EXPECT_EQ(Ticks(0, 0, 4), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(NextDay(300, 0), 1);
}

TEST(NextDay, NeverOverflows) {
    EXPECT_EQ(NextDay(32767, 7), 1);
    // A row count beyond the 16-bit range cannot push the day past it either.
    EXPECT_EQ(NextDay(32767, 40000), 1);
    EXPECT_EQ(NextDay(32766, 40000), 32767);
    EXPECT_EQ(NextDay(-32768, 7), -32767);
    EXPECT_EQ(NextDay(-1, 7), 0);
}

}  // namespace
}  // namespace zonbode::status
