// The Qt main window on real widgets: controls, layout, status bar, start texts, and the
// messages the user's actions turn into.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/display.h"
#include "player/layout.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

constexpr int kClientWidth = 784;  // 800 x 636 outside, less the stand-in frame
constexpr int kClientHeight = 597;
constexpr int kComboFieldHeight = 20;

class QtWindowTest : public ::testing::Test {
protected:
    QWidget& Widget(int id) const {
        QWidget* widget = t.window.Control(id);
        EXPECT_NE(widget, nullptr) << id;
        return *widget;
    }
    QRect Geometry(int id) const { return Widget(id).geometry(); }
    template <typename W>
    W& As(int id) const {
        auto* widget = qobject_cast<W*>(&Widget(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return *widget;
    }
    void OpenShown() {
        t.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window));
    }
    // Where the layout puts every moved control; a drop-down list keeps its field height.
    void ExpectLayout(int width, int height) const {
        for (const Placement& placed : ComputeLayout(width, height)) {
            QRect expected(placed.rect.x, placed.rect.y, placed.rect.width, placed.rect.height);
            if (placed.id == UnitCombo) {
                expected.setHeight(kComboFieldHeight);
            }
            EXPECT_EQ(Geometry(placed.id), expected) << "control " << placed.id;
        }
    }
    std::vector<QRect> StatusParts() const {
        std::vector<QRect> parts;
        for (int part = 0; part < QtStatusBar::kPartCount; ++part) {
            parts.push_back(t.window.StatusBar()->Part(part).geometry());
        }
        return parts;
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
};

Qt::Alignment Horizontal(Qt::Alignment alignment) {
    return alignment & Qt::AlignHorizontal_Mask;
}

TEST_F(QtWindowTest, EveryControlIsTheWidgetOfItsClassAndStyle) {
    t.window.Route({WM_CREATE_, 0, 0});
    for (const ControlSpec& row : ControlTable()) {
        SCOPED_TRACE(row.role);
        QWidget& widget = Widget(row.id);
        const bool sunken = (row.exStyle & style::ExClientEdge) != 0;
        EXPECT_EQ(widget.font().pixelSize(), 12);
        EXPECT_TRUE(QFontInfo(widget.font()).family().contains("CJK"));
        EXPECT_NE(widget.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        switch (row.kind) {
        case ControlClass::ListBox:
            EXPECT_TRUE(As<QListView>(row.id).uniformItemSizes());
            EXPECT_EQ(As<QListView>(row.id).selectionMode(), QAbstractItemView::SingleSelection);
            break;
        case ControlClass::Edit:
            if ((row.style & style::EditMultiline) != 0) {
                EXPECT_TRUE(As<QPlainTextEdit>(row.id).isReadOnly());
                EXPECT_EQ(As<QPlainTextEdit>(row.id).frameShadow(), QFrame::Sunken);
            } else {
                const bool centred = (row.style & style::EditCenter) != 0;
                EXPECT_EQ(Horizontal(As<QLineEdit>(row.id).alignment()),
                          centred ? Qt::AlignHCenter : Qt::AlignLeft);
                EXPECT_EQ(As<QLineEdit>(row.id).hasFrame(), sunken);
            }
            break;
        case ControlClass::Button:
            EXPECT_EQ(As<QPushButton>(row.id).text().toStdString(), row.text);
            break;
        case ControlClass::ComboBox:
            EXPECT_FALSE(As<QComboBox>(row.id).isEditable());
            break;
        case ControlClass::Static: {
            const QLabel& label = As<QLabel>(row.id);
            Qt::Alignment expected = Qt::AlignLeft;
            if ((row.style & style::StaticRight) != 0) {
                expected = Qt::AlignRight;
            } else if ((row.style & style::StaticCenter) != 0) {
                expected = Qt::AlignHCenter;
            }
            EXPECT_EQ(Horizontal(label.alignment()), expected);
            EXPECT_EQ(label.frameShadow() == QFrame::Sunken, sunken);
            EXPECT_EQ(label.text().toStdString(), row.text);
            break;
        }
        case ControlClass::Trackbar:
            EXPECT_EQ(As<QSlider>(row.id).orientation(), Qt::Horizontal);
            EXPECT_EQ(As<QSlider>(row.id).tickPosition(), QSlider::NoTicks);
            break;
        }
    }
}

TEST_F(QtWindowTest, WithoutAKnownFrameATypicalFrameStandsIn) {
    EXPECT_EQ(t.window.windowTitle(), "Tavrello");
    EXPECT_EQ(t.window.size(), QSize(kClientWidth, kClientHeight));
    const Edges outer = t.window.WindowEdges();
    EXPECT_EQ(outer.right - outer.left, 800);
    EXPECT_EQ(outer.bottom - outer.top, 636);
}

TEST_F(QtWindowTest, FirstShowStandsAtTheLayoutNotTheCreationRectangles) {
    OpenShown();
    // The client area is fitted to the frame the platform draws (none, or offscreen's own).
    ASSERT_TRUE(WaitUntil([&] {
        const Edges outer = t.window.WindowEdges();
        return outer.right - outer.left == 800 && outer.bottom - outer.top == 636;
    }));
    const int width = t.window.width();
    const int height = t.window.height();
    ExpectLayout(width, height);
    EXPECT_EQ(Geometry(TargetLabel), QRect(0, 202, 60, 16));
    EXPECT_EQ(Geometry(TargetButton), QRect(64, 200, 60, 20));

    // The list ends 18 pixels above the bottom, where the status bar begins.
    EXPECT_EQ(Geometry(TrackList).y() + Geometry(TrackList).height(), height - 18);
    EXPECT_EQ(t.window.StatusBar()->geometry(), QRect(0, height - 18, width, 18));
}

TEST_F(QtWindowTest, ResizeMovesTheOptionRowTheListAndTheStatusParts) {
    OpenShown();
    t.window.resize(1000, 700);
    ASSERT_TRUE(WaitUntil([&] { return Geometry(TrackList).height() == 700 - 242; }));
    ExpectLayout(1000, 700);
    EXPECT_EQ(Geometry(TargetLabel), QRect(0, 202, 60, 16));
    EXPECT_EQ(t.window.StatusBar()->geometry(), QRect(0, 682, 1000, 18));

    // Parts run from just right of the previous part to their own right edge.
    const std::vector<QRect> parts = StatusParts();
    const int rights[] = {720, 840, 900, 1000};
    for (std::size_t part = 0; part < parts.size(); ++part) {
        EXPECT_EQ(parts[part].x() + parts[part].width(), rights[part]) << part;
        EXPECT_EQ(parts[part].x(), part == 0 ? 0 : rights[part - 1] + 2) << part;
    }
}

TEST_F(QtWindowTest, StatusBarStartsWithTheCreationEdgesAndTheCentredStartTexts) {
    t.window.Route({WM_CREATE_, 0, 0});
    const std::vector<QRect> parts = StatusParts();
    const int rights[] = {40, 80, 120, 160};
    for (std::size_t part = 0; part < parts.size(); ++part) {
        EXPECT_EQ(parts[part].x() + parts[part].width(), rights[part]) << part;
    }
    const char* shown[] = {"", "0:00:00 / 0:00:00", "0 / 0", "0 / 0"};
    for (int part = 0; part < QtStatusBar::kPartCount; ++part) {
        const QLabel& label = t.window.StatusBar()->Part(part);
        EXPECT_EQ(label.text().toStdString(), shown[part]) << part;
        EXPECT_EQ(label.frameShadow(), QFrame::Sunken);
        if (part > 0) {
            EXPECT_EQ(Horizontal(label.alignment()), Qt::AlignHCenter) << part;
        }
    }
    EXPECT_EQ(t.window.StatusText(1), "\t0:00:00 / 0:00:00");

    t.window.SetStatusText(2, "left");
    EXPECT_EQ(Horizontal(t.window.StatusBar()->Part(2).alignment()), Qt::AlignLeft);
}

TEST_F(QtWindowTest, StartShowsTheTitleUnitAndTarget) {
    OpenShown();
    EXPECT_EQ(t.window.windowTitle(), "Tavrello  Ver.1.06");
    const QComboBox& combo = As<QComboBox>(UnitCombo);
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(1), "ファイル単位");
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.currentText(), "フォルダ単位");
    EXPECT_EQ(As<QLabel>(TargetLabel).text(), "MP3+WAV");
    EXPECT_EQ(As<QLineEdit>(FolderEdit).text(), "");
    EXPECT_TRUE(As<QLineEdit>(ExclusionEdit).isEnabled());
}

