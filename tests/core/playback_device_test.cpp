#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "core/playback_fixture.h"
#include "player/display.h"

namespace tav::test {
namespace {

class DeviceTest : public PlaybackTest {
protected:
    void ExpectOneMessage(const char* text) {
        ASSERT_EQ(t.window.messages.size(), 1U);
        EXPECT_EQ(t.window.messages[0].text, text);
        EXPECT_EQ(t.window.messages[0].caption, "error");
    }
    void ExpectIdle() {
        EXPECT_EQ(t.player.playback.deviceId, 0U);
        EXPECT_TRUE(t.device.devices.empty());
        EXPECT_FALSE(TimerArmed());
        EXPECT_EQ(t.window.title, kFixedTitle);
    }
};

TEST_F(DeviceTest, AStartedFileIsCountedShownAndTimedInMilliseconds) {
    const std::string first = Add("A", "1.mp3", 60000);
    Add("A", "2.mp3");
    ChooseCollection();
    Click(PlayButton);
    EXPECT_EQ(Playing(), first);
    EXPECT_EQ(Part(2), "\t1 / 2");
    EXPECT_EQ(t.window.title, first);  // no tag library: the path
    EXPECT_EQ(t.window.ControlText(InfoTitle), "1.mp3");
    EXPECT_TRUE(t.device.devices.at(t.player.playback.deviceId).millisecondFormat);
    EXPECT_EQ(t.window.timers, (std::map<int, int>{{kDisplayTimerId, kDisplayTimerPeriodMs}}));
    EXPECT_TRUE(t.player.playback.positionLive);
    RunFor(1500);
    EXPECT_EQ(Part(1), "\t0:00:01 / 0:01:00");
    EXPECT_TRUE(t.window.messages.empty());
}

TEST_F(DeviceTest, TagsAreReadForEachStartedFileAfterItsCounterAndBeforeTheTimer) {
    const std::string first = Add("A", "1.mp3");
    const std::string second = Add("A", "2.mp3");
    Add("B", "1.mp3");
    ChooseCollection();
    t.tags.present = true;
    std::vector<std::string> counters;
    t.tags.onLoad = [this, &counters](const std::string& path) {
        EXPECT_EQ(Playing(), path);
        EXPECT_TRUE(t.device.devices.at(t.player.playback.deviceId).playing);
        EXPECT_FALSE(TimerArmed());
        counters.push_back(Part(2));
    };
    Click(PlayButton);
    RunFor(1000);
    t.device.failPlay = true;  // B opens but does not play: nothing to show
    RunFor(1000);
    EXPECT_EQ(t.tags.loadedPaths, (std::vector<std::string>{first, second}));
    EXPECT_EQ(counters, (std::vector<std::string>{"\t1 / 2", "\t2 / 2"}));
    EXPECT_EQ(t.window.messages.size(), 1U);
}

TEST_F(DeviceTest, PlayFailureLeavesTheDeviceOpenAndSilentUntilTheNextCommand) {
    const std::string first = Add("A", "1.mp3");
    ChooseCollection();
    const std::string infoBefore = t.window.ControlText(InfoTitle);
    t.device.failPlay = true;
    Click(PlayButton);
    ExpectOneMessage("デバイスの再生に失敗");
    EXPECT_EQ(Playing(), first);
    EXPECT_FALSE(t.device.devices.at(t.player.playback.deviceId).playing);
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(Part(2), "\t0 / 0");
    EXPECT_EQ(t.window.title, kFixedTitle);
    EXPECT_EQ(t.window.ControlText(InfoTitle), infoBefore);
    RunFor(2000);  // nothing ends, nothing advances
    EXPECT_EQ(t.device.opened.size(), 1U);

    t.device.failPlay = false;
    Click(PlayButton);
    EXPECT_EQ(t.device.closed.size(), 1U);
    EXPECT_EQ(Playing(), first);
    EXPECT_TRUE(TimerArmed());
}

TEST_F(DeviceTest, StopFailureKeepsTheOldFilePlaying) {
    const std::string first = Add("A", "1.mp3", 60000);
    Add("A", "2.mp3");
    ChooseCollection();
    Click(PlayButton);
    t.device.failStop = true;
    Click(NextButton);
    ExpectOneMessage("デバイスの停止に失敗");
    EXPECT_EQ(Playing(), first);
    EXPECT_TRUE(t.device.devices.at(t.player.playback.deviceId).playing);
    EXPECT_TRUE(TimerArmed());
    EXPECT_EQ(t.device.opened, std::vector<std::string>{first});

    Click(StopButton);
    EXPECT_EQ(t.window.messages.size(), 2U);
    EXPECT_EQ(Playing(), first);
}

TEST_F(DeviceTest, FolderWithoutPlayableFilesGivesTheOpenFailureOnce) {
    const std::string only = Add("A", "1.mp3");
    ChooseCollection();
    std::filesystem::remove(only);
    dir.AddFile(Join({"music", "A", "notes.txt"}));
    Click(PlayButton);
    ExpectOneMessage("デバイスのオープンに失敗");
    EXPECT_EQ(t.device.opened, std::vector<std::string>{Folder("A")});
    ExpectIdle();
    RunFor(3000);
    EXPECT_EQ(t.window.messages.size(), 1U);
}

TEST_F(DeviceTest, FolderRemovedAfterTheScanPlaysNothingAndSaysNothing) {
    const std::string first = Add("A", "1.mp3", 5000);
    Add("B", "1.mp3");
    ChooseCollection();
    Click(PlayButton);
    std::filesystem::remove_all(dir.Root() / "music" / "B");
    SelectEntry(1);
    t.Command(TrackList, LBN_DBLCLK_);
    EXPECT_EQ(t.player.playback.piece.fileCount, -1);
    EXPECT_EQ(Playing(), first);  // the previous file plays on
    Click(PlayButton);
    EXPECT_EQ(t.device.opened, std::vector<std::string>{first});
    EXPECT_TRUE(t.window.messages.empty());

    // When that file ends, the entry after the unlistable one follows.
    RunFor(5000);
    EXPECT_EQ(t.list.Selection(), 0);
    EXPECT_EQ(Playing(), first);
    EXPECT_TRUE(t.window.messages.empty());
}

TEST_F(DeviceTest, StopThenPlayRestartsTheSameFileFromTheStart) {
    Add("A", "1.mp3", 60000);
    const std::string second = Add("A", "2.mp3", 60000);
    ChooseCollection();
    Click(PlayButton);
    Click(NextButton);
    RunFor(30000);
    EXPECT_EQ(Part(1), "\t0:00:30 / 0:01:00");
    t.window.title = "playing";
    Click(StopButton);
    ExpectIdle();
    RunFor(1000);  // the aborted notice changes nothing
    EXPECT_TRUE(Playing().empty());
    EXPECT_EQ(Part(1), "\t0:00:30 / 0:01:00");  // the last values stay

    Click(PlayButton);
    EXPECT_EQ(Playing(), second);
    EXPECT_EQ(Part(2), "\t2 / 2");
    RunFor(100);
    EXPECT_EQ(Part(1), "\t0:00:00 / 0:01:00");
}

TEST_F(DeviceTest, StopWithNothingOpenRestoresTheTitleOnly) {
    t.window.title = "something";
    Click(StopButton);
    EXPECT_EQ(t.window.title, kFixedTitle);
    EXPECT_TRUE(t.window.messages.empty());
    EXPECT_TRUE(t.device.closed.empty());
}

TEST_F(DeviceTest, EmptyListPlaysNothing) {
    const int writes = t.window.statusWrites;
    t.Command(TrackList, LBN_DBLCLK_);
    EXPECT_TRUE(t.device.opened.empty());
    EXPECT_EQ(t.window.statusWrites, writes);
    EXPECT_TRUE(t.window.messages.empty());
}

}  // namespace
}  // namespace tav::test
