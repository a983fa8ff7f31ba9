#include <gtest/gtest.h>

#include <filesystem>

#include "core/playback_fixture.h"

namespace tav::test {
namespace {

class TransportTest : public PlaybackTest {
protected:
    // A holds four files, B one, C two; each plays for a minute so that nothing ends by itself.
    void Collection(bool onlyA = false) {
        for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) {
            a.push_back(Add("A", name, 60000));
        }
        if (!onlyA) {
            b = Add("B", "1.mp3", 60000);
            c = {Add("C", "1.mp3", 60000), Add("C", "2.mp3", 60000)};
        }
        ChooseCollection();
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
            EXPECT_TRUE(Part(2).substr(1).starts_with(std::to_string(step.file) + " / "))
                << step.path;
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
    Walk({{NextButton, 0, 1, a[0]},  // nothing selected: the first entry
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
    SelectEntry(-1);
    Walk({{PrevButton, 2, 2, c[1]}});  // nothing selected: the last entry

    // A double-click plays the newly selected entry, or restarts the loaded piece's file.
    SelectEntry(1);
    t.Command(TrackList, LBN_DBLCLK_);
    t.Command(TrackList, LBN_DBLCLK_);
    EXPECT_EQ(Playing(), b);
    EXPECT_EQ(t.device.opened.size(), 16U);
}

TEST_F(TransportTest, RandomModeWrapsInsideThePiece) {
    Collection(true);
    Click(RandomPlayButton);
    const int32_t pool = t.player.random.poolCount;
    Walk({{PrevButton, 0, 4, a[3]},
          {NextButton, 0, 1, a[0]},
          {NextButton, 0, 2, a[1]},
          {PrevButton, 0, 1, a[0]},
          {PrevButton, 0, 4, a[3]}});
    EXPECT_EQ(t.player.random.poolCount, pool);  // no new draw
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
            const std::size_t asked = t.browser.calls.size();
            Click(button);  // the user cancels the browser
            EXPECT_EQ(t.browser.calls.size(), asked + 1) << named;
            EXPECT_EQ(t.list.Count(), 0);
        }
    }
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

TEST_F(TransportTest, StopThenPlayRestartsTheSameFileFromTheStart) {
    Collection();
    Click(PlayButton);
    Click(NextButton);
    RunFor(30000);
    EXPECT_EQ(Part(1), "\t0:00:30 / 0:01:00");
    Click(StopButton);
    EXPECT_TRUE(t.device.devices.empty());
    EXPECT_FALSE(TimerArmed());
    RunFor(1000);  // the aborted notice changes nothing; the last values stay
    EXPECT_EQ(Part(1), "\t0:00:30 / 0:01:00");
    Click(PlayButton);
    EXPECT_EQ(Playing(), a[1]);
    RunFor(100);
    EXPECT_EQ(Part(1), "\t0:00:00 / 0:01:00");
    EXPECT_TRUE(t.window.messages.empty());
}

// An unlistable folder leaves the piece with a count of -1; << and >> in random mode must not
// walk the file number out of the folder's numbering when the folder comes back.
TEST_F(TransportTest, UnlistablePieceInRandomModeStaysSilentUnderPreviousAndNext) {
    Add("A", "1.mp3");
    ChooseCollection();
    std::filesystem::remove_all(dir.Root() / "music" / "A");
    Click(RandomPlayButton);
    Click(PrevButton);
    const std::string back = Add("A", "1.mp3");
    for (const int button : {PrevButton, PrevButton, NextButton, PrevButton}) {
        Click(button);
    }
    EXPECT_TRUE(t.device.opened.empty());
    EXPECT_TRUE(t.window.messages.empty());
    Click(RandomPlayButton);  // a new draw loads the folder afresh
    EXPECT_EQ(Playing(), back);
}

}  // namespace
}  // namespace tav::test
