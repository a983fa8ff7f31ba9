#include "playback/position.h"

#include <gtest/gtest.h>

#include "core/playback_fixture.h"

namespace tav::test {
namespace {

constexpr uint16_t kThumbTrack = 5;  // TB_THUMBTRACK: a mouse drag
constexpr uint16_t kLineDown = 1;    // TB_LINEDOWN: an arrow key

TEST(TimePairText, HoursMinutesSeconds) {
    const struct {
        uint32_t first;
        uint32_t second;
        const char* text;
    } cases[] = {
        {0, 0, "\t0:00:00 / 0:00:00"},
        {83456, 3725000, "\t0:01:23 / 1:02:05"},
        {65000, 250000, "\t0:01:05 / 0:04:10"},
        {59999, 3599999, "\t0:00:59 / 0:59:59"},
        {360000000, 4294967295U, "\t100:00:00 / 1193:02:47"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimePairText(c.first, c.second), c.text);
    }
}

class PositionTest : public PlaybackTest {
protected:
    // One file of the given length, playing, and its successor.
    void PlayOne(uint32_t lengthMs) {
        file = Add("A", "1.mp3", lengthMs);
        next = Add("A", "2.mp3", 60000);
        ChooseCollection();
        Click(PlayButton);
        ASSERT_EQ(Playing(), file);
        t.Send(WM_TIMER_, kDisplayTimerId);  // the first tick sets the bar's scale
    }
    void MoveTo(uint32_t positionMs) {
        t.device.devices.at(t.player.playback.deviceId).position = positionMs;
        t.Send(WM_TIMER_, kDisplayTimerId);
    }
    void Scroll(int bar, uint16_t code, int position) {
        t.window.SetTrackbarPosition(bar, position, true);
        t.Send(WM_HSCROLL_, MakeParam(code, static_cast<uint16_t>(position)), bar);
    }
    void Release() {
        NotifyHeader header{nullptr, PositionBar, static_cast<uint32_t>(NM_RELEASEDCAPTURE_)};
        t.Send(WM_NOTIFY_, PositionBar, reinterpret_cast<intptr_t>(&header));
    }
    int Bar() const { return t.window.TrackbarPosition(PositionBar); }
    uint32_t DevicePosition() { return t.device.devices.at(t.player.playback.deviceId).position; }

    std::string file;
    std::string next;
};

TEST_F(PositionTest, TimerShowsPositionAndLength) {
    const struct {
        uint32_t length;
        uint32_t position;
        const char* text;
        int bar;
    } cases[] = {
        {250000, 65000, "\t0:01:05 / 0:04:10", 260},
        {3000000, 2400000, "\t0:40:00 / 0:50:00", 800},  // beyond 32-bit products
        {3725000, 83456, "\t0:01:23 / 1:02:05", 22},
        {0, 0, "\t0:00:00 / 0:00:00", 0},
    };
    for (const auto& c : cases) {
        PlayOne(c.length);
        MoveTo(c.position);
        EXPECT_EQ(Part(1), c.text);
        EXPECT_EQ(Bar(), c.bar) << c.text;
        EXPECT_EQ(t.window.control(PositionBar).rangeMax, 1000);
        Click(StopButton);
    }
}

TEST_F(PositionTest, DragPreviewsThenReleaseSeeksAndFollowsTheDeviceAgain) {
    PlayOne(250000);
    MoveTo(65000);
    Scroll(PositionBar, kThumbTrack, 500);
    EXPECT_EQ(Part(1), "\t0:02:05 / 0:04:10");
    EXPECT_FALSE(t.player.playback.positionLive);
    RunFor(1000);  // the music plays on from where it was; the display stays frozen
    EXPECT_EQ(DevicePosition(), 66000U);
    EXPECT_EQ(Part(1), "\t0:02:05 / 0:04:10");
    EXPECT_EQ(Bar(), 500);
    EXPECT_TRUE(t.device.seeks.empty());

    Release();
    EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{125000});
    EXPECT_TRUE(t.device.devices.at(t.player.playback.deviceId).playing);
    EXPECT_TRUE(t.player.playback.positionLive);
    RunFor(1000);  // the seek's aborted notice advances nothing
    EXPECT_EQ(Playing(), file);
    EXPECT_EQ(t.player.playback.piece.fileIndex, 1);
    EXPECT_EQ(Part(1), "\t0:02:06 / 0:04:10");
    EXPECT_EQ(Bar(), 504);

