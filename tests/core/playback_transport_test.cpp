#include <gtest/gtest.h>

#include <filesystem>

#include "core/playback_fixture.h"

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
        ASSERT_EQ(t.list.Count(), 3);
    }

    struct Step {
        int button;
        int32_t selection;
        int32_t file;
        std::string path;
    };
    void Walk(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            Click(step.button);
            EXPECT_EQ(t.list.Selection(), step.selection) << step.path;
            EXPECT_EQ(t.player.playback.piece.fileIndex, step.file) << step.path;
            EXPECT_EQ(Playing(), step.path);
            EXPECT_EQ(t.device.devices.size(), 1U) << step.path;
        }
    }

    std::vector<std::string> a;
    std::string b;
    std::vector<std::string> c;
};

TEST_F(TransportTest, OrderModeCrossesIntoNeighbouringEntriesAndWrapsAroundTheList) {
    Collection();
    Walk({{PlayButton, 0, 1, a[0]},
          {NextButton, 0, 2, a[1]},
          {NextButton, 0, 3, a[2]},
          {NextButton, 0, 4, a[3]},
          {NextButton, 1, 1, b},
          {NextButton, 2, 1, c[0]},
          {NextButton, 2, 2, c[1]},
          {NextButton, 0, 1, a[0]},
          {PrevButton, 2, 2, c[1]},
          {PrevButton, 2, 1, c[0]},
          {PrevButton, 1, 1, b},
          {PrevButton, 0, 4, a[3]},
          {PrevButton, 0, 3, a[2]}});
    EXPECT_EQ(Part(3), "\t1 / 3");
    EXPECT_FALSE(t.player.playback.randomMode);
}

TEST_F(TransportTest, RandomModeWrapsInsideThePiece) {
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) {
        a.push_back(Add("A", name, 60000));
    }
    ChooseCollection();
    Click(RandomPlayButton);
    const int32_t pool = t.player.random.poolCount;
    Walk({{PrevButton, 0, 4, a[3]},
          {NextButton, 0, 1, a[0]},
          {NextButton, 0, 2, a[1]},
          {PrevButton, 0, 1, a[0]},
          {PrevButton, 0, 4, a[3]}});
    EXPECT_EQ(t.player.random.poolCount, pool);  // no new draw
}

TEST_F(TransportTest, SingleFilePieceInRandomModeRestartsItself) {
    b = Add("B", "1.mp3", 60000);
    ChooseCollection();
    Click(RandomPlayButton);
    RunFor(20000);
    Walk({{NextButton, 0, 1, b}, {PrevButton, 0, 1, b}});
    EXPECT_EQ(t.device.opened, std::vector<std::string>(3, b));
    RunFor(100);
    EXPECT_EQ(Part(1), "\t0:00:00 / 0:01:00");
}

TEST_F(TransportTest, WithNothingSelectedNextTakesTheFirstAndPreviousTheLastEntry) {
    Collection();
    ASSERT_EQ(t.list.Selection(), -1);
    Walk({{NextButton, 0, 1, a[0]}});
    t.list.Select(-1);
    t.Command(TrackList, LBN_SELCHANGE_);
    Walk({{PrevButton, 2, 2, c[1]}});
}

TEST_F(TransportTest, EmptyListAsksForAFolderOrScansTheNamedOne) {
    for (const int button : {PlayButton, RandomPlayButton}) {
        for (const std::string& named : {std::string(), dir.Path() + "nowhere"}) {
            t.window.SetControlText(FolderEdit, named);
            const std::size_t asked = t.browser.calls.size();
            Click(button);  // the user cancels the browser
            EXPECT_EQ(t.browser.calls.size(), asked + 1) << named;
            EXPECT_EQ(t.list.Count(), 0);
            EXPECT_TRUE(t.device.opened.empty());
        }
    }
    EXPECT_TRUE(t.player.playback.randomMode);

    const std::string first = Add("A", "1.mp3");
    Add("B", "1.mp3");
    t.window.SetControlText(FolderEdit, Music());
    Click(PlayButton);
    EXPECT_EQ(t.browser.calls.size(), 4U);
    EXPECT_EQ(t.list.Count(), 2);
    EXPECT_EQ(t.list.Selection(), 0);
    EXPECT_EQ(Part(3), "\t1 / 2");  // the selection Play made is shown at once
    EXPECT_EQ(Playing(), first);
    EXPECT_FALSE(t.player.playback.randomMode);
}

