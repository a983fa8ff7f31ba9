#include <gtest/gtest.h>

#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/layout.h"

namespace tav::test {
namespace {

Rect PlacementOf(int id, int width, int height) {
    for (const Placement& placement : ComputeLayout(width, height)) {
        if (placement.id == id) {
            return placement.rect;
        }
    }
    ADD_FAILURE() << "no placement for " << id;
    return {};
}

TEST(Layout, FixedLeftBlockAndRightAnchoredOptionRow) {
    struct Case {
        int id;
        Rect at784x597;
        Rect at1200x900;
    };
    const Case cases[] = {
        {RandomPlayButton, {0, 0, 80, 44}, {0, 0, 80, 44}},
        {StopButton, {144, 0, 60, 20}, {144, 0, 60, 20}},
        {NextButton, {144, 24, 60, 20}, {144, 24, 60, 20}},
        {VolumeBar, {284, 0, 500, 20}, {284, 0, 916, 20}},
        {PositionBar, {284, 24, 500, 20}, {284, 24, 916, 20}},
        {InfoTitle, {0, 48, 784, 30}, {0, 48, 1200, 30}},
        {InfoComment, {0, 138, 784, 30}, {0, 138, 1200, 30}},
        {FolderButton, {704, 176, 80, 44}, {1120, 176, 80, 44}},
        {FolderEdit, {0, 176, 700, 20}, {0, 176, 1116, 20}},
        {ExclusionSuffixLabel, {616, 204, 84, 12}, {1032, 204, 84, 12}},
        {ExclusionEdit, {572, 200, 40, 20}, {988, 200, 40, 20}},
        {ExclusionPrefixLabel, {532, 204, 36, 12}, {948, 204, 36, 12}},
        {UnitCombo, {428, 200, 100, 100}, {844, 200, 100, 100}},
        {UnitLabel, {384, 204, 40, 12}, {800, 204, 40, 12}},
        {TrackList, {0, 224, 784, 355}, {0, 224, 1200, 658}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlacementOf(c.id, 784, 597), c.at784x597) << "control " << c.id;
        EXPECT_EQ(PlacementOf(c.id, 1200, 900), c.at1200x900) << "control " << c.id;
    }
}

TEST(Layout, NegativeSizesCountAsZero) {
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{100, 100}, std::pair{-5, -7}}) {
        for (const Placement& placement : ComputeLayout(width, height)) {
            EXPECT_GE(placement.rect.width, 0) << "control " << placement.id;
            EXPECT_GE(placement.rect.height, 0) << "control " << placement.id;
        }
    }
    EXPECT_EQ(PlacementOf(TrackList, 0, 0), (Rect{0, 224, 0, 0}));
    EXPECT_EQ(PlacementOf(VolumeBar, 100, 100), (Rect{284, 0, 0, 20}));
    // Narrow windows let the option row run over the left block: no minimum size.
    EXPECT_EQ(PlacementOf(UnitLabel, 100, 100), (Rect{-300, 204, 40, 12}));
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

TEST(Layout, SizeMessageMovesEveryControlButTheTargetPair) {
    TestPlayer t;
    t.Send(WM_CREATE_);
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(1000, 700)));
    for (const ControlSpec& row : ControlTable()) {
        const Rect at = *t.window.controls[row.id].rect;
        if (row.id == TargetLabel || row.id == TargetButton) {
            EXPECT_EQ(at, row.rect) << row.role;
        } else {
            EXPECT_EQ(at, PlacementOf(row.id, 1000, 700)) << row.role;
        }
    }
    EXPECT_EQ(t.window.statusBarSize, (std::pair{1000, 700}));
    EXPECT_EQ(t.window.statusParts, (std::array<int, 4>{720, 840, 900, 1000}));
    EXPECT_EQ(t.window.invalidations, 1);

    // Minimised: the halves of the size are signed, so 0xFFFF is -1 and counts as 0.
    t.Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(0xFFFF, 0xFFFF)));
    EXPECT_EQ(*t.window.controls[TrackList].rect, (Rect{0, 224, 0, 0}));
    EXPECT_EQ(t.window.statusBarSize, (std::pair{-1, -1}));
}

}  // namespace
}  // namespace tav::test
