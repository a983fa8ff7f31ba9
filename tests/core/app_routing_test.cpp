#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav::test {
namespace {

// One row of the routing table: how to prepare a fresh window, and how to tell that the
// row's operation ran.
struct Row {
    const char* name;
    int controlId;
    uint16_t code;
    uint16_t otherCode;  // a notification of the same control that must do nothing
    std::function<void(TestPlayer&, TempDir&)> prepare;
    std::function<bool(TestPlayer&)> fired;
};

void ThreeEntriesSecondSelected(TestPlayer& t, TempDir& dir) {
    for (const char* name : {"a", "b", "c"}) {
        t.list.Add(dir.Path() + name + "-gone");
    }
    t.list.Select(1);
}

std::vector<Row> Rows() {
    const auto nothing = [](TestPlayer&, TempDir&) {};
    return {
        {"list selection change", TrackList, LBN_SELCHANGE_, 4,
         [](TestPlayer& t, TempDir&) {
             t.player.playback.piece.fileCount = 5;
             t.player.playback.piece.fileIndex = 2;
         },
         [](TestPlayer& t) { return t.player.playback.piece.fileCount == 0; }},
        {"list double-click", TrackList, LBN_DBLCLK_, 5,
         [](TestPlayer& t, TempDir& dir) {
             t.list.Add(dir.AddFile("song.wav"));
             t.list.Select(0);
         },
         [](TestPlayer& t) { return t.device.opened.size() == 1; }},
        {"play", PlayButton, BN_CLICKED_, 6, nothing,
         [](TestPlayer& t) {
             return t.browser.calls.size() == 1 && !t.player.playback.randomMode;
         }},
        {"stop", StopButton, BN_CLICKED_, 6,
         [](TestPlayer& t, TempDir&) { t.window.title = "playing"; },
         [](TestPlayer& t) { return t.window.title == kFixedTitle; }},
        {"random play", RandomPlayButton, BN_CLICKED_, 6, nothing,
         [](TestPlayer& t) { return t.browser.calls.size() == 1 && t.player.playback.randomMode; }},
        {"unit", UnitCombo, CBN_SELCHANGE_, 7,
         [](TestPlayer& t, TempDir&) { t.window.SetComboSelection(1); },
         [](TestPlayer& t) { return !t.window.IsControlEnabled(ExclusionEdit); }},
        {"exclusion", ExclusionEdit, EN_CHANGE_, 0x100,
         [](TestPlayer& t, TempDir&) { t.window.SetControlText(ExclusionEdit, "Live"); },
         [](TestPlayer& t) { return t.player.options.exclusionText == "Live"; }},
        {"previous", PrevButton, BN_CLICKED_, 6, ThreeEntriesSecondSelected,
         [](TestPlayer& t) { return t.list.Selection() == 0; }},
        {"next", NextButton, BN_CLICKED_, 6, ThreeEntriesSecondSelected,
         [](TestPlayer& t) { return t.list.Selection() == 2; }},
        {"folder", FolderButton, BN_CLICKED_, 6, nothing,
         [](TestPlayer& t) { return t.browser.calls.size() == 1; }},
        {"target", TargetButton, BN_CLICKED_, 6, nothing,
         [](TestPlayer& t) { return t.window.ControlText(TargetLabel) == "MP3"; }},
    };
}

// Everything a stray command could change, as one comparable text.
std::string Describe(TestPlayer& t) {
    std::ostringstream text;
    text << t.window.title;
    for (const auto& [id, control] : t.window.controls) {
        text << '|' << id << ':' << control.text << (control.enabled ? '+' : '-');
    }
    for (const auto& [part, status] : t.window.statusTexts) {
        text << '|' << status;
    }
    text << '|' << t.list.Count() << '|' << t.player.options.exclusionText << '|'
         << t.player.options.playTarget << '|' << t.player.playback.piece.fileCount << '|'
         << t.browser.calls.size() << '|' << t.device.opened.size() << '|'
         << t.window.comboSelection;
    return text.str();
}

class RoutingTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
};

TEST_F(RoutingTest, EachCommandRowFiresOnlyForItsNotification) {
    for (const Row& row : Rows()) {
        for (const bool matching : {true, false}) {
            TempDir files;
            TestPlayer t;
            t.Create();
            row.prepare(t, files);
            const uint16_t code = matching ? row.code : row.otherCode;
            EXPECT_EQ(t.Command(row.controlId, code), 0) << row.name;
            EXPECT_EQ(row.fired(t), matching) << row.name << (matching ? "" : " (other code)");
        }
    }
}

TEST_F(RoutingTest, CommandsOfOtherControlsAreHandledAndIgnored) {
    TestPlayer t;
    t.Create();
    const std::string before = Describe(t);
    for (const int id :
         std::initializer_list<int>{FolderEdit, TargetLabel, UnitLabel, VolumeLabel, InfoTitle,
                                    InfoComment, ExclusionSuffixLabel, 4242}) {
        for (const uint16_t code : {uint16_t{0}, uint16_t{1}, uint16_t{2}, EN_CHANGE_}) {
            EXPECT_EQ(t.Command(id, code), 0);
        }
    }
    EXPECT_EQ(Describe(t), before);
}

TEST_F(RoutingTest, NotificationsFromTheTrackbars) {
    TestPlayer t;
    t.Create();
    t.volume.written.clear();
    auto notify = [&t](int id, int32_t code) {
        NotifyHeader header{nullptr, static_cast<uintptr_t>(id), static_cast<uint32_t>(code)};
        return t.Send(WM_NOTIFY_, static_cast<uintptr_t>(id), reinterpret_cast<intptr_t>(&header));
    };
    EXPECT_EQ(notify(PositionBar, NM_CUSTOMDRAW_), 0);
    EXPECT_TRUE(t.volume.written.empty());
    EXPECT_EQ(notify(VolumeBar, NM_CUSTOMDRAW_), 0);
    EXPECT_EQ(t.volume.written.size(), 1U);
    EXPECT_EQ(notify(VolumeBar, -2), 0);  // a click: handled, nothing done
    EXPECT_EQ(notify(4242, NM_CUSTOMDRAW_), 0);
    EXPECT_EQ(t.volume.written.size(), 1U);

    // A scroll of the volume bar reaches the position handler, which leaves it alone.
    t.player.playback.positionLive = true;
    const std::string time = t.window.StatusText(1);
    EXPECT_EQ(t.Send(WM_HSCROLL_, MakeParam(5, 300), VolumeBar), 0);
    EXPECT_TRUE(t.player.playback.positionLive);
    EXPECT_EQ(t.window.StatusText(1), time);
    EXPECT_EQ(t.Send(WM_HSCROLL_, MakeParam(5, 300), PositionBar), 0);
    EXPECT_FALSE(t.player.playback.positionLive);
}

TEST_F(RoutingTest, OtherMessagesGoToTheDefaultProcedure) {
    TestPlayer t;
    t.Create();
    for (const uint32_t id : {0x000Fu /* WM_PAINT */, 0x0100u /* WM_KEYDOWN */, 0x0400u}) {
        EXPECT_FALSE(t.Send(id).has_value()) << id;
    }
    EXPECT_EQ(t.Send(WM_TIMER_, kDisplayTimerId), 0);
    EXPECT_EQ(t.Send(MM_MCINOTIFY_, NotifyAborted, 7), 0);
}

}  // namespace
}  // namespace tav::test
