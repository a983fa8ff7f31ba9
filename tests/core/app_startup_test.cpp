#include <gtest/gtest.h>

#include "core/playback_fixture.h"

namespace tav::test {
namespace {

using StartupTest = PlaybackTest;

TEST_F(StartupTest, WithoutSettingsShowsEveryStartText) {
    EXPECT_EQ(t.window.title, "Tavrello  Ver.1.06");
    EXPECT_EQ(
        t.window.statusTexts,
        (std::map<int, std::string>{{1, "\t0:00:00 / 0:00:00"}, {2, "\t0 / 0"}, {3, "\t0 / 0"}}));
    EXPECT_EQ(t.window.comboItems, (std::vector<std::string>{"フォルダ単位", "ファイル単位"}));
    EXPECT_EQ(t.window.comboSelection, 0);
    EXPECT_EQ(t.window.ControlText(TargetLabel), "MP3+WAV");
    EXPECT_TRUE(t.window.IsControlEnabled(ExclusionEdit));

    TestPlayer seeded;  // the random order starts from the tick count
    seeded.clock.ticks = 123456789;
    seeded.Create();
    EXPECT_EQ(seeded.player.random.randomSeed, 123456789U);
}

TEST_F(StartupTest, VolumeStartsBalancedAndFollowsTheBar) {
    // A failed read counts as silence; (1 + 0) / 2 rounds down.
    const std::tuple<std::optional<uint32_t>, uint32_t, int> cases[] = {
        {60000U | (40000U << 16), 50000, 762},
        {std::nullopt, 0, 0},
        {65535U | (65535U << 16), 65535, 1000},
        {1U, 0, 0}};
    for (const auto& [read, average, bar] : cases) {
        TestPlayer fresh;
        fresh.volume.readValue = read;
        fresh.Create();
        EXPECT_EQ(fresh.volume.written, std::vector<uint32_t>{average | (average << 16)});
        EXPECT_EQ(fresh.window.TrackbarPosition(VolumeBar), bar);
    }
    // Drawing the bar sets both channels to its level.
    for (const auto& [bar, level] : {std::pair{1, 65U}, {999, 65469U}, {1000, 65535U}}) {
        t.window.SetTrackbarPosition(VolumeBar, bar, true);
        NotifyHeader header{nullptr, VolumeBar, static_cast<uint32_t>(NM_CUSTOMDRAW_)};
        t.Send(WM_NOTIFY_, VolumeBar, reinterpret_cast<intptr_t>(&header));
        EXPECT_EQ(t.volume.written.back(), level | (level << 16)) << bar;
        EXPECT_EQ(t.window.controls[VolumeBar].rangeMin, 0);
    }
}

// Closing destroys the window; its destruction saves the settings, closes the playing device
// and quits. Every message handled returns 0, others go to the default procedure.
TEST_F(StartupTest, CloseSavesTheSettingsClosesTheDeviceAndQuits) {
    Add("A", "1.mp3");
    ChooseCollection();
    Click(PlayButton);
    const uint32_t playing = t.player.playback.deviceId;
    for (const uint32_t id :
         {WM_SIZE_, WM_TIMER_, WM_HSCROLL_, WM_COMMAND_, MM_MCINOTIFY_, WM_CLOSE_}) {
        EXPECT_EQ(t.Send(id), 0) << id;
    }
    EXPECT_FALSE(t.Send(0x000F /* WM_PAINT */).has_value()) << "for the default procedure";
    EXPECT_TRUE(t.window.destroyed);
    EXPECT_FALSE(t.window.quitCode.has_value());
    EXPECT_TRUE(t.device.closed.empty());
    EXPECT_EQ(t.Send(WM_DESTROY_), 0);
    EXPECT_EQ(t.window.quitCode, 0);
    EXPECT_EQ(t.device.closed, std::vector<uint32_t>{playing});
    EXPECT_EQ(ReadBack(t.player.settingsFile).value_or("").rfind(Music(), 0), 0U);
}

// A session that ends sends no WM_CLOSE: the query (answered TRUE) saves the settings, its end
// closes as WM_CLOSE does; an end called off leaves the window open.
TEST_F(StartupTest, SessionEndSavesTheSettingsAndCloses) {
    ChooseCollection();
    ASSERT_FALSE(ReadBack(t.player.settingsFile).has_value());
    EXPECT_EQ(t.Send(0x0011 /* WM_QUERYENDSESSION */), 1);
    EXPECT_EQ(ReadBack(t.player.settingsFile).value_or("").rfind(Music(), 0), 0U);
    EXPECT_EQ(t.Send(0x0016 /* WM_ENDSESSION */, 0), 0);
    EXPECT_FALSE(t.window.destroyed);
    EXPECT_EQ(t.Send(0x0016 /* WM_ENDSESSION */, 1), 0);
    EXPECT_TRUE(t.window.destroyed);
}

}  // namespace
}  // namespace tav::test
