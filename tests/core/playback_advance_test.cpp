#include <gtest/gtest.h>

#include <set>

#include "core/playback_fixture.h"
#include "player/display.h"

namespace tav::test {
namespace {

class AdvanceTest : public PlaybackTest {
protected:
    // Folder A holds three files (added out of order on purpose), B and C one each.
    void ThreeFolders() {
        a2 = Add("A", "b.mp3");
        a1 = Add("A", "A.mp3");
        a3 = Add("A", "c.wav");
        b1 = Add("B", "x.mp3");
        c1 = Add("C", "y.mp3");
        ChooseCollection();
        ASSERT_EQ(t.list.Count(), 3);
    }

    std::string a1, a2, a3, b1, c1;
};

TEST_F(AdvanceTest, FolderPiecePlaysItsFilesInOrderThenTheNextEntryWrappingToTheFirst) {
    ThreeFolders();
    Click(PlayButton);
    EXPECT_EQ(Part(3), "\t1 / 3");
    EXPECT_EQ(t.window.title, a1);  // no tag library: the path, and the name on the info line
    EXPECT_EQ(t.window.ControlText(InfoTitle), "A.mp3");
    const struct {
        const std::string& path;
        const char* counter;
        int32_t selection;
    } steps[] = {{a1, "\t1 / 3", 0}, {a2, "\t2 / 3", 0}, {a3, "\t3 / 3", 0},
                 {b1, "\t1 / 1", 1}, {c1, "\t1 / 1", 2}, {a1, "\t1 / 3", 0}};
    for (const auto& step : steps) {
        EXPECT_EQ(Playing(), step.path);
        EXPECT_EQ(Part(2), step.counter) << step.path;
        EXPECT_EQ(t.list.Selection(), step.selection) << step.path;
        EXPECT_EQ(t.device.devices.size(), 1U) << "one device at a time";
        RunFor(1000);
    }
    // Every ended device was closed, the one that ended and no other.
    EXPECT_EQ(t.device.closed, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));

    SelectEntry(1);  // the user moves on while A plays: the entry after B follows
    EXPECT_EQ(Part(3), "\t2 / 3");
    RunFor(1000);
    EXPECT_EQ(Playing(), c1);
}

TEST_F(AdvanceTest, FileEntriesEachPlayOnce) {
    const std::string first = Add("", "1.wav");
    const std::string second = Add("", "2.mp3");
    t.window.SetComboSelection(1);  // per file
    ChooseCollection();
    Click(PlayButton);
    for (const std::string& path : {first, second, first}) {
        EXPECT_EQ(Playing(), path);
        EXPECT_EQ(Part(2), "\t1 / 1");
        RunFor(1000);
    }
}

TEST_F(AdvanceTest, RandomModeDrawsTheNextPieceAfterTheLastFile) {
    ThreeFolders();
    t.player.random.randomSeed = 77;
    Click(RandomPlayButton);
    std::set<std::string> pieces;
    for (int piece = 0; piece < 3; ++piece) {
        const std::string entry = t.list.Text(t.list.Selection());
        pieces.insert(entry);
        const std::size_t files = entry == Music() + "A" + kSep ? 3 : 1;
        for (std::size_t file = 1; file <= files; ++file) {
            EXPECT_EQ(Playing().rfind(entry, 0), 0U) << entry;
            EXPECT_EQ(Part(2).substr(1), std::to_string(file) + " / " + std::to_string(files));
            RunFor(1000);
        }
    }
    EXPECT_EQ(pieces.size(), 3U);
}

// A file ends and, before its notice is delivered, the user leaves it: the late notice must
// not tear down what the user chose. Notices other than success change nothing.
TEST_F(AdvanceTest, LateNoticesLeaveWhatTheUserChose) {
    ThreeFolders();
    Click(PlayButton);
    t.device.Advance(1000);  // a1 ends; its notice waits in the queue
    Click(NextButton);
    for (const uint32_t kind : {NotifySuperseded, NotifyAborted, NotifyFailure}) {
        t.Send(MM_MCINOTIFY_, kind, t.player.playback.deviceId);
    }
    t.DeliverPosted();
    EXPECT_EQ(Playing(), a2);
    EXPECT_TRUE(TimerArmed());
    EXPECT_EQ(Part(2), "\t2 / 3");
    EXPECT_EQ(t.device.opened, (std::vector<std::string>{a1, a2}));

    t.device.Advance(1000);  // a2 ends; the user presses Stop before the notice arrives
    Click(StopButton);
    RunFor(3000);
    EXPECT_TRUE(Playing().empty());
    EXPECT_EQ(t.device.opened.size(), 2U);
    EXPECT_FALSE(TimerArmed());
}

// Each failing device command is reported once, in a box captioned "error".
TEST_F(AdvanceTest, DeviceFailuresAreReportedAndStopWhereTheyHappen) {
    const std::string first = Add("A", "1.mp3");
    const std::string broken = Add("A", "2.mp3");
    t.device.undecodable.insert(broken);
    ChooseCollection();
    t.device.failPlay = true;  // opened but silent: nothing shown, nothing timed, no advance
    Click(PlayButton);
    EXPECT_EQ(Playing(), first);
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(Part(2), "\t0 / 0");
    RunFor(2000);
    EXPECT_EQ(t.device.opened.size(), 1U);

    t.device.failPlay = false;
    Click(PlayButton);
    t.device.failStop = true;  // the file plays on
    Click(StopButton);
    EXPECT_TRUE(t.device.devices.at(t.player.playback.deviceId).playing);
    EXPECT_TRUE(TimerArmed());
    t.device.failStop = false;
    RunFor(3000);  // the next file cannot be opened: the advance ends there
    EXPECT_TRUE(Playing().empty());
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(t.window.title, kFixedTitle);
    EXPECT_EQ(t.device.opened, (std::vector<std::string>{first, first, broken}));
    std::vector<std::string> texts;
    for (const ShownMessage& shown : t.window.messages) {
        EXPECT_EQ(shown.caption, "error");
        texts.push_back(shown.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"デバイスの再生に失敗", "デバイスの停止に失敗",
                                               "デバイスのオープンに失敗"}));
}

// Files of 10 ms end before they give any sound. A whole cycle of the list, or of the random
// pool, that gives none stops the advance as Stop does; a list with a half-second jingle in
// it goes on.
class SilentListTest : public AdvanceTest, public ::testing::WithParamInterface<bool> {
protected:
    void Start() { Click(GetParam() ? RandomPlayButton : PlayButton); }
};

TEST_P(SilentListTest, ACycleWithoutSoundStops) {
    Add("A", "1.wav", 10);
    Add("A", "2.wav", 10);
    const std::string jingle = Add("B", "1.wav", 10);
    ChooseCollection();
    Start();
    RunFor(1000, 5);
    EXPECT_EQ(t.device.opened.size(), 3U) << "one cycle: both files of A and the one of B";
    EXPECT_EQ(Playing(), "");
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(t.window.Title(), kFixedTitle);
    // Nothing new is selected: the list stays on the entry of the file that ended last.
    EXPECT_EQ(t.device.opened.back().rfind(t.list.Text(t.list.Selection()), 0), 0U);

    t.device.lengths[jingle] = 500;
    Start();
    RunFor(3000, 5);
    EXPECT_GT(t.device.opened.size(), 3U + 9U) << "more than three cycles of three files";
    EXPECT_NE(Playing(), "");
}

INSTANTIATE_TEST_SUITE_P(OrderAndRandom, SilentListTest, ::testing::Bool());

}  // namespace
}  // namespace tav::test
