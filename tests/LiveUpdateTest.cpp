// Live updates give the lines of a computation from scratch, bit for bit:
// random appends, ticks, edits, window moves and parameter changes on panes
// of every family (LiveUpdateDriver.h).

#include "LiveUpdateDriver.h"

#include <gtest/gtest.h>

#include <random>

TEST(LiveUpdate, EveryStepMatchesAFreshPane)
{
    for (unsigned seed : {1u, 3u, 42u, 2024u}) {
        std::mt19937 rng(seed);
        liveupdate::Driver driver([&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        });
        EXPECT_EQ(driver.run(60).toStdString(), "") << "seed " << seed;
    }
}
