#include <gtest/gtest.h>

#include <string_view>
#include <tuple>

#include "fakes/test_player.h"
#include "player/layout.h"

namespace tav::test {
namespace {

// How a control follows the client area from 784 x 597 to 1200 x 900.
enum Anchor { Stays, Right, Wide, Grows };

// Every control in creation order (ids from 1000): role, class, text, creation rectangle,
// style and ex-style (0x50000000 is a visible child, 0x10000 a tab stop, 0x200 a sunken
// edge), then where the 800 x 636 window's client area of 784 x 597 places it.
TEST(Layout, EveryControlAsCreatedAndAsPlaced) {
    using enum ControlClass;
    using Row = std::tuple<std::string_view, ControlClass, std::string_view, std::string_view, Rect,
                           uint32_t, uint32_t, Rect, Anchor>;
    const Row rows[] = {
        // clang-format off
        {"TrackList", ListBox, "LISTBOX", "", {0, 224, 792, 365}, 0x50210003, 0x200, {0, 224, 784, 355}, Grows},
        {"FolderEdit", Edit, "EDIT", "", {0, 176, 707, 20}, 0x50010080, 0x200, {0, 176, 700, 20}, Wide},
        {"PlayButton", Button, "BUTTON", "再生", {84, 0, 60, 20}, 0x50010000, 0, {84, 0, 60, 20}, Stays},
        {"StopButton", Button, "BUTTON", "停止", {145, 0, 60, 20}, 0x50010000, 0, {144, 0, 60, 20}, Stays},
        {"RandomPlayButton", Button, "BUTTON", "ランダム再生", {1, 0, 80, 44}, 0x50010000, 0, {0, 0, 80, 44}, Stays},
        {"UnitCombo", ComboBox, "COMBOBOX", "", {417, 200, 100, 100}, 0x50210003, 0, {428, 200, 100, 100}, Right},
        {"ExclusionSuffixLabel", Static, "STATIC", "を含むフォルダ）", {616, 204, 84, 12}, 0x50000000, 0, {616, 204, 84, 12}, Right},
        {"ExclusionEdit", Edit, "EDIT", "", {571, 200, 40, 20}, 0x50010001, 0x200, {572, 200, 40, 20}, Right},
        {"ExclusionPrefixLabel", Static, "STATIC", "（例外：", {522, 204, 36, 12}, 0x50000002, 0, {532, 204, 36, 12}, Right},
        {"UnitLabel", Static, "STATIC", "１曲 = ", {377, 204, 40, 12}, 0x50000002, 0, {384, 204, 40, 12}, Right},
        {"VolumeBar", Trackbar, "msctls_trackbar32", "", {284, 0, 508, 20}, 0x50010018, 0, {284, 0, 500, 20}, Wide},
        {"PositionBar", Trackbar, "msctls_trackbar32", "", {284, 24, 508, 20}, 0x50010018, 0, {284, 24, 500, 20}, Wide},
        {"VolumeLabel", Static, "STATIC", "音量：", {204, 4, 80, 12}, 0x50000002, 0, {204, 4, 80, 12}, Stays},
        {"PositionLabel", Static, "STATIC", "再生位置：", {204, 28, 80, 12}, 0x50000002, 0, {204, 28, 80, 12}, Stays},
        {"PrevButton", Button, "BUTTON", "<<", {84, 24, 60, 20}, 0x50010000, 0, {84, 24, 60, 20}, Stays},
        {"NextButton", Button, "BUTTON", ">>", {144, 24, 60, 20}, 0x50010000, 0, {144, 24, 60, 20}, Stays},
        {"FolderButton", Button, "BUTTON", "フォルダ選択", {712, 176, 80, 44}, 0x50010000, 0, {704, 176, 80, 44}, Right},
        {"TargetLabel", Static, "STATIC", "MP3+WAV", {0, 202, 60, 16}, 0x50000001, 0x200, {0, 202, 60, 16}, Stays},
        {"TargetButton", Button, "BUTTON", "演奏対象", {64, 200, 60, 20}, 0x50010000, 0, {64, 200, 60, 20}, Stays},
        {"InfoEdit1", Edit, "EDIT", "", {0, 51, 792, 30}, 0x50010844, 0x200, {0, 48, 784, 30}, Wide},
        {"InfoEdit2", Edit, "EDIT", "", {0, 81, 792, 30}, 0x50010844, 0x200, {0, 78, 784, 30}, Wide},
        {"InfoEdit3", Edit, "EDIT", "", {0, 110, 792, 30}, 0x50010844, 0x200, {0, 108, 784, 30}, Wide},
        {"InfoEdit4", Edit, "EDIT", "", {0, 141, 792, 30}, 0x50010844, 0x200, {0, 138, 784, 30}, Wide},
        // clang-format on
    };
    ASSERT_EQ(ControlTable().size(), std::size(rows));
    TestPlayer t;
    t.Create();  // sized 784 x 597
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        const ControlSpec& c = ControlTable()[i];
        const auto& [role, kind, className, text, created, style, exStyle, placed, _] = rows[i];
        EXPECT_EQ(std::tuple(c.id, c.role, c.kind, c.className, c.text, c.style, c.exStyle),
                  std::tuple(1000 + i, role, kind, className, text, style, exStyle));
        EXPECT_EQ(c.rect, created) << role;
        EXPECT_EQ(t.window.controls[1000 + i].rect, placed) << role;
    }
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(1200, 900)));
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        const auto& [role, kind, className, text, created, style, exStyle, p, anchor] = rows[i];
        const int wider = anchor == Wide || anchor == Grows ? 416 : 0;
        const Rect grown{p.x + (anchor == Right ? 416 : 0), p.y, p.width + wider,
                         p.height + (anchor == Grows ? 303 : 0)};
        EXPECT_EQ(t.window.controls[1000 + i].rect, grown) << role;
    }
    EXPECT_EQ(t.window.statusParts, (std::array<int, 4>{920, 1040, 1100, 1200}));
    EXPECT_EQ(t.window.invalidations, 2);
    // Minimised: the size's halves are signed (0xFFFF is -1); sizes that come out negative
    // count as 0. Narrow windows let the option row run over the left block.
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(0xFFFF, 0xFFFF)));
    EXPECT_EQ(t.window.controls[TrackList].rect, (Rect{0, 224, 0, 0}));
    EXPECT_EQ(t.window.statusParts, (std::array<int, 4>{-281, -161, -101, -1}));
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(100, 100)));
    EXPECT_EQ(t.window.controls[VolumeBar].rect, (Rect{284, 0, 0, 20}));
    EXPECT_EQ(t.window.controls[UnitLabel].rect, (Rect{-300, 204, 40, 12}));
    EXPECT_EQ(StatusPartEdges(32767 + 280),
              (std::array<int, 4>{32767, -32768 + 119, -32768 + 179, -32768 + 279}));
}

