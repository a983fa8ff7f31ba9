#include "random/random.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

// A list of `count` entries that name nothing on disk.
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

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};  // the played-music log, if any, stays in there
    TestPlayer t;
};

// The classic rand() sequence from seed 1; a fraction is (a * b) % 100000 / 100000 and a draw
// takes the position floor(count * fraction), beyond 32767 too.
TEST(RandomDraw, DrawTakesThePositionOfTheFractionAndPlaysIt) {
    TestPlayer t;
    for (const int32_t expected : {16838, 5758, 10113, 17515, 31051, 5627}) {
        EXPECT_EQ(NextRandom15(t.player), expected);
    }
    t.player.random.randomSeed = 1;
    EXPECT_DOUBLE_EQ(RandomFraction(t.player), 0.53204);

    DrawBench bench(10);
    EXPECT_EQ(bench.Draw(), 5);
    EXPECT_EQ(bench.t.player.random.poolCount, 9);
    EXPECT_EQ(bench.t.window.StatusText(3), "\t6 / 10");
    EXPECT_EQ(bench.t.player.playback.piece.fileIndex, 1);  // the drawn entry was loaded
    EXPECT_EQ(bench.t.player.playback.piece.currentEntry, bench.t.list.Text(5));
    DrawBench big(33000, 109);  // 367 * 13079 % 100000 gives 0.99993
    EXPECT_EQ(big.Draw(), 32997);
    EXPECT_EQ(big.t.window.StatusText(3), "\t32998 / 33000");
}

TEST(RandomDraw, EachCycleDrawsEveryPositionOnce) {
    for (const int32_t count : {1, 2, 7, 40}) {
        DrawBench bench(count, 4242);
        for (int cycle = 0; cycle < 3; ++cycle) {
            std::set<int32_t> drawn;
            for (int32_t i = 0; i < count; ++i) {
                drawn.insert(bench.Draw());
            }
            EXPECT_EQ(bench.t.player.random.poolCount, count);  // refilled by the last draw
            EXPECT_EQ(static_cast<int32_t>(drawn.size()), count) << count << " cycle " << cycle;
            EXPECT_EQ(*drawn.begin(), 0);
        }
    }
}

// Positions drawn for another list (a root naming one file) start a cycle over the new list.
TEST(RandomDraw, ListReplacedWithoutRebuildStartsACycleOverTheNewList) {
    DrawBench bench(5, 9);
    bench.Draw();
    bench.t.list.Reset();
    const std::string file = bench.dir.AddFile("single.wav");
    bench.t.list.Add(file);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bench.Draw(), 0);
        EXPECT_EQ(bench.t.player.random.poolCount, 1);
    }
    EXPECT_EQ(bench.t.device.opened, std::vector<std::string>(3, file));

    bench.t.list.Reset();
    bench.Draw();
    EXPECT_EQ(bench.t.list.Selection(), -1);
    EXPECT_EQ(bench.t.player.random.poolCount, 0);
}

}  // namespace
}  // namespace tav::test
