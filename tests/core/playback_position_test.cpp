#include "playback/position.h"

#include <gtest/gtest.h>

#include "core/playback_fixture.h"

namespace tav::test {
namespace {

class PositionTest : public PlaybackTest {
protected:
    // One file of the given length, playing, and its successor.
    void PlayOne(uint32_t lengthMs) {
        file = Add("A", "1.mp3", lengthMs);
        next = Add("A", "2.mp3", 60000);
        ChooseCollection();
        Click(PlayButton);
        ASSERT_EQ(Playing(), file);
    }
    void MoveTo(uint32_t positionMs) {
        t.device.devices.at(t.player.playback.deviceId).position = positionMs;
        t.Send(WM_TIMER_, kDisplayTimerId);
    }
    // A mouse drag of the bar's thumb (TB_THUMBTRACK), then its release.
    void Drag(int bar, int position) {
        t.window.SetTrackbarPosition(bar, position, true);
        t.Send(WM_HSCROLL_, MakeParam(5, static_cast<uint16_t>(position)), bar);
    }
    void Release() {
        NotifyHeader header{nullptr, PositionBar, static_cast<uint32_t>(NM_RELEASEDCAPTURE_)};
        t.Send(WM_NOTIFY_, PositionBar, reinterpret_cast<intptr_t>(&header));
    }
    int Bar() const { return t.window.TrackbarPosition(PositionBar); }

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
        EXPECT_EQ(t.window.controls[PositionBar].rangeMax, 1000);
        Click(StopButton);
    }
    EXPECT_EQ(TimePairText(360000000, 4294967295U), "\t100:00:00 / 1193:02:47");
}

TEST_F(PositionTest, DragPreviewsThenReleaseSeeks) {
    PlayOne(250000);
    MoveTo(65000);
    Drag(VolumeBar, 300);  // leaves the position display alone
    Drag(PositionBar, 500);
    EXPECT_EQ(Part(1), "\t0:02:05 / 0:04:10");
    RunFor(1000);  // the music plays on from where it was; the display stays frozen
    EXPECT_EQ(t.device.devices.at(t.player.playback.deviceId).position, 66000U);
    EXPECT_EQ(Part(1), "\t0:02:05 / 0:04:10");
    EXPECT_TRUE(t.device.seeks.empty());

    Release();
    EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{125000});
    RunFor(1000);  // the seek's aborted notice advances nothing; the display follows again
    EXPECT_EQ(Playing(), file);
    EXPECT_EQ(Part(1), "\t0:02:06 / 0:04:10");
    EXPECT_EQ(Bar(), 504);

    Drag(PositionBar, 0);  // back to the start
    Release();
    EXPECT_EQ(t.device.seeks, (std::vector<uint32_t>{125000, 0}));
    EXPECT_EQ(t.window.controls[PositionBar].rangeMin, 0);
    Drag(PositionBar, 1000);  // to the end: the next file follows
    Release();
    EXPECT_EQ(t.device.seeks.back(), 250000U);
    RunFor(100);
    EXPECT_EQ(Playing(), next);
    EXPECT_EQ(Part(2), "\t2 / 2");
}

// A device that cannot tell the length would seek to 0 wherever the thumb was dropped.
TEST_F(PositionTest, ReleaseWithoutAKnownLengthDoesNotJumpToTheStart) {
    PlayOne(0);
    Drag(PositionBar, 700);
    Release();
    EXPECT_TRUE(t.device.seeks.empty());
    EXPECT_EQ(Playing(), file);
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
        EXPECT_EQ(t.volume.written.back(), c.level | (c.level << 16)) << c.bar;
        EXPECT_EQ(t.window.controls[VolumeBar].rangeMin, 0);
        EXPECT_EQ(t.window.controls[VolumeBar].rangeMax, 1000);
    }
}

}  // namespace
}  // namespace tav::test
