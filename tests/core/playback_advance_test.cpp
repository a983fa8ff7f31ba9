#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

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
    }

    std::string a1, a2, a3, b1, c1;
};

TEST_F(AdvanceTest, FolderPiecePlaysItsFilesInOrderThenTheNextEntryWrappingToTheFirst) {
    ThreeFolders();
    Click(PlayButton);
    EXPECT_EQ(Part(3), "\t1 / 3");
    EXPECT_EQ(t.window.title, a1);  // no tag library: the path, and the name on the info line
    EXPECT_EQ(t.window.ControlText(InfoTitle), "A.mp3");
    const std::tuple<std::string, std::string, int32_t> steps[] = {
        {a1, "\t1 / 3", 0}, {a2, "\t2 / 3", 0}, {a3, "\t3 / 3", 0},
        {b1, "\t1 / 1", 1}, {c1, "\t1 / 1", 2}, {a1, "\t1 / 3", 0}};
    for (const auto& [path, counter, selection] : steps) {
        EXPECT_EQ(std::tuple(Playing(), Part(2), t.list.Selection(), t.device.devices.size()),
                  std::tuple(path, counter, selection, std::size_t{1}));
        RunFor(1000);
    }
    // Every ended device was closed, the one that ended and no other.
    EXPECT_EQ(t.device.closed, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
    SelectEntry(1);  // the user moves on while A plays: the entry after B follows
    RunFor(1000);
    EXPECT_EQ(Playing(), c1);

    // A file ends and, before its notice arrives, the user leaves it: the late notice must not
    // tear down what the user chose, nor a late failure of the device left. Aborted and
    // superseded notices change nothing.
    const uint32_t left = t.player.playback.deviceId;
    t.device.Advance(1000);
    Click(NextButton);
    t.Send(MM_MCINOTIFY_, NotifyFailure, left);
    for (const uint32_t kind : {NotifySuperseded, NotifyAborted}) {
        t.Send(MM_MCINOTIFY_, kind, t.player.playback.deviceId);
    }
    t.DeliverPosted();
    EXPECT_EQ(Playing(), a1);
    EXPECT_TRUE(TimerArmed());
    t.device.Advance(1000);
    Click(StopButton);
    RunFor(3000);
    EXPECT_TRUE(Playing().empty());
    EXPECT_EQ(t.device.opened.size(), 9U);
}

TEST_F(AdvanceTest, FileEntriesEachPlayOnce) {
    const std::string first = Add("", "1.wav");
    const std::string second = Add("", "2.mp3");
    t.window.SetComboSelection(1);  // per file
    ChooseCollection();
    Click(PlayButton);
    for (const std::string& path : {first, second, first}) {
        EXPECT_EQ(Playing(), path);
        RunFor(1000);
    }
}

TEST_F(AdvanceTest, RandomModeDrawsTheNextPieceAfterTheLastFile) {
    ThreeFolders();
    Click(RandomPlayButton);
    // << and >> wrap inside the piece: from its first file to its last and back.
    const std::string drawn = t.list.Text(t.list.Selection());
    const std::map<std::string, std::pair<std::string, std::string>> ends{
        {Music() + "A" + kSep, {a1, a3}},
        {Music() + "B" + kSep, {b1, b1}},
        {Music() + "C" + kSep, {c1, c1}}};
    Click(PrevButton);
    EXPECT_EQ(Playing(), ends.at(drawn).second);
    const std::size_t opens = t.device.opened.size();
    Click(NextButton);
    EXPECT_EQ(t.list.Text(t.list.Selection()), drawn);
    EXPECT_EQ(std::tuple(t.device.opened.size(), Playing(), Part(2).substr(0, 3)),
              std::tuple(opens + 1, ends.at(drawn).first, "\t1 "));
    const auto first = static_cast<std::ptrdiff_t>(t.device.opened.size()) - 1;
    for (int file = 0; file < 5; ++file) {  // every file once, a piece's files together
        const std::string entry = t.list.Text(t.list.Selection());
        EXPECT_EQ(Playing().rfind(entry, 0), 0U) << entry;
        RunFor(1000);
    }
    const auto played = t.device.opened.begin() + first;
    EXPECT_EQ(std::set<std::string>(played, played + 5).size(), 5U);
}

// Each failing device command is reported once, in a box captioned "error".
TEST_F(AdvanceTest, DeviceFailuresAreReportedAndStopWhereTheyHappen) {
    const std::string first = Add("A", "1.mp3");
    const std::string broken = Add("A", "2.mp3");
    t.device.undecodable.insert(broken);
    ChooseCollection();
    t.device.failPlay = true;  // opened but silent: nothing shown, nothing timed, no advance
    Click(PlayButton);
    EXPECT_EQ(Part(2), "\t0 / 0");
    RunFor(2000);
    EXPECT_EQ(Playing(), first);
    EXPECT_FALSE(TimerArmed());
    t.device.failPlay = false;
    Click(PlayButton);
    // The output fails under the file (the sound server went away): the play ends there.
    const uint32_t failed = t.player.playback.deviceId;
    ASSERT_EQ(t.window.title, first);
    t.Send(MM_MCINOTIFY_, NotifyFailure, failed);
    EXPECT_EQ(std::tuple(t.player.playback.deviceId, t.device.closed.back(), TimerArmed(),
                         t.window.title),
              std::tuple(0U, failed, false, kFixedTitle));
    RunFor(2000);
    EXPECT_EQ(t.device.opened.size(), 2U) << "no advance";
    Click(PlayButton);
    t.device.failStop = true;  // the file plays on
    Click(StopButton);
    EXPECT_TRUE(t.device.devices.at(t.player.playback.deviceId).playing);
    t.device.failStop = false;
    RunFor(3000);  // the next file cannot be opened: the advance ends there
    EXPECT_TRUE(Playing().empty());
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(t.window.title, kFixedTitle);
    EXPECT_EQ(t.device.opened, (std::vector<std::string>{first, first, first, broken}));
    std::vector<std::string> texts;
    for (const ShownMessage& shown : t.window.messages) {
        texts.push_back(shown.caption + ": " + shown.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "error: デバイスの再生に失敗", "error: デバイスの再生に失敗",
                         "error: デバイスの停止に失敗", "error: デバイスのオープンに失敗"}));
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