TEST(Layout, SavedWindowStaysUsableOnItsScreen) {
    const Edges screen{0, 0, 1920, 1040};
    const std::tuple<const char*, Edges, Edges, Rect> cases[] = {
        // clang-format off
        {"on the left screen", {-1000, 100, -200, 736}, {-1280, 0, 0, 984}, {-1000, 100, 800, 636}},
        {"maximised", {-8, -8, 1928, 1048}, screen, {-8, -8, 1936, 1056}},
        {"partly off the right, left corner on", {1500, 100, 2300, 736}, screen, {1500, 100, 800, 636}},
        {"partly off the left, right corner on", {-700, 100, 100, 736}, screen, {-700, 100, 800, 636}},
        {"title bar below the screen", {100, 1020, 900, 1656}, screen, {100, 404, 800, 636}},
        {"title bar above the screen", {100, -40, 900, 596}, screen, {100, 0, 800, 636}},
        {"no corner on the screen", {-2000, 100, 2500, 736}, screen, {0, 100, 1920, 636}},
        {"smaller than created", {10, 10, 410, 310}, screen, {10, 10, 800, 636}},
        {"screen smaller than the window", {10, 10, 20, 20}, {0, 0, 640, 452}, {0, 0, 640, 452}},
        {"extremes", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, screen, {0, 0, 1920, 1040}},
        {"inverted", {900, 700, 100, 50}, screen, {900, 404, 800, 636}},
        // clang-format on
    };
    for (const auto& [name, saved, area, placed] : cases) {
        EXPECT_EQ(FitSavedWindow(saved, area), placed) << name;
    }
}

}  // namespace
}  // namespace tav::test