TEST_F(TransportTest, NextAndPreviousOnAnEmptyListPlayNothing) {
    for (const int button : {NextButton, PrevButton}) {
        Click(button);
        EXPECT_EQ(Part(3), "\t1 / 0");
        EXPECT_TRUE(t.device.opened.empty());
        EXPECT_TRUE(t.player.playback.piece.currentEntry.empty());
    }
}

TEST_F(TransportTest, PlayRestartsTheLoadedPieceEvenAfterANewRootWasChosen) {
    Collection();
    Walk({{PlayButton, 0, 1, a[0]}, {NextButton, 0, 2, a[1]}});
    TempDir other;
    other.AddFile(Join({"Z", "z.mp3"}));
    t.browser.answer = other.Path();
    Click(FolderButton);
    ASSERT_EQ(t.list.Count(), 1);
    Click(PlayButton);
    EXPECT_EQ(Playing(), a[1]);
    EXPECT_EQ(t.device.opened.size(), 3U);
    EXPECT_EQ(t.list.Selection(), 0);
}

TEST_F(TransportTest, RandomPlayWhileAFilePlaysStartsANewPiece) {
    Collection();
    Click(PlayButton);
    const uint32_t first = t.player.playback.deviceId;
    Click(RandomPlayButton);
    EXPECT_EQ(t.device.closed, std::vector<uint32_t>{first});
    EXPECT_NE(t.player.playback.deviceId, first);
    EXPECT_EQ(t.player.playback.piece.fileIndex, 1);
    EXPECT_EQ(t.player.playback.piece.currentEntry, t.list.Text(t.list.Selection()));
    EXPECT_EQ(t.player.random.poolCount, 2);
    EXPECT_TRUE(t.player.playback.randomMode);
}

TEST_F(TransportTest, DoubleClickPlaysTheNewlySelectedEntryOrRestartsTheLoadedOne) {
    Collection();
    Walk({{PlayButton, 0, 1, a[0]}, {NextButton, 0, 2, a[1]}});
    t.Command(TrackList, LBN_DBLCLK_);
    EXPECT_EQ(Playing(), a[1]);
    EXPECT_EQ(t.device.opened.size(), 3U);
    SelectEntry(2);
    t.Command(TrackList, LBN_DBLCLK_);
    EXPECT_EQ(Playing(), c[0]);
    EXPECT_EQ(Part(2), "\t1 / 2");
}

// An unlistable folder leaves the piece with a count of -1; << and >> in random mode must not
// walk the file number out of the folder's numbering when the folder comes back.
TEST_F(TransportTest, UnlistablePieceInRandomModeStaysSilentUnderPreviousAndNext) {
    Add("A", "1.mp3");
    ChooseCollection();
    std::filesystem::remove_all(dir.Root() / "music" / "A");
    Click(RandomPlayButton);
    ASSERT_EQ(t.player.playback.piece.fileCount, -1);
    Click(PrevButton);
    const std::string back = Add("A", "1.mp3");
    for (const int button : {PrevButton, PrevButton, NextButton, PrevButton}) {
        Click(button);
        EXPECT_GE(t.player.playback.piece.fileIndex, -1);
        EXPECT_LE(t.player.playback.piece.fileIndex, 1);
    }
    EXPECT_TRUE(t.device.opened.empty());
    EXPECT_TRUE(t.window.messages.empty());

    Click(RandomPlayButton);  // a new draw loads the folder afresh
    EXPECT_EQ(Playing(), back);
}

}  // namespace
}  // namespace tav::test
