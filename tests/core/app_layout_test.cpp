#include <gtest/gtest.h>

#include <string_view>
#include <tuple>

#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/layout.h"

namespace tav::test {
namespace {

// Every control as the window shows it, in creation order: id, role, class, text, creation
// rectangle, style and ex-style (0x50000000 is a visible child, 0x200 a sunken edge).
TEST(ControlTable, EveryRowAsTheWindowShowsIt) {
    using enum ControlClass;
    // One control a row.
    // clang-format off
    const ControlSpec expected[] = {
        {1000, "TrackList", ListBox, "LISTBOX", "", {0, 224, 792, 365}, 0x50200003, 0x200},
        {1001, "FolderEdit", Edit, "EDIT", "", {0, 176, 707, 20}, 0x50000080, 0x200},
        {1002, "PlayButton", Button, "BUTTON", "再生", {84, 0, 60, 20}, 0x50000000, 0},
        {1003, "StopButton", Button, "BUTTON", "停止", {145, 0, 60, 20}, 0x50000000, 0},
        {1004, "RandomPlayButton", Button, "BUTTON", "ランダム再生", {1, 0, 80, 44}, 0x50000000, 0},
        {1005, "UnitCombo", ComboBox, "COMBOBOX", "", {417, 200, 100, 100}, 0x50200003, 0},
        {1006, "ExclusionSuffixLabel", Static, "STATIC", "を含むフォルダ）", {616, 204, 84, 12},
         0x50000000, 0},
        {1007, "ExclusionEdit", Edit, "EDIT", "", {571, 200, 40, 20}, 0x50000001, 0x200},
        {1008, "ExclusionPrefixLabel", Static, "STATIC", "（例外：", {522, 204, 36, 12},
         0x50000002, 0},
        {1009, "UnitLabel", Static, "STATIC", "１曲 = ", {377, 204, 40, 12}, 0x50000002, 0},
        {1010, "VolumeBar", Trackbar, "msctls_trackbar32", "", {284, 0, 508, 20}, 0x50000018, 0},
        {1011, "PositionBar", Trackbar, "msctls_trackbar32", "", {284, 24, 508, 20}, 0x50000018, 0},
        {1012, "VolumeLabel", Static, "STATIC", "音量：", {204, 4, 80, 12}, 0x50000002, 0},
        {1013, "PositionLabel", Static, "STATIC", "再生位置：", {204, 28, 80, 12}, 0x50000002, 0},
        {1014, "PrevButton", Button, "BUTTON", "<<", {84, 24, 60, 20}, 0x50000000, 0},
        {1015, "NextButton", Button, "BUTTON", ">>", {144, 24, 60, 20}, 0x50000000, 0},
        {1016, "FolderButton", Button, "BUTTON", "フォルダ選択", {712, 176, 80, 44}, 0x50000000, 0},
        {1017, "TargetLabel", Static, "STATIC", "MP3+WAV", {0, 202, 60, 16}, 0x50000001, 0x200},
        {1018, "TargetButton", Button, "BUTTON", "演奏対象", {64, 200, 60, 20}, 0x50000000, 0},
        {1019, "InfoEdit1", Edit, "EDIT", "", {0, 51, 792, 30}, 0x50000844, 0x200},
        {1020, "InfoEdit2", Edit, "EDIT", "", {0, 81, 792, 30}, 0x50000844, 0x200},
        {1021, "InfoEdit3", Edit, "EDIT", "", {0, 110, 792, 30}, 0x50000844, 0x200},
        {1022, "InfoEdit4", Edit, "EDIT", "", {0, 141, 792, 30}, 0x50000844, 0x200},
    };
    // clang-format on
    // Field by field, the rectangle's too, so that a failure shows what differs.
    const auto fields = [](const ControlSpec& r) {
        return std::tuple(r.id, std::string_view(r.role), static_cast<int>(r.kind),
                          std::string_view(r.className), std::string_view(r.text), r.rect.x,
                          r.rect.y, r.rect.width, r.rect.height, r.style, r.exStyle);
    };
    ASSERT_EQ(ControlTable().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(fields(ControlTable()[i]), fields(expected[i]));
    }
}

// The 800 x 636 window's client area of 784 x 597, then 1200 x 900: the left block and the
// target pair stay, the trackbars, info lines and option row follow the right edge, the list
// the bottom.
TEST(Layout, SizeMessagesPlaceEveryControl) {
    struct Case {
        int id;
        Rect at784x597;
        Rect at1200x900;
    };
    const Case cases[] = {
        {TrackList, {0, 224, 784, 355}, {0, 224, 1200, 658}},
        {FolderEdit, {0, 176, 700, 20}, {0, 176, 1116, 20}},
        {PlayButton, {84, 0, 60, 20}, {84, 0, 60, 20}},
        {StopButton, {144, 0, 60, 20}, {144, 0, 60, 20}},
        {RandomPlayButton, {0, 0, 80, 44}, {0, 0, 80, 44}},
        {UnitCombo, {428, 200, 100, 100}, {844, 200, 100, 100}},
        {ExclusionSuffixLabel, {616, 204, 84, 12}, {1032, 204, 84, 12}},
        {ExclusionEdit, {572, 200, 40, 20}, {988, 200, 40, 20}},
        {ExclusionPrefixLabel, {532, 204, 36, 12}, {948, 204, 36, 12}},
        {UnitLabel, {384, 204, 40, 12}, {800, 204, 40, 12}},
        {VolumeBar, {284, 0, 500, 20}, {284, 0, 916, 20}},
        {PositionBar, {284, 24, 500, 20}, {284, 24, 916, 20}},
        {VolumeLabel, {204, 4, 80, 12}, {204, 4, 80, 12}},
        {PositionLabel, {204, 28, 80, 12}, {204, 28, 80, 12}},
        {PrevButton, {84, 24, 60, 20}, {84, 24, 60, 20}},
        {NextButton, {144, 24, 60, 20}, {144, 24, 60, 20}},
        {FolderButton, {704, 176, 80, 44}, {1120, 176, 80, 44}},
        {TargetLabel, {0, 202, 60, 16}, {0, 202, 60, 16}},
        {TargetButton, {64, 200, 60, 20}, {64, 200, 60, 20}},
        {InfoTitle, {0, 48, 784, 30}, {0, 48, 1200, 30}},
        {InfoArtist, {0, 78, 784, 30}, {0, 78, 1200, 30}},
        {InfoAlbum, {0, 108, 784, 30}, {0, 108, 1200, 30}},
        {InfoComment, {0, 138, 784, 30}, {0, 138, 1200, 30}},
    };
    TestPlayer t;
    t.Create();  // sized 784 x 597
    for (const Case& c : cases) {
        EXPECT_EQ(*t.window.controls[c.id].rect, c.at784x597) << "control " << c.id;
    }
    EXPECT_EQ(t.window.invalidations, 1);
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(1200, 900)));
    for (const Case& c : cases) {
        EXPECT_EQ(*t.window.controls[c.id].rect, c.at1200x900) << "control " << c.id;
    }
    EXPECT_EQ(t.window.statusBarSize, (std::pair{1200, 900}));
    EXPECT_EQ(t.window.statusParts, (std::array<int, 4>{920, 1040, 1100, 1200}));