TEST_F(QtWindowTest, ButtonClicksRouteTheirCommands) {
    OpenShown();
    for (const char* expected : {"MP3", "WAV", "MP3+WAV"}) {
        QTest::mouseClick(&Widget(TargetButton), Qt::LeftButton);
        EXPECT_EQ(As<QLabel>(TargetLabel).text(), expected);
    }
    EXPECT_EQ(t.player.options.playTarget, 3);
}

TEST_F(QtWindowTest, OnlyTheUsersUnitChoiceTogglesTheExclusionEdit) {
    OpenShown();
    t.window.SetComboSelection(1);  // as the settings would: no notification
    EXPECT_TRUE(Widget(ExclusionEdit).isEnabled());

    t.window.SetComboSelection(0);
    QComboBox& combo = As<QComboBox>(UnitCombo);
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(t.window.ComboSelection(), 1);
    EXPECT_FALSE(Widget(ExclusionEdit).isEnabled());
    QTest::keyClick(&combo, Qt::Key_Up);
    EXPECT_TRUE(Widget(ExclusionEdit).isEnabled());
}

TEST_F(QtWindowTest, EveryExclusionTextChangeReachesThePlayer) {
    OpenShown();
    QLineEdit& edit = As<QLineEdit>(ExclusionEdit);
    QTest::keyClicks(&edit, "live");
    EXPECT_EQ(t.player.options.exclusionText, "live");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(t.player.options.exclusionText, "liv");

    // Texts the program sets report too, even an unchanged one.
    t.window.SetControlText(ExclusionEdit, "ライブ");
    EXPECT_EQ(t.player.options.exclusionText, "ライブ");
    t.player.options.exclusionText.clear();
    t.window.SetControlText(ExclusionEdit, "ライブ");
    EXPECT_EQ(t.player.options.exclusionText, "ライブ");
}

