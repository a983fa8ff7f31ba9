// The Qt main window on real widgets: where the controls stand, where a saved rectangle puts
// it, and what the display timer and the trackbars send the player.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/layout.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

class QtWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window));
    }
    QRect Geometry(int id) const { return t.window.Control(id)->geometry(); }
    QSlider& Bar(int id) const { return *qobject_cast<QSlider*>(t.window.Control(id)); }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
};

TEST_F(QtWindowTest, ControlsAndStatusPartsFollowTheClientSize) {
    t.window.resize(1000, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Geometry(TrackList).height() == 700 - 242; }));
    for (const Placement& placed : ComputeLayout(1000, 700)) {
        // A drop-down list keeps the height of its field.
        const int height = placed.id == UnitCombo ? 20 : placed.rect.height;
        EXPECT_EQ(Geometry(placed.id),
                  QRect(placed.rect.x, placed.rect.y, placed.rect.width, height))
            << "control " << placed.id;
    }
    EXPECT_EQ(Geometry(TargetLabel), QRect(0, 202, 60, 16));
    EXPECT_EQ(t.window.StatusBar()->geometry(), QRect(0, 682, 1000, 18));
    // Parts run from just right of the previous part to their own right edge.
    const int rights[] = {720, 840, 900, 1000};
    for (int part = 0; part < QtStatusBar::kPartCount; ++part) {
        const QRect shown = t.window.StatusBar()->Part(part).geometry();
        EXPECT_EQ(shown.x(), part == 0 ? 0 : rights[part - 1] + 2) << part;
        EXPECT_EQ(shown.x() + shown.width(), rights[part]) << part;
    }
    // A leading tab centres a part's text.
    const QLabel& time = t.window.StatusBar()->Part(1);
    EXPECT_EQ(time.text(), "0:00:00 / 0:00:00");
    EXPECT_EQ(time.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    for (const ControlSpec& row : ControlTable()) {
        EXPECT_TRUE(QFontInfo(t.window.Control(row.id)->font()).family().contains("CJK"))
            << row.role;
    }
}

// Far away, inverted far away, huge and tiny saved rectangles all give a window that lies on
// the screen, as large as created where the screen allows and never larger than the screen.
TEST_F(QtWindowTest, SavedRectangleBringsTheWindowOntoTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::string settings =
        std::filesystem::path(PosixFileSystem().ExecutablePath()).stem().string() + ".ini";
    for (const char* rectangle : {"500000,000050,501000,000700", "-99999,-99999,-98999,-99299",
                                  "000000,000000,999999,999999", "000300,000200,000301,000201"}) {
        SCOPED_TRACE(rectangle);
        dir.AddFile(settings, std::string("\r\n\r\n\r\n") + rectangle + "\r\n\r\n");
        QtTestPlayer started;
        started.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&started.window));
        const Edges outer = started.window.WindowEdges();
        const QRect placed(QPoint(outer.left, outer.top),
                           QPoint(outer.right - 1, outer.bottom - 1));
        EXPECT_TRUE(screen.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        EXPECT_GE(placed.width(), std::min(kMainWindowWidth, screen.width()));
        EXPECT_GE(placed.height(), std::min(kMainWindowHeight, screen.height()));
    }
}

TEST_F(QtWindowTest, ThePositionBarFollowsThePlayAndSeeksOnlyWhenLetGo) {
    const std::string path = dir.AddFile("a.wav");
    t.device.lengths[path] = 250000;  // 4 min 10 s, playing and 1 min 5 s in
    uint32_t id = 0;
    ASSERT_EQ(t.device.Open(path, id), 0u);
    t.device.SetTimeFormatMilliseconds(id);
    t.device.Play(id);
    t.device.Advance(65000);
    t.player.playback.deviceId = id;
    t.player.playback.positionLive = true;
    t.window.StartTimer(kDisplayTimerId, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.window.StatusText(1) == "\t0:01:05 / 0:04:10"; }));
    EXPECT_EQ(t.window.TrackbarPosition(PositionBar), 260);
    t.device.Advance(1000);  // the ticks' own moves of the bar leave the display following
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.window.StatusText(1) == "\t0:01:06 / 0:04:10"; }));
    t.window.StopTimer(kDisplayTimerId);

    // Keys move as on a trackbar, up and page-up toward the start; they show the time the
    // thumb points at, without seeking.
    QSlider& bar = Bar(PositionBar);
    const struct {
        Qt::Key key;
        int to;
    } keys[] = {
        {Qt::Key_Left, 499},   {Qt::Key_Up, 499},       {Qt::Key_Right, 501}, {Qt::Key_Down, 501},
        {Qt::Key_PageUp, 300}, {Qt::Key_PageDown, 700}, {Qt::Key_Home, 0},    {Qt::Key_End, 1000},
    };
    for (const auto& k : keys) {
        t.window.SetTrackbarPosition(PositionBar, 500, true);
        QTest::keyClick(&bar, k.key);
        EXPECT_EQ(t.window.TrackbarPosition(PositionBar), k.to) << k.key;
    }
    EXPECT_EQ(t.window.StatusText(1), "\t0:04:10 / 0:04:10");
    EXPECT_FALSE(t.player.playback.positionLive);
    EXPECT_TRUE(t.device.seeks.empty());

    // A click beside the thumb pages a fifth of the range and seeks there.
    t.window.SetTrackbarPosition(PositionBar, 0, true);
    const int middle = bar.height() / 2;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 10, middle));
    EXPECT_EQ(t.window.TrackbarPosition(PositionBar), 200);
    EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{50000});
    EXPECT_TRUE(t.player.playback.positionLive);

    // A drag seeks once, where it is let go, after the closing scroll notices, so the display
    // follows the file again.
    t.window.SetTrackbarPosition(PositionBar, 0, true);
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(4, middle));
    QTest::mouseMove(&bar, QPoint(bar.width() / 2, middle));
    const int dragged = t.window.TrackbarPosition(PositionBar);
    EXPECT_GT(dragged, 300);
    EXPECT_LT(dragged, 700);
    EXPECT_FALSE(t.player.playback.positionLive);
    EXPECT_EQ(t.device.seeks.size(), 1u);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, middle));
    ASSERT_EQ(t.device.seeks.size(), 2u);
    EXPECT_EQ(t.device.seeks[1], static_cast<uint32_t>(250000.0 * dragged / 1000));
    EXPECT_TRUE(t.player.playback.positionLive);
}

TEST_F(QtWindowTest, TheVolumeBarAppliesItsPositionWhenPainted) {
    t.window.SetTrackbarPosition(VolumeBar, 250, true);
    t.volume.written.clear();
    Bar(VolumeBar).repaint();
    ASSERT_FALSE(t.volume.written.empty());
    EXPECT_EQ(t.volume.written.back(), 16383u | (16383u << 16));
    t.volume.written.clear();
    Bar(PositionBar).repaint();
    EXPECT_TRUE(t.volume.written.empty());
}

}  // namespace
}  // namespace tav::test
