#include "random/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

// A player whose list holds `count` entries that name nothing on disk: a draw selects its
// entry and the play that follows finds nothing to open.
struct DrawBench {
    explicit DrawBench(int32_t count, uint32_t seed = 1) {
        for (int32_t i = 0; i < count; ++i) {
            t.list.Add(dir.Path() + "entry" + std::to_string(100 + i));
        }
        RebuildPool(t.player);
        t.player.random.randomSeed = seed;
    }
    int32_t Draw() {
        PlayRandomEntry(t.player);
        return t.list.Selection();
    }
    std::vector<int32_t> Remaining() const {
        const std::vector<int32_t>& pool = t.player.random.shufflePool;
        return {pool.begin(), pool.begin() + t.player.random.poolCount};
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};  // the played-music log, if any, stays in there
    TestPlayer t;
};

TEST(RandomGenerator, SequenceAndFractionFromSeedOne) {
    TestPlayer t;
    for (const int32_t expected : {16838, 5758, 10113, 17515, 31051, 5627}) {
        EXPECT_EQ(NextRandom15(t.player), expected);
    }
    t.player.random.randomSeed = 1;
    EXPECT_DOUBLE_EQ(RandomFraction(t.player), 0.53204);
}

TEST(RandomGenerator, FractionsAreWholeStepsBelowOne) {
    TestPlayer t;
    t.player.random.randomSeed = 0xDEADBEEF;
    double largest = 0;
    for (int i = 0; i < 20000; ++i) {
        const double x = RandomFraction(t.player);
        const double steps = x * 100000;
        ASSERT_NEAR(steps, std::round(steps), 1e-6) << x;
        ASSERT_GE(x, 0.0);
        largest = std::max(largest, x);
    }
    EXPECT_LE(largest, 0.99999);
}

TEST(RandomDraw, FirstDrawOfTenTakesElementFive) {
    DrawBench bench(10);
    EXPECT_EQ(bench.Draw(), 5);
    EXPECT_EQ(bench.Remaining(), (std::vector<int32_t>{0, 1, 2, 3, 4, 6, 7, 8, 9}));
    EXPECT_EQ(bench.t.window.StatusText(3), "\t6 / 10");
    EXPECT_EQ(bench.t.player.playback.piece.fileIndex, 1);  // the drawn entry was loaded
    EXPECT_EQ(bench.t.player.playback.piece.currentEntry, bench.t.list.Text(5));
}

TEST(RandomDraw, EachCycleDrawsEveryPositionOnce) {
    for (const int32_t count : {1, 2, 7, 40}) {
        DrawBench bench(count, 4242);
        for (int cycle = 0; cycle < 3; ++cycle) {
            std::set<int32_t> drawn;
            for (int32_t i = 0; i < count; ++i) {
                drawn.insert(bench.Draw());
                // The draw that empties the cycle refills it at once.
                const int32_t left = count - 1 - i;
                EXPECT_EQ(bench.t.player.random.poolCount, left == 0 ? count : left);
            }
            EXPECT_EQ(static_cast<int32_t>(drawn.size()), count) << count << " cycle " << cycle;
            EXPECT_EQ(*drawn.begin(), 0);
            EXPECT_EQ(*drawn.rbegin(), count - 1);
        }
    }
}

TEST(RandomDraw, PoolShrinksAndRefillsThroughOneOneZero) {
    // Seed 6 gives fractions whose draws from 3, then 2 positions are 1 and 1.
    DrawBench bench(3, 6);
    EXPECT_EQ(bench.Draw(), 1);
    EXPECT_EQ(bench.Remaining(), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(bench.Draw(), 2);
    EXPECT_EQ(bench.Remaining(), (std::vector<int32_t>{0}));
    EXPECT_EQ(bench.Draw(), 0);
    EXPECT_EQ(bench.Remaining(), (std::vector<int32_t>{0, 1, 2}));
}

TEST(RandomDraw, EmptyPoolChangesNothing) {
    TempDir dir;
    TestPlayer t;
    t.list.Add(dir.AddFile("only.mp3"));
    t.list.Select(0);
    t.player.playback.piece = {"kept", 2, 3, 2};
    ASSERT_EQ(t.player.random.poolCount, 0);  // no folder scanned yet

    PlayRandomEntry(t.player);
    EXPECT_EQ(t.list.Selection(), 0);
    EXPECT_EQ(t.player.playback.piece.currentEntry, "kept");
    EXPECT_EQ(t.player.playback.piece.fileIndex, 2);
    EXPECT_TRUE(t.device.opened.empty());
    EXPECT_EQ(t.window.statusWrites, 0);
}

TEST(RandomDraw, ListReplacedWithoutRebuildStartsACycleOverTheNewList) {
    DrawBench bench(5, 9);
    bench.Draw();
    // The list now holds one file, as when the root names a single file; the pool does not
    // follow by itself.
    bench.t.list.Reset();
    const std::string file = bench.dir.AddFile("single.wav");
    bench.t.list.Add(file);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bench.Draw(), 0);
        EXPECT_EQ(bench.Remaining(), std::vector<int32_t>{0});
    }
    EXPECT_EQ(bench.t.device.opened, std::vector<std::string>(3, file));

    bench.t.list.Reset();
    bench.Draw();
    EXPECT_EQ(bench.t.list.Selection(), -1);
    EXPECT_EQ(bench.t.player.random.poolCount, 0);
    EXPECT_EQ(bench.t.device.opened.size(), 3U);
}

TEST(RandomPool, RebuildAndRelease) {
    DrawBench bench(4);
    const int32_t drawn = bench.Draw();
    RebuildPool(bench.t.player);
    EXPECT_EQ(bench.Remaining(), (std::vector<int32_t>{0, 1, 2, 3}));
    ReleasePool(bench.t.player);
    EXPECT_EQ(bench.t.player.random.poolCount, 0);
    EXPECT_TRUE(bench.t.player.random.shufflePool.empty());
    PlayRandomEntry(bench.t.player);
    EXPECT_EQ(bench.t.list.Selection(), drawn);
}

}  // namespace
}  // namespace tav::test