TEST_F(QtWindowTest, TabNeverMovesTheFocus) {
    OpenShown();
    t.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.window));
    for (const int id :
         {FolderEdit, ExclusionEdit, TrackList, PlayButton, UnitCombo, VolumeBar, InfoTitle}) {
        QWidget& widget = Widget(id);
        widget.setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(WaitUntil([&] { return widget.hasFocus(); })) << "control " << id;
        QTest::keyClick(&widget, Qt::Key_Tab);
        QTest::keyClick(&widget, Qt::Key_Backtab);
        QTest::keyClick(&widget, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), &widget) << "control " << id;
    }
}

TEST_F(QtWindowTest, ListCountsShowInTheStatusBarAfterAdding) {
    OpenShown();
    for (const char* entry : {"/m/c/", "/m/a/", "/m/b.mp3"}) {
        t.list.Add(entry);
    }
    ShowListPosition(t.player);
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 3");
    t.list.Select(1);
    ShowListPosition(t.player);
    EXPECT_EQ(t.window.StatusBar()->Part(3).text(), "2 / 3");
    EXPECT_EQ(As<QListView>(TrackList).currentIndex().data().toString(), "/m/b.mp3");
}

TEST_F(QtWindowTest, MoveWindowRunsTheLayoutAtOnce) {
    t.window.Route({WM_CREATE_, 0, 0});
    t.window.MoveWindow({0, 0, 900, 700});  // still hidden, as while the settings load
    EXPECT_EQ(t.window.size(), QSize(900 - 16, 700 - 39));
    EXPECT_EQ(Geometry(TrackList).height(), 700 - 39 - 242);
}

TEST_F(QtWindowTest, MovedWindowReportsTheRectangleItWasGiven) {
    OpenShown();
    t.window.MoveWindow({100, 50, 900, 700});
    EXPECT_EQ(Geometry(TrackList).height(), t.window.height() - 242);
    ASSERT_TRUE(WaitUntil([&] { return t.window.WindowEdges() == Edges{100, 50, 1000, 750}; }));
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

TEST_F(QtWindowTest, HandlesAreControlIds) {
    t.window.Route({WM_CREATE_, 0, 0});
    EXPECT_EQ(t.window.ControlIdFromHandle(PositionBar), PositionBar);
    EXPECT_EQ(t.window.ControlIdFromHandle(VolumeBar), VolumeBar);
    EXPECT_EQ(t.window.ControlIdFromHandle(StatusBarId), 0);
    EXPECT_EQ(t.window.ControlIdFromHandle(0), 0);
}

}  // namespace
}  // namespace tav::test
