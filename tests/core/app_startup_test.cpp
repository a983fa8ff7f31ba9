#include <gtest/gtest.h>

#include "catalogue/path.h"
#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav::test {
namespace {

class StartupTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    TestPlayer t;
};

TEST_F(StartupTest, WithoutSettingsShowsEveryStartText) {
    t.Create();
    EXPECT_EQ(t.window.title, "Tavrello  Ver.1.06");
    EXPECT_TRUE(t.window.statusBarCreated);
    EXPECT_EQ(t.window.StatusText(0), "");
    EXPECT_EQ(t.window.StatusText(1), "\t0:00:00 / 0:00:00");
    EXPECT_EQ(t.window.StatusText(2), "\t0 / 0");
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 0");
    EXPECT_EQ(t.window.comboItems, (std::vector<std::string>{"フォルダ単位", "ファイル単位"}));
    EXPECT_EQ(t.window.comboSelection, 0);
    EXPECT_EQ(t.window.ControlText(TargetLabel), "MP3+WAV");
    EXPECT_EQ(t.window.ControlText(FolderEdit), "");
    EXPECT_EQ(t.window.ControlText(ExclusionEdit), "");
    EXPECT_TRUE(t.window.IsControlEnabled(ExclusionEdit));
    EXPECT_EQ(t.player.options.playTarget, 3);
    EXPECT_EQ(t.player.options.exclusionText, "");
    EXPECT_EQ(t.list.Count(), 0);
    EXPECT_EQ(t.player.random.poolCount, 0);
}

TEST_F(StartupTest, SeedsTheGeneratorFromTheTickCount) {
    t.clock.ticks = 123456789;
    t.Create();
    EXPECT_EQ(t.player.random.randomSeed, 123456789U);
}

TEST_F(StartupTest, BalancesTheVolumeAndShowsItOnTheBar) {
    struct Case {
        std::optional<uint32_t> read;
        uint32_t average;
        int bar;
    };
    const Case cases[] = {
        {60000U | (40000U << 16), 50000, 762},
        {std::nullopt, 0, 0},  // a failed read counts as silence
        {65535U | (65535U << 16), 65535, 1000},
        {32768U | (32768U << 16), 32768, 500},
        {32767U | (32767U << 16), 32767, 499},
        {66U | (66U << 16), 66, 1},
        {65U | (65U << 16), 65, 0},
        {1U, 0, 0},  // floor((1 + 0) / 2)
    };
    for (const Case& c : cases) {
        TestPlayer fresh;
        fresh.volume.readValue = c.read;
        fresh.Create();
        ASSERT_FALSE(fresh.volume.written.empty());
        EXPECT_EQ(fresh.volume.written.front(), c.average | (c.average << 16));
        EXPECT_EQ(fresh.window.TrackbarPosition(VolumeBar), c.bar);
        EXPECT_EQ(fresh.window.controls[VolumeBar].rangeMax, 1000);
    }
}

TEST_F(StartupTest, ListPositionCountsFromOne) {
    t.Create();
    ShowListPosition(t.player);
    EXPECT_EQ(t.window.StatusText(3), "\t1 / 0");
    for (const char* entry : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}) {
        t.list.Add(entry);
    }
    ShowListPosition(t.player);
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 12");
    t.list.Select(4);
    ShowListPosition(t.player);
    EXPECT_EQ(t.window.StatusText(3), "\t5 / 12");
}

TEST_F(StartupTest, ShutdownClosesAnOpenDeviceAndQuitsWithZero) {
    t.Create();
    const std::string song = dir.AddFile("song.wav");
    uint32_t id = 0;
    ASSERT_EQ(t.device.Open(song, id), 0U);
    t.player.playback.deviceId = id;
    EXPECT_EQ(t.Send(WM_CLOSE_), 0);
    EXPECT_TRUE(t.window.destroyed);
    EXPECT_FALSE(t.window.quitCode.has_value());
    EXPECT_EQ(t.Send(WM_DESTROY_), 0);
    EXPECT_EQ(t.window.quitCode, 0);
    EXPECT_EQ(t.device.closed, std::vector<uint32_t>{id});
    EXPECT_EQ(t.player.playback.deviceId, 0U);
}

}  // namespace
}  // namespace tav::test
