#include <gtest/gtest.h>

#include <tuple>

#include "app/media_keys.h"
#include "core/playback_fixture.h"
#include "playback/position.h"

namespace tav::test {
namespace {

class TransportTest : public PlaybackTest {
protected:
    // A holds four files, B one, C two; each plays for a minute so that nothing ends by itself.
    void Collection() {
        for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) {
            a.push_back(Add("A", name, 60000));
        }
        b = Add("B", "1.mp3", 60000);
        c = {Add("C", "1.mp3", 60000), Add("C", "2.mp3", 60000)};
        ChooseCollection();
    }
    // Clicks, then checks the list selection, the file number shown and the file playing.
    void Walk(const std::vector<std::tuple<int, int32_t, int, std::string>>& steps) {
        for (const auto& [button, selection, file, path] : steps) {
            Click(button);
            EXPECT_EQ(std::tuple(t.list.Selection(), Part(2).substr(1, 2), Playing()),
                      std::tuple(selection, std::to_string(file) + " ", path));
        }
    }
    // Moves the playing file and lets the display timer tick.
    void MoveTo(uint32_t positionMs) {
        t.device.devices.at(t.player.playback.deviceId).position = positionMs;
        t.Send(WM_TIMER_, kDisplayTimerId);
    }
    // A mouse drag of a bar's thumb (TB_THUMBTRACK), then the release of the position bar.
    void Drag(int bar, int position) {
        t.window.SetTrackbarPosition(bar, position, true);
        t.Send(WM_HSCROLL_, MakeParam(5, static_cast<uint16_t>(position)), bar);
    }
    void Release() {
        NotifyHeader header{nullptr, PositionBar, static_cast<uint32_t>(NM_RELEASEDCAPTURE_)};
        t.Send(WM_NOTIFY_, PositionBar, reinterpret_cast<intptr_t>(&header));
    }

