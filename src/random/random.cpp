#include "random/random.h"

#include <algorithm>
#include <cmath>

#include "playback/device.h"
#include "player/display.h"

namespace tav {
namespace {

void FillPool(RandomState& random, int32_t count) {
    random.poolCount = count;
    for (int32_t i = 0; i < count; ++i) {
        random.shufflePool[static_cast<std::size_t>(i)] = i;
    }
}

}  // namespace

int32_t NextRandom15(Player& player) {
    uint32_t& seed = player.random.randomSeed;
    seed = seed * 1103515245U + 12345U;  // unsigned arithmetic wraps modulo 2^32
    return static_cast<int32_t>((seed / 65536U) % 32768U);
}

double RandomFraction(Player& player) {
    const int32_t a = NextRandom15(player);
    const int32_t b = NextRandom15(player);
    return static_cast<double>((a * b) % 100000) / 100000.0;
}

void PlayRandomEntry(Player& player) {
    RandomState& random = player.random;
    if (random.poolCount <= 0) {
        return;
    }
    // Positions drawn for another list (one replaced without a rescan, as when the root names a
    // single file) would select nothing or the wrong entry: a new cycle over the list as it is.
    if (static_cast<int32_t>(random.shufflePool.size()) != player.trackList().Count()) {
        RebuildPool(player);
        if (random.poolCount == 0) {
            return;
        }
    }
    const double x = RandomFraction(player);
    const auto r = static_cast<std::ptrdiff_t>(std::floor(random.poolCount * x));
    std::vector<int32_t>& pool = random.shufflePool;
    player.trackList().Select(pool[static_cast<std::size_t>(r)]);
    std::copy(pool.begin() + r + 1, pool.begin() + random.poolCount, pool.begin() + r);
    --random.poolCount;
    if (random.poolCount == 0) {
        FillPool(random, static_cast<int32_t>(pool.size()));
    }
    ShowListPosition(player);
    player.playback.piece.fileCount = 0;
    player.playback.piece.fileIndex = 0;
    PlayCurrentEntry(player);
}

void RebuildPool(Player& player) {
    RandomState& random = player.random;
    const int32_t count = player.trackList().Count();
    random.shufflePool.assign(static_cast<std::size_t>(count), 0);
    FillPool(random, count);
}

void SeedRandom(Player& player) {
    player.random.randomSeed = player.clock().TickCount();
}

void ReleasePool(Player& player) {
    player.random.shufflePool = {};
    player.random.poolCount = 0;
}

}  // namespace tav