    Scroll(PositionBar, kThumbTrack, 0);
    Release();
    EXPECT_EQ(t.device.seeks, (std::vector<uint32_t>{125000, 0}));
    EXPECT_EQ(t.window.control(PositionBar).rangeMin, 0);
}

TEST_F(PositionTest, KeyboardPreviewsWithoutSeekingUntilTheNextFileStarts) {
    PlayOne(250000);
    Scroll(PositionBar, kLineDown, 500);
    EXPECT_EQ(Part(1), "\t0:02:05 / 0:04:10");
    RunFor(1000);
    EXPECT_EQ(Part(1), "\t0:02:05 / 0:04:10");
    EXPECT_TRUE(t.device.seeks.empty());
    EXPECT_EQ(DevicePosition(), 1000U);
    Click(NextButton);
    RunFor(1000);
    EXPECT_EQ(Part(1), "\t0:00:01 / 0:01:00");
}

TEST_F(PositionTest, ReleaseAtTheEndSeeksToTheLengthAndTheNextFileFollows) {
    PlayOne(250000);
    Scroll(PositionBar, kThumbTrack, 1000);
    Release();
    EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{250000});
    RunFor(100);
    EXPECT_EQ(Playing(), next);
    EXPECT_EQ(Part(2), "\t2 / 2");
}

TEST_F(PositionTest, ReleaseWithoutAKnownLengthDoesNotJumpToTheStart) {
    PlayOne(0);
    Scroll(PositionBar, kThumbTrack, 700);
    Release();
    EXPECT_TRUE(t.device.seeks.empty());
    EXPECT_TRUE(t.player.playback.positionLive);
    EXPECT_EQ(Playing(), file);
}

TEST_F(PositionTest, AfterStopOnlyTheDisplayModeChanges) {
    PlayOne(250000);
    MoveTo(65000);
    Click(StopButton);
    ASSERT_TRUE(t.player.playback.positionLive);
    Scroll(PositionBar, kThumbTrack, 300);
    EXPECT_FALSE(t.player.playback.positionLive);
    Release();
    EXPECT_FALSE(t.player.playback.positionLive);
    t.Send(WM_TIMER_, kDisplayTimerId);
    EXPECT_EQ(Part(1), "\t0:01:05 / 0:04:10");
    EXPECT_TRUE(t.device.seeks.empty());
    Click(PlayButton);
    EXPECT_TRUE(t.player.playback.positionLive);
}

TEST_F(PositionTest, VolumeBarScrollLeavesThePositionDisplayAlone) {
    PlayOne(250000);
    MoveTo(65000);
    Scroll(VolumeBar, kThumbTrack, 300);
    EXPECT_TRUE(t.player.playback.positionLive);
    EXPECT_EQ(Part(1), "\t0:01:05 / 0:04:10");
    RunFor(100);
    EXPECT_EQ(Part(1), "\t0:01:05 / 0:04:10");  // MoveTo placed it; the tick moved 100 ms
}

TEST_F(PositionTest, VolumeDrawSetsBothChannels) {
    const struct {
        int bar;
        uint32_t level;
    } cases[] = {{0, 0}, {1, 65}, {250, 16383}, {500, 32767}, {999, 65469}, {1000, 65535}};
    for (const auto& c : cases) {
        t.window.SetTrackbarPosition(VolumeBar, c.bar, true);
        NotifyHeader header{nullptr, VolumeBar, static_cast<uint32_t>(NM_CUSTOMDRAW_)};
        t.Send(WM_NOTIFY_, VolumeBar, reinterpret_cast<intptr_t>(&header));
        ASSERT_FALSE(t.volume.written.empty());
        EXPECT_EQ(t.volume.written.back(), c.level | (c.level << 16)) << c.bar;
        EXPECT_EQ(t.window.control(VolumeBar).rangeMin, 0);
        EXPECT_EQ(t.window.control(VolumeBar).rangeMax, 1000);
    }
}

}  // namespace
}  // namespace tav::test
