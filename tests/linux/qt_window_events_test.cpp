// Messages that arrive later or from the bars: timer ticks, posted notices, the trackbars'
// scroll and release notices, the volume bar's paint, message boxes and closing the window.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <thread>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

class QtWindowEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window));
    }
    QSlider& Bar(int id) const { return *qobject_cast<QSlider*>(t.window.Control(id)); }
    QString Label(int id) const { return qobject_cast<QLabel*>(t.window.Control(id))->text(); }

    // A file of 4 min 10 s, playing and 1 min 5 s in.
    void PlayFileAtOneMinuteFive() {
        const std::string path = dir.AddFile("a.wav");
        t.device.lengths[path] = 250000;
        uint32_t id = 0;
        ASSERT_EQ(t.device.Open(path, id), 0u);
        t.device.SetTimeFormatMilliseconds(id);
        t.device.Play(id);
        t.device.Advance(65000);
        t.player.playback.deviceId = id;
        t.player.playback.positionLive = true;
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
};

TEST_F(QtWindowEventsTest, TimerTicksArriveAsWmTimer) {
    PlayFileAtOneMinuteFive();
    t.window.StartTimer(kDisplayTimerId, 10);
    ASSERT_TRUE(WaitUntil([&] { return t.window.StatusText(1) == "\t0:01:05 / 0:04:10"; }));
    EXPECT_EQ(t.window.TrackbarPosition(PositionBar), 260);

    t.window.StopTimer(kDisplayTimerId);
    t.device.Advance(5000);
    QTest::qWait(50);
    EXPECT_EQ(t.window.StatusText(1), "\t0:01:05 / 0:04:10");
}

TEST_F(QtWindowEventsTest, DraggingThePositionBarPreviewsAndLettingGoSeeks) {
    PlayFileAtOneMinuteFive();
    QSlider& bar = Bar(PositionBar);
    t.window.SetTrackbarRange(PositionBar, 0, 1000, false);
    t.window.SetTrackbarPosition(PositionBar, 0, true);
    const int middle = bar.height() / 2;

    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(4, middle));
    QTest::mouseMove(&bar, QPoint(bar.width() / 2, middle));
    EXPECT_FALSE(t.player.playback.positionLive);
    const int dragged = t.window.TrackbarPosition(PositionBar);
    EXPECT_GT(dragged, 300);
    EXPECT_LT(dragged, 700);
    EXPECT_NE(t.window.StatusText(1), "\t0:01:05 / 0:04:10");  // the preview time
    EXPECT_TRUE(t.device.seeks.empty());

    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, middle));
    ASSERT_EQ(t.device.seeks.size(), 1u);
    EXPECT_EQ(t.device.seeks[0], static_cast<uint32_t>(250000.0 * dragged / 1000));
    // The release comes after the closing scroll notices, so the display follows again.
    EXPECT_TRUE(t.player.playback.positionLive);
}

TEST_F(QtWindowEventsTest, KeysOnThePositionBarPreviewWithoutSeeking) {
    PlayFileAtOneMinuteFive();
    QSlider& bar = Bar(PositionBar);
    t.window.SetTrackbarRange(PositionBar, 0, 1000, false);
    t.window.SetTrackbarPosition(PositionBar, 500, true);
    QTest::keyClick(&bar, Qt::Key_Up);
    EXPECT_EQ(t.window.TrackbarPosition(PositionBar), 499);
    EXPECT_FALSE(t.player.playback.positionLive);
    EXPECT_EQ(t.window.StatusText(1), "\t0:02:04 / 0:04:10");
    EXPECT_TRUE(t.device.seeks.empty());
}

TEST_F(QtWindowEventsTest, VolumeBarAppliesItsPositionWhenPainted) {
    t.window.SetTrackbarPosition(VolumeBar, 250, true);
    t.volume.written.clear();
    Bar(VolumeBar).repaint();
    ASSERT_FALSE(t.volume.written.empty());
    EXPECT_EQ(t.volume.written.back(), 16383u | (16383u << 16));

    // The position bar's paint changes nothing.
    t.volume.written.clear();
    Bar(PositionBar).repaint();
    EXPECT_TRUE(t.volume.written.empty());
}

// The list reports as a list box does, so clicking the playing folder ends its piece and
// double-clicking it plays the piece again from its first file.
TEST_F(QtWindowEventsTest, ClicksOnThePlayingFolderClearAndRestartItsPiece) {
    std::vector<std::string> files;
    for (const char* name : {"music/A/1.wav", "music/A/2.wav"}) {
        files.push_back(dir.AddFile(name));
        t.device.lengths[files.back()] = 60000;
    }
    t.browser.answer = dir.Path() + "music/";
    const auto click = [&](int id) { qobject_cast<QPushButton*>(t.window.Control(id))->click(); };
    click(FolderButton);
    auto& view = *qobject_cast<QListView*>(t.window.Control(TrackList));
    ASSERT_TRUE(WaitUntil([&] { return view.model()->rowCount() == 1; }));
    click(PlayButton);
    click(NextButton);
    const PieceRecord& piece = t.player.playback.piece;
    ASSERT_EQ(piece.fileIndex, 2);
    ASSERT_EQ(t.device.opened.back(), files[1]);

    const QPoint entry = view.visualRect(view.model()->index(0, 0)).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, entry);
    EXPECT_EQ(piece.fileIndex, 0);
    EXPECT_EQ(piece.fileCount, 0);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, entry);
    EXPECT_EQ(piece.fileIndex, 1);
    EXPECT_EQ(t.device.opened.back(), files[0]);
    EXPECT_EQ(t.device.opened.size(), 3u);
}

TEST_F(QtWindowEventsTest, PostedMessagesArriveLaterFromAnyThread) {
    const Message click{WM_COMMAND_, MakeParam(TargetButton, BN_CLICKED_), 0};
    t.window.Post(click);
    EXPECT_EQ(Label(TargetLabel), "MP3+WAV");  // never from inside the post
    ASSERT_TRUE(WaitUntil([&] { return Label(TargetLabel) == "MP3"; }));

    std::thread poster([&] { t.window.Post(click); });
    poster.join();
    ASSERT_TRUE(WaitUntil([&] { return Label(TargetLabel) == "WAV"; }));
}

TEST_F(QtWindowEventsTest, MessageBoxHasOnlyOkAndKeepsDeliveringPostedMessages) {
    QString caption;
    QString text;
    QString labelWhileOpen;
    int buttons = 0;
    t.window.Post({WM_COMMAND_, MakeParam(TargetButton, BN_CLICKED_), 0});
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        ASSERT_TRUE(WaitUntil([&] { return Label(TargetLabel) == "MP3"; }));
        labelWhileOpen = Label(TargetLabel);
        box->button(QMessageBox::Ok)->click();
    });
    t.window.ShowMessage("不正なパス名です", "Warning");
    EXPECT_EQ(caption, "Warning");
    EXPECT_EQ(text, "不正なパス名です");
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(labelWhileOpen, "MP3");
}

TEST_F(QtWindowEventsTest, ClosingDestroysSavesTheSettingsAndQuitsWithZero) {
    QTimer::singleShot(0, [&] { t.window.close(); });
    QTimer guard;  // never hang the suite; gone with the test
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    const int exitCode = QApplication::exec();
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(t.window.isVisible());
    // WM_DESTROY ran the shutdown, which wrote the settings into the current folder.
    EXPECT_TRUE(std::filesystem::exists(dir.Root() / "linux_tests.ini"));
}

}  // namespace
}  // namespace tav::test