    std::vector<std::string> a;
    std::string b;
    std::vector<std::string> c;
};

// Then a stop leaves the last values shown, and Play restarts the same file from its start.
TEST_F(TransportTest, OrderModeCrossesIntoNeighbouringEntriesAndWrapsAroundTheList) {
    Collection();
    // clang-format off
    Walk({{NextButton, 0, 1, a[0]},  // nothing selected: the first entry
          {NextButton, 0, 2, a[1]}, {NextButton, 0, 3, a[2]}, {NextButton, 0, 4, a[3]},
          {NextButton, 1, 1, b}, {NextButton, 2, 1, c[0]}, {NextButton, 2, 2, c[1]},
          {NextButton, 0, 1, a[0]}, {PrevButton, 2, 2, c[1]}, {PrevButton, 2, 1, c[0]},
          {PrevButton, 1, 1, b}, {PrevButton, 0, 4, a[3]}, {PrevButton, 0, 3, a[2]}});
    // clang-format on
    EXPECT_EQ(Part(3), "\t1 / 3");
    SelectEntry(-1);
    Walk({{PrevButton, 2, 2, c[1]}});  // nothing selected: the last entry
    // A double-click plays the newly selected entry, then restarts the loaded piece's file.
    SelectEntry(1);
    t.Command(TrackList, LBN_DBLCLK_);
    t.Command(TrackList, LBN_DBLCLK_);
    EXPECT_EQ(t.device.opened.size(), 16U);
    RunFor(30000);
    Click(StopButton);
    EXPECT_TRUE(t.device.devices.empty());
    EXPECT_FALSE(TimerArmed());
    RunFor(1000);  // the aborted notice changes nothing
    EXPECT_EQ(Part(1), "\t0:00:30 / 0:01:00");
    Click(PlayButton);
    EXPECT_EQ(Playing(), b);
    RunFor(100);
    EXPECT_EQ(Part(1), "\t0:00:00 / 0:01:00");
}

TEST_F(TransportTest, EmptyListAsksForAFolderOrScansTheNamedOne) {
    for (const int button : {NextButton, PrevButton}) {
        Click(button);
        t.Command(TrackList, LBN_DBLCLK_);
        EXPECT_EQ(Part(3), "\t1 / 0");
    }
    for (const int button : {PlayButton, RandomPlayButton}) {
        for (const std::string& named : {std::string(), dir.Path() + "nowhere"}) {
            t.window.SetControlText(FolderEdit, named);
            Click(button);  // the user cancels the browser
        }
    }
    EXPECT_EQ(t.browser.calls.size(), 4U);
    EXPECT_TRUE(t.device.opened.empty());

    const std::string first = Add("A", "1.mp3");
    Add("B", "1.mp3");
    t.window.SetControlText(FolderEdit, Music());
    Click(PlayButton);
    EXPECT_EQ(t.browser.calls.size(), 4U);
    EXPECT_EQ(Part(3), "\t1 / 2");  // the selection Play made is shown at once
    EXPECT_EQ(Playing(), first);
    Click(NextButton);
    EXPECT_EQ(t.list.Selection(), 1) << "in order after a random play";
}

// Media keys and the desktop's controls: nothing asks for a folder; pause holds the heard
// position (a seek while paused too) and Play or PlayPause goes on from it, while the
// window's Play still starts the file afresh. An end notice that crossed the pause moves on
// only once resumed.
TEST_F(TransportTest, MediaCommandsPauseAndResumeWhereTheFileWas) {
    using enum MediaCommand;
    for (const MediaCommand command : {Play, PlayPause, Next, Previous, Pause}) {
        OnMediaCommand(t.player, command);
    }
    EXPECT_TRUE(t.browser.calls.empty());
    EXPECT_TRUE(t.device.opened.empty());
    Collection();
    const auto media = [this](MediaCommand command, uint32_t thenMs) {
        OnMediaCommand(t.player, command);
        RunFor(thenMs);
        return std::tuple(Playing(), Part(1), TimerArmed());
    };
    using Shown = std::tuple<std::string, std::string, bool>;
    EXPECT_EQ(media(PlayPause, 30000), Shown(a[0], "\t0:00:30 / 0:01:00", true));
    EXPECT_EQ(media(Pause, 5000), Shown(a[0], "\t0:00:30 / 0:01:00", false));
    EXPECT_EQ(media(Pause, 0), Shown(a[0], "\t0:00:30 / 0:01:00", false));
    EXPECT_EQ(media(Play, 1000), Shown(a[0], "\t0:00:31 / 0:01:00", true));
    EXPECT_EQ(media(Play, 1000), Shown(a[0], "\t0:00:32 / 0:01:00", true));
    EXPECT_EQ(media(PlayPause, 2000), Shown(a[0], "\t0:00:32 / 0:01:00", false));
    SeekTo(t.player, 45000);
    EXPECT_EQ(media(Pause, 0), Shown(a[0], "\t0:00:45 / 0:01:00", false));
    EXPECT_EQ(t.device.opened.size(), 1U);
    t.Send(MM_MCINOTIFY_, NotifySuccessful, t.player.playback.deviceId);
    EXPECT_EQ(media(PlayPause, 1000), Shown(a[0], "\t0:00:46 / 0:01:00", true));
    t.device.devices.at(t.player.playback.deviceId).position = 59900;
    EXPECT_EQ(media(Pause, 0), Shown(a[0], "\t0:00:59 / 0:01:00", false));
    EXPECT_EQ(media(Play, 200), Shown(a[1], "\t0:00:00 / 0:01:00", true));
    media(Pause, 1000);
    Click(PlayButton);
    RunFor(200);
    EXPECT_EQ(std::tuple(Playing(), Part(1)), std::tuple(a[1], "\t0:00:00 / 0:01:00"));
    EXPECT_EQ(t.device.opened.size(), 3U) << "the window's Play opens the file afresh";
    media(Pause, 0);
    EXPECT_EQ(media(Stop, 0), Shown("", "\t0:00:00 / 0:01:00", false));
    EXPECT_EQ(media(Play, 1000), Shown(a[1], "\t0:00:01 / 0:01:00", true))
        << "a stopped player starts the file again";
}

// The bar shows thousandths of the length (products beyond 32 bits); a drag previews, its
// release seeks, at 0 to the start and at the end into the next file.
TEST_F(TransportTest, DragPreviewsThenReleaseSeeks) {
    const std::string file = Add("A", "1.mp3", 3000000);
    const std::string next = Add("A", "2.mp3");
    ChooseCollection();
    Click(PlayButton);
    MoveTo(2400000);
    EXPECT_EQ(Part(1), "\t0:40:00 / 0:50:00");
    EXPECT_EQ(t.window.TrackbarPosition(PositionBar), 800);
    EXPECT_EQ(t.window.controls[PositionBar].rangeMax, 1000);
    Drag(VolumeBar, 300);  // leaves the position display alone
    Drag(PositionBar, 500);
    RunFor(1000);  // the music plays on from where it was; the display stays frozen
    EXPECT_EQ(t.device.devices.at(t.player.playback.deviceId).position, 2401000U);
    EXPECT_EQ(Part(1), "\t0:25:00 / 0:50:00");
    EXPECT_TRUE(t.device.seeks.empty());
    Release();
    RunFor(1000);  // the seek's aborted notice advances nothing; the display follows again
    EXPECT_EQ(Playing(), file);
    EXPECT_EQ(Part(1), "\t0:25:01 / 0:50:00");
    Drag(PositionBar, 0);
    Release();
    EXPECT_EQ(t.window.controls[PositionBar].rangeMin, 0);
    Drag(PositionBar, 1000);
    Release();
    EXPECT_EQ(t.device.seeks, (std::vector<uint32_t>{1500000, 0, 3000000}));
    RunFor(100);
    EXPECT_EQ(Playing(), next);
    EXPECT_EQ(TimePairText(360000000, 4294967295U), "\t100:00:00 / 1193:02:47");
}

// A device that cannot tell the length would seek to 0 wherever the thumb was dropped.
TEST_F(TransportTest, ReleaseWithoutAKnownLengthDoesNotJumpToTheStart) {
    const std::string file = Add("A", "1.mp3", 0);
    ChooseCollection();
    Click(PlayButton);
    Drag(PositionBar, 700);
    Release();
    EXPECT_TRUE(t.device.seeks.empty());
    EXPECT_EQ(Playing(), file);
}

}  // namespace
}  // namespace tav::test