    // Minimised: the halves of the size are signed, so 0xFFFF is -1, and sizes that come out
    // negative count as 0.
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(0xFFFF, 0xFFFF)));
    EXPECT_EQ(t.window.statusBarSize, (std::pair{-1, -1}));
    for (const auto& [id, control] : t.window.controls) {
        EXPECT_GE(control.rect.value_or(Rect{}).width, 0) << "control " << id;
        EXPECT_GE(control.rect.value_or(Rect{}).height, 0) << "control " << id;
    }
    EXPECT_EQ(*t.window.controls[TrackList].rect, (Rect{0, 224, 0, 0}));
    // Narrow windows let the option row run over the left block: no minimum size.
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(100, 100)));
    EXPECT_EQ(*t.window.controls[VolumeBar].rect, (Rect{284, 0, 0, 20}));
    EXPECT_EQ(*t.window.controls[UnitLabel].rect, (Rect{-300, 204, 40, 12}));
}

TEST(Layout, StatusPartEdgesFollowTheWidth) {
    EXPECT_EQ(StatusPartEdges(784), (std::array<int, 4>{504, 624, 684, 784}));
    EXPECT_EQ(StatusPartEdges(0), (std::array<int, 4>{-280, -160, -100, 0}));
    EXPECT_EQ(StatusPartEdges(32767 + 280),
              (std::array<int, 4>{32767, -32768 + 119, -32768 + 179, -32768 + 279}));
}

TEST(Layout, SavedWindowStaysUsableOnItsScreen) {
    struct Case {
        const char* name;
        Edges saved;
        Edges area;
        Rect placed;
    };
    const Edges screen{0, 0, 1920, 1040};
    const Edges leftScreen{-1280, 0, 0, 984};
    const Case cases[] = {
        {"on the left screen", {-1000, 100, -200, 736}, leftScreen, {-1000, 100, 800, 636}},
        {"maximised", {-8, -8, 1928, 1048}, screen, {-8, -8, 1936, 1056}},
        {"partly off the right, left corner on",
         {1500, 100, 2300, 736},
         screen,
         {1500, 100, 800, 636}},
        {"partly off the left, right corner on",
         {-700, 100, 100, 736},
         screen,
         {-700, 100, 800, 636}},
        {"title bar below the screen", {100, 1020, 900, 1656}, screen, {100, 404, 800, 636}},
        {"title bar above the screen", {100, -40, 900, 596}, screen, {100, 0, 800, 636}},
        {"no corner on the screen", {-2000, 100, 2500, 736}, screen, {0, 100, 1920, 636}},
        {"smaller than created", {10, 10, 410, 310}, screen, {10, 10, 800, 636}},
        {"screen smaller than the window", {10, 10, 20, 20}, {0, 0, 640, 452}, {0, 0, 640, 452}},
        {"extremes", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, screen, {0, 0, 1920, 1040}},
        {"inverted", {900, 700, 100, 50}, screen, {900, 404, 800, 636}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitSavedWindow(c.saved, c.area), c.placed) << c.name;
    }
}

}  // namespace
}  // namespace tav::test
