#include <gtest/gtest.h>

#include <set>

#include "catalogue/path.h"
#include "core/playback_fixture.h"
#include "player/display.h"

namespace tav::test {
namespace {

class AdvanceTest : public PlaybackTest {
protected:
    // Folder A holds three files (listed out of order on purpose), B and C one each.
    void ThreeFolders() {
        a2 = Add("A", "b.mp3");
        a1 = Add("A", "A.mp3");
        a3 = Add("A", "c.wav");
        b1 = Add("B", "x.mp3");
        c1 = Add("C", "y.mp3");
        ChooseCollection();
        ASSERT_EQ(t.list.Count(), 3);
    }
    void Notify(uint32_t kind, uint32_t deviceId) { t.Send(MM_MCINOTIFY_, kind, deviceId); }

    std::string a1, a2, a3, b1, c1;
};

TEST_F(AdvanceTest, FolderPiecePlaysItsFilesInOrderThenTheNextEntryWrappingToTheFirst) {
    ThreeFolders();
    Click(PlayButton);
    struct Step {
        const std::string& path;
        const char* counter;
        int32_t selection;
    };
    const Step steps[] = {{a1, "\t1 / 3", 0}, {a2, "\t2 / 3", 0}, {a3, "\t3 / 3", 0},
                          {b1, "\t1 / 1", 1}, {c1, "\t1 / 1", 2}, {a1, "\t1 / 3", 0}};
    for (const Step& step : steps) {
        EXPECT_EQ(Playing(), step.path);
        EXPECT_EQ(Part(2), step.counter) << step.path;
        EXPECT_EQ(t.list.Selection(), step.selection) << step.path;
        EXPECT_EQ(t.device.devices.size(), 1U) << "one device at a time";
        EXPECT_TRUE(TimerArmed());
        RunFor(1000);
    }
    EXPECT_EQ(Part(3), "\t1 / 3");
    // Every ended device was closed, the one that ended and no other.
    EXPECT_EQ(t.device.closed, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(AdvanceTest, FileEntriesEachPlayOnce) {
    Add("", "1.wav");
    Add("", "2.mp3");
    t.window.SetComboSelection(1);  // per file
    ChooseCollection();
    ASSERT_EQ(t.list.Count(), 2);
    Click(PlayButton);
    EXPECT_EQ(t.player.playback.piece.entryKind, File);
    EXPECT_EQ(t.player.playback.piece.fileCount, 1);
    EXPECT_EQ(Playing(), Music() + "1.wav");
    RunFor(1000);
    EXPECT_EQ(Playing(), Music() + "2.mp3");
    RunFor(1000);
    EXPECT_EQ(Playing(), Music() + "1.wav");
}

TEST_F(AdvanceTest, RandomModeDrawsTheNextPieceAfterTheLastFile) {
    ThreeFolders();
    t.player.random.randomSeed = 77;
    Click(RandomPlayButton);
    std::set<std::string> pieces;
    for (int piece = 0; piece < 3; ++piece) {
        const std::string entry = t.player.playback.piece.currentEntry;
        pieces.insert(entry);
        const int32_t files = t.player.playback.piece.fileCount;
        for (int32_t file = 1; file <= files; ++file) {
            EXPECT_EQ(t.player.playback.piece.currentEntry, entry);
            EXPECT_EQ(t.player.playback.piece.fileIndex, file);
            RunFor(1000);
        }
    }
    EXPECT_EQ(pieces, (std::set<std::string>{Folder("A"), Folder("B"), Folder("C")}));
    EXPECT_TRUE(t.player.playback.randomMode);
    EXPECT_FALSE(Playing().empty());
}

TEST_F(AdvanceTest, NoticesOtherThanSuccessChangeNothing) {
    ThreeFolders();
    Click(PlayButton);
    RunFor(1000);
    const uint32_t current = t.player.playback.deviceId;
    for (const uint32_t kind : {NotifySuperseded, NotifyAborted, NotifyFailure}) {
        Notify(kind, current);
        EXPECT_EQ(t.player.playback.deviceId, current) << kind;
        EXPECT_TRUE(t.device.devices.at(current).playing) << kind;
        EXPECT_TRUE(TimerArmed()) << kind;
        EXPECT_EQ(t.player.playback.piece.fileIndex, 2) << kind;
        EXPECT_EQ(t.device.opened.size(), 2U) << kind;
    }
    EXPECT_EQ(t.device.closed, std::vector<uint32_t>{1});
}

TEST_F(AdvanceTest, SuccessOfAnotherDeviceClosesThatDeviceOnly) {
    ThreeFolders();
    Click(PlayButton);
    const uint32_t current = t.player.playback.deviceId;
    uint32_t other = 0;
    ASSERT_EQ(t.device.Open(c1, other), 0U);
    Notify(NotifySuccessful, other);
    EXPECT_EQ(t.device.closed, std::vector<uint32_t>{other});
    EXPECT_EQ(t.player.playback.deviceId, current);
    EXPECT_EQ(Playing(), a1);
    EXPECT_TRUE(TimerArmed());
    EXPECT_EQ(t.player.playback.piece.fileIndex, 1);
}

// A file ends and, before its notice is delivered, the user leaves it: the late notice must
// not tear down what the user chose.
TEST_F(AdvanceTest, LateSuccessOfAFileAlreadyLeftIsIgnored) {
    ThreeFolders();
    Click(PlayButton);
    t.device.Advance(1000);  // a1 ends; its notice waits in the queue
    Click(NextButton);
    const uint32_t next = t.player.playback.deviceId;
    t.DeliverPosted();
    EXPECT_EQ(t.player.playback.deviceId, next);
    EXPECT_EQ(Playing(), a2);
    EXPECT_TRUE(TimerArmed());
    EXPECT_EQ(t.player.playback.piece.fileIndex, 2);
    EXPECT_EQ(t.device.opened, (std::vector<std::string>{a1, a2}));

    t.device.Advance(1000);  // a2 ends; the user presses Stop before the notice arrives
    Click(StopButton);
    RunFor(3000);
    EXPECT_TRUE(Playing().empty());
    EXPECT_EQ(t.device.opened.size(), 2U);
    EXPECT_FALSE(TimerArmed());
}

TEST_F(AdvanceTest, OpenFailureInTheMiddleOfAPieceEndsTheAdvance) {
    ThreeFolders();
    t.device.undecodable.insert(a2);
    Click(PlayButton);
    RunFor(5000);
    ASSERT_EQ(t.window.messages.size(), 1U);
    EXPECT_EQ(t.window.messages[0].text, "デバイスのオープンに失敗");
    EXPECT_EQ(t.window.messages[0].caption, "error");
    EXPECT_EQ(t.player.playback.deviceId, 0U);
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(t.window.title, kFixedTitle);
    EXPECT_EQ(t.device.opened, (std::vector<std::string>{a1, a2}));
}

TEST_F(AdvanceTest, SelectionChangeWhileAFilePlays) {
    ThreeFolders();
    Click(PlayButton);
    SelectEntry(1);  // B
    EXPECT_EQ(Playing(), a1);
    EXPECT_EQ(t.player.playback.piece.fileCount, 0);
    EXPECT_EQ(Part(3), "\t2 / 3");
    RunFor(1000);
    EXPECT_EQ(Playing(), c1);  // the entry after the new selection
    EXPECT_EQ(t.list.Selection(), 2);

    // In random mode a draw follows instead.
    Click(RandomPlayButton);
    const std::size_t opens = t.device.opened.size();
    SelectEntry(0);
    const int32_t pool = t.player.random.poolCount;
    RunFor(1000);
    EXPECT_EQ(t.device.opened.size(), opens + 1);
    EXPECT_EQ(t.player.playback.piece.fileIndex, 1);
    EXPECT_EQ(t.player.random.poolCount, pool - 1);
}

TEST_F(AdvanceTest, OneEntryCatalogueInRandomModeRepeatsThePiece) {
    const std::string only = Add("A", "1.mp3");
    ChooseCollection();
    Click(RandomPlayButton);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Playing(), only);
        RunFor(1000);
    }
    EXPECT_EQ(t.device.opened, std::vector<std::string>(4, only));
}

// Files of 10 ms end before they give any sound. A whole cycle of the list, or of the random
// pool, that gives none stops the advance as Stop does; a list with a half-second jingle in
// it goes on.
class SilentListTest : public AdvanceTest, public ::testing::WithParamInterface<bool> {
protected:
    void RunInSmallSteps(uint32_t ms) {
        for (uint32_t elapsed = 0; elapsed < ms; elapsed += 5) {
            t.device.Advance(5);
            t.DeliverPosted();
        }
    }
    void Start() { Click(GetParam() ? RandomPlayButton : PlayButton); }
};

TEST_P(SilentListTest, ACycleWithoutSoundStops) {
    Add("A", "1.wav", 10);
    Add("A", "2.wav", 10);
    const std::string jingle = Add("B", "1.wav", 10);
    ChooseCollection();
    Start();
    RunInSmallSteps(1000);
    EXPECT_EQ(t.device.opened.size(), 3U) << "one cycle: both files of A and the one of B";
    EXPECT_EQ(Playing(), "");
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(t.window.Title(), kFixedTitle);
    // Nothing new is selected: the list stays on the entry of the file that ended last.
    EXPECT_EQ(t.device.opened.back().rfind(t.list.Text(t.list.Selection()), 0), 0U);

    t.device.lengths[jingle] = 500;
    Start();
    RunInSmallSteps(3000);
    EXPECT_GT(t.device.opened.size(), 3U + 9U) << "more than three cycles of three files";
    EXPECT_NE(Playing(), "");
}

INSTANTIATE_TEST_SUITE_P(OrderAndRandom, SilentListTest, ::testing::Bool());

}  // namespace
}  // namespace tav::test
