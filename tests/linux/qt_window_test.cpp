// The Qt front end on real widgets: the window's layout, screen-reader names, timer, trackbars,
// list and folder dialog; Japanese names sorted as a Japanese reader expects and, where not
// UTF-8 (CP932 bytes copied from old Japanese disks), passed byte for byte through the real
// window and shown readably.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "linux/desktop/qt_session_end.h"
#include "linux/desktop/qt_translations.h"
#include "linux/system/native_text.h"
#include "linux/system/posix_file_system.h"
#include "linux/system/qt_text_rules.h"
#include "linux/window/qt_folder_browser.h"
#include "linux/window/qt_main_window.h"
#include "linux/window/qt_text.h"

namespace tav::test {
namespace {

// The one application object the widgets need, kept to the end (the tests run offscreen).
QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "linux_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    app->setQuitOnLastWindowClosed(false);
    return *app;
}

// The real Qt window and list around a player whose other seams are fakes.
struct QtTestPlayer {
    QtTestPlayer() { window.AttachPlayer(player); }

    QApplication& app = TestApplication();
    Utf8TextRules text;
    QtTrackList list{text};
    QtMainWindow window{list};
    FakeFolderBrowser browser;
    FakeEventQueue queue;
    PosixFileSystem files;
    FakeClock clock;
    SimulatedDevice device{files, queue, clock};
    FakeVolume volume;
    FakeTagLoader tags;
    Player player{Seams{window, list, browser, device, volume, files, tags, text, clock, 0}};
};

class QtWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.window));
    }
    QSlider& Bar(int id) const { return *qobject_cast<QSlider*>(t.window.Control(id)); }
    QListView& View() const { return *qobject_cast<QListView*>(t.window.Control(TrackList)); }
    QPoint Row(int row) const { return View().visualRect(t.list.index(row)).center(); }
    std::string SpokenValue(QWidget& widget) const {
        return QAccessible::queryAccessibleInterface(&widget)
            ->text(QAccessible::Description)
            .toStdString();
    }
    std::string SpokenName(QWidget& widget) const {
        const QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(&widget);
        return spoken->text(QAccessible::Name).toStdString();
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    QtTestPlayer t;
};

TEST_F(QtWindowTest, TheStatusBarAndItsPartsFollowTheClientSize) {
    t.window.resize(1000, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.window.StatusBar()->y() == 682; }));
    EXPECT_EQ(t.window.StatusBar()->geometry(), QRect(0, 682, 1000, 18));
    EXPECT_EQ(t.window.Control(TrackList)->geometry(), QRect(0, 224, 1000, 700 - 242));
    // Parts run from just right of the previous part to their own right edge.
    const int rights[] = {720, 840, 900, 1000};
    for (int part = 0; part < QtStatusBar::kPartCount; ++part) {
        const QRect shown = t.window.StatusBar()->Part(part).geometry();
        EXPECT_EQ(shown.x(), part == 0 ? 0 : rights[part - 1] + 2) << part;
        EXPECT_EQ(shown.x() + shown.width(), rights[part]) << part;
    }
    // A leading tab centres a part's text; Japanese is drawn in a CJK font.
    const QLabel& time = t.window.StatusBar()->Part(1);
    EXPECT_EQ(time.text().toStdString(), "0:00:00 / 0:00:00");
    EXPECT_EQ(time.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(QFontInfo(t.window.Control(PlayButton)->font()).family().contains("CJK"));
}

TEST_F(QtWindowTest, EveryControlHasTheNameAScreenReaderSays) {
    // clang-format off
    const char* const named[] = {
        "TrackList", "曲の一覧", "FolderEdit", "フォルダ", "PlayButton", "再生", "StopButton",
        "停止", "RandomPlayButton", "ランダム再生", "ExclusionSuffixLabel", "を含むフォルダ）",
        "ExclusionEdit", "例外", "ExclusionPrefixLabel", "（例外：", "UnitLabel", "１曲 = ",
        "VolumeBar", "音量", "PositionBar", "再生位置", "VolumeLabel", "音量：", "PositionLabel",
        "再生位置：", "PrevButton", "前のファイル", "NextButton", "次のファイル", "FolderButton",
        "フォルダ選択", "TargetLabel", "MP3+WAV", "TargetButton", "演奏対象", "InfoEdit1", "タイトル",
        "InfoEdit2", "アーティスト", "InfoEdit3", "アルバム", "InfoEdit4", "コメント"};
    // On Linux a screen reader names a combo box by its text and the label that names it.
    const char* const labelled[] = {"UnitCombo", "UnitLabel", "ExclusionEdit",
        "ExclusionPrefixLabel", "VolumeBar", "VolumeLabel", "PositionBar", "PositionLabel"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(named); i += 2) {
        auto* widget = t.window.findChild<QWidget*>(named[i]);
        ASSERT_NE(widget, nullptr) << named[i];
        EXPECT_EQ(SpokenName(*widget), named[i + 1]) << named[i];
    }
    for (std::size_t i = 0; i < std::size(labelled); i += 2) {
        auto* widget = t.window.findChild<QWidget*>(labelled[i]);
        ASSERT_NE(widget, nullptr) << labelled[i];
        const auto labels =
            QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << labelled[i];
        EXPECT_EQ(labels.front().first->object()->objectName(), labelled[i + 1]);
    }
    // A label is read as it shows now.
    t.window.SendCommand(TargetButton, BN_CLICKED_);
    EXPECT_EQ(SpokenName(*t.window.Control(TargetLabel)), "MP3");
}

// Far away, inverted far away, huge and tiny saved rectangles all give a window that lies on
// the screen, as large as created where the screen allows and never larger than the screen.
TEST_F(QtWindowTest, SavedRectangleBringsTheWindowOntoTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* rectangle : {"500000,000050,501000,000700", "-99999,-99999,-98999,-99299",
                                  "000000,000000,999999,999999", "000300,000200,000301,000201"}) {
        SCOPED_TRACE(rectangle);
        dir.AddFile("linux_tests.ini", std::string("\r\n\r\n\r\n") + rectangle + "\r\n\r\n");
        QtTestPlayer started;
        started.window.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&started.window));
        const Edges outer = started.window.WindowEdges();
        const QRect placed(outer.left, outer.top, outer.right - outer.left,
                           outer.bottom - outer.top);
        EXPECT_TRUE(screen.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        EXPECT_GE(placed.width(), std::min(kMainWindowWidth, screen.width()));
        EXPECT_GE(placed.height(), std::min(kMainWindowHeight, screen.height()));
    }
}

TEST_F(QtWindowTest, ThePositionBarFollowsThePlayAndSeeksOnlyWhenLetGo) {
    const std::string path = dir.AddFile("a.wav");
    t.device.lengths[path] = 250000;  // 4 min 10 s, playing and 1 min 5 s in
    uint32_t& id = t.player.playback.deviceId;
    ASSERT_EQ(t.device.Open(path, id), 0u);
    t.device.SetTimeFormatMilliseconds(id);
    t.device.Play(id);
    t.device.Advance(65000);
    t.player.playback.positionLive = true;
    t.window.StartTimer(kDisplayTimerId, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.window.StatusText(1) == "\t0:01:05 / 0:04:10"; }));
    EXPECT_EQ(t.window.TrackbarPosition(PositionBar), 260);
    t.device.Advance(1000);  // the ticks' own moves of the bar leave the display following
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.window.StatusText(1) == "\t0:01:06 / 0:04:10"; }));
    t.window.StopTimer(kDisplayTimerId);

    // Keys step 5 s, pages 30 s, up and page-up toward the start, Home and End to the ends;
    // each seeks when let go. A held key (its repeats) shows where it has got to, live, and
    // seeks once.
    QSlider& bar = Bar(PositionBar);
    const std::pair<Qt::Key, uint32_t> keys[] = {{Qt::Key_Left, 61000},   {Qt::Key_Up, 56000},
                                                 {Qt::Key_Right, 61000},  {Qt::Key_Down, 66000},
                                                 {Qt::Key_PageUp, 36000}, {Qt::Key_PageDown, 66000},
                                                 {Qt::Key_Home, 0},       {Qt::Key_End, 250000}};
    for (const auto& [key, to] : keys) {
        t.device.seeks.clear();
        QTest::keyClick(&bar, key);
        EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{to}) << key;
        EXPECT_EQ(t.window.TrackbarPosition(PositionBar), to * 1000 / 250000) << key;
    }
    t.device.Seek(id, 65000);
    t.device.seeks.clear();
    for (const bool repeat : {false, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, {}, QString(), repeat);
        QApplication::sendEvent(&bar, &press);
        if (repeat) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, {}, QString(), true);
            QApplication::sendEvent(&bar, &release);
        }
    }
    EXPECT_EQ(t.window.StatusText(1), "\t0:01:20 / 0:04:10");
    EXPECT_EQ(SpokenValue(bar), "0:01:20 / 0:04:10");
    EXPECT_FALSE(t.player.playback.positionLive);
    QTest::keyRelease(&bar, Qt::Key_Right);
    EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{80000});
    EXPECT_TRUE(t.player.playback.positionLive);

    // A click beside the thumb pages 30 s on and seeks there on its release.
    t.device.seeks.clear();
    const int middle = bar.height() / 2;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 10, middle));
    EXPECT_EQ(t.device.seeks, std::vector<uint32_t>{110000});

    // A drag seeks once, where it is let go, after the closing scroll notices, so the display
    // follows the file again.
    t.window.SetTrackbarPosition(PositionBar, 0, true);
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(4, middle));
    QTest::mouseMove(&bar, QPoint(bar.width() / 2, middle));
    const int dragged = t.window.TrackbarPosition(PositionBar);
    EXPECT_NEAR(dragged, 500, 200);
    EXPECT_FALSE(t.player.playback.positionLive);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, middle));
    EXPECT_EQ(t.device.seeks,
              (std::vector<uint32_t>{110000, static_cast<uint32_t>(250000.0 * dragged / 1000)}));
    EXPECT_TRUE(t.player.playback.positionLive);
}

// Only the user's choice of unit toggles the exclusion edit, not the one the settings make.
TEST_F(QtWindowTest, OnlyTheUsersUnitChoiceTogglesTheExclusionEditAndTheVolumeBarAppliesItself) {
    t.window.SetComboSelection(1);
    EXPECT_TRUE(t.window.Control(ExclusionEdit)->isEnabled());
    t.window.SetComboSelection(0);
    QTest::keyClick(t.window.Control(UnitCombo), Qt::Key_Down);
    EXPECT_FALSE(t.window.Control(ExclusionEdit)->isEnabled());

    // The volume bar applies its position when painted.
    t.window.SetTrackbarPosition(VolumeBar, 250, true);
    t.volume.written.clear();
    Bar(VolumeBar).repaint();
    ASSERT_FALSE(t.volume.written.empty());
    EXPECT_EQ(t.volume.written.back(), 16383u | (16383u << 16));
    t.volume.written.clear();
    Bar(PositionBar).repaint();
    EXPECT_TRUE(t.volume.written.empty());

    // Its keys step a twentieth, a page a fifth; it says its percentage.
    QSlider& volume = Bar(VolumeBar);
    QTest::keyClick(&volume, Qt::Key_Right);
    EXPECT_EQ(volume.value(), 300);
    QTest::keyClick(&volume, Qt::Key_PageDown);
    EXPECT_EQ(volume.value(), 500);
    EXPECT_EQ(SpokenValue(volume), "50%");
}

// The session manager's request to commit data saves what the user set, through the real
// manager Qt made, and leaves the window open: the logout may still be called off.
TEST_F(QtWindowTest, TheSessionManagersCommitRequestSavesTheSettings) {
    const QtSessionEnd ending(t.window);
    qobject_cast<QPushButton*>(t.window.Control(TargetButton))->click();  // MP3+WAV -> MP3
    auto* manager = qGuiApp->findChild<QSessionManager*>();
    ASSERT_NE(manager, nullptr);
    emit qGuiApp->commitDataRequest(*manager);
    const std::string settings = ReadBack(dir.Path() + "linux_tests.ini").value_or("");
    EXPECT_TRUE(settings.ends_with("\r\n1\r\n")) << settings;
    EXPECT_TRUE(t.window.isVisible());
}

// The program's changes to the list reach the view in one reset per settle, unreported. As in a
// list box, every click and navigation key of the user is reported, also on the selected entry:
// clicking the playing folder ends its piece and double-clicking it plays it from the start.
TEST_F(QtWindowTest, EveryClickAndNavigationKeyInTheListIsReported) {
    QSignalSpy selections{&t.list, &QtTrackList::userSelectionChanged};
    QSignalSpy resets(&t.list, &QAbstractItemModel::modelReset);
    std::vector<std::string> files;
    for (const char* name : {"music/A/1.wav", "music/A/2.wav", "music/B/1.wav"}) {
        files.push_back(dir.AddFile(name));
        t.device.lengths[files.back()] = 60000;
    }
    t.browser.answer = dir.Path() + "music/";
    t.window.SendCommand(FolderButton, BN_CLICKED_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().model()->rowCount() == 2; }));
    EXPECT_EQ(resets.count(), 2);  // emptied, then filled in one go
    t.window.SendCommand(PlayButton, BN_CLICKED_);
    t.window.SendCommand(NextButton, BN_CLICKED_);
    const PieceRecord& piece = t.player.playback.piece;
    ASSERT_EQ(piece.fileIndex, 2);
    EXPECT_EQ(selections.count(), 0);

    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, Row(0));
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(piece.fileIndex, 0);
    EXPECT_EQ(piece.fileCount, 0);
    QSignalSpy doubleClicks{&t.list, &QtTrackList::userDoubleClicked};
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, Row(0));
    EXPECT_EQ(piece.fileIndex, 1);
    EXPECT_EQ(t.device.opened, (std::vector{files[0], files[1], files[0]}));

    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, Row(1));
    EXPECT_EQ(t.list.Selection(), 1);
    QTest::keyClick(View().viewport(), Qt::Key_End);
    QTest::keyClick(View().viewport(), Qt::Key_Up);
    EXPECT_EQ(t.list.Selection(), 0);
    EXPECT_EQ(selections.count(), 4);
    // Return, keypad Enter and Space play the selected entry, as a double-click.
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Return, Qt::NoModifier}, std::pair{Qt::Key_Enter, Qt::KeypadModifier},
          std::pair{Qt::Key_Space, Qt::NoModifier}}) {
        t.window.SendCommand(StopButton, BN_CLICKED_);
        QTest::keyClick(&View(), key, modifiers);
        EXPECT_EQ(t.device.opened.back(), files[0]) << key;
        EXPECT_EQ(piece.fileIndex, 1) << key;
    }
    EXPECT_EQ(t.device.opened.size(), 6u);
    // Below the last entry there is nothing to play.
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, QPoint(10, View().height() - 10));
    EXPECT_EQ(doubleClicks.count(), 4);
}

TEST(CollatingTextRules, JapaneseNamesSortAsAJapaneseReaderExpects) {
    // Digits, Latin letters (full-width among them), kana by reading whatever the script
    // (hiragana first), then kanji; a folder's entries stay together.
    const std::vector<std::string> expected = {
        "/m/01 intro/", "/m/alpha/", "/m/ＢＥＴＡ/", "/m/gamma/", "/m/あ/い.mp3",
        "/m/あい/",     "/m/イカ/",  "/m/うみ/",     "/m/エビ/",  "/m/かな/",
        "/m/カナ/",     "/m/漢字/",  "/m/全角/",
    };
    std::vector<std::string> shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
    const CollatingTextRules rules(QLocale(QLocale::Japanese, QLocale::Japan));
    SortedList list(rules);
    std::ranges::for_each(shuffled, [&](const std::string& name) { list.Add(name); });
    EXPECT_EQ(list.Entries(), expected);

    // Comparing two texts agrees with the list, and ignores ASCII case only.
    for (std::size_t i = 1; i < expected.size(); ++i) {
        EXPECT_LT(rules.CompareNoCase(expected[i - 1], expected[i]), 0) << expected[i];
        EXPECT_GT(rules.CompareNoCase(expected[i], expected[i - 1]), 0) << expected[i];
    }
    EXPECT_EQ(rules.CompareNoCase("/m/Alpha.MP3", "/m/alpha.mp3"), 0);
    EXPECT_LT(rules.CompareNoCase(".MP3", ".wav"), 0);
    EXPECT_LT(rules.CompareNoCase(".9", ".a"), 0);
    EXPECT_NE(rules.CompareNoCase("/m/かな/", "/m/カナ/"), 0);
}

TEST(CollatingTextRules, AsciiNamesFollowTheLocalesOwnLetters) {
    // In Danish "aa" is the letter å, after z: there ASCII names are not in byte order.
    const std::vector<std::string> expected = {"/m/ab/", "/m/zz/", "/m/aa/", "/m/åb/"};
    const CollatingTextRules rules(QLocale(QLocale::Danish, QLocale::Denmark));
    SortedList list(rules);
    std::for_each(expected.rbegin(), expected.rend(),
                  [&](const std::string& name) { list.Add(name); });
    EXPECT_EQ(list.Entries(), expected);
}

TEST_F(QtWindowTest, Cp932NamesComeBackByteForByte) {
    // Shown part by part as UTF-8, else CP932, else with the bytes escaped, valid UTF-8 kept.
    EXPECT_EQ(DisplayText("/音楽/\x8b\xc8/\xb1\xb2.wav").toStdString(), "/音楽/曲/ｱｲ.wav");
    EXPECT_EQ(DisplayText("a\xff/\x83").toStdString(), "a\\xff/\\x83");
    EXPECT_EQ(DisplayText("\xe9\x9f\xb3\x83").toStdString(), "音\\x83");
    const std::string root = dir.Path() + "\x83\x65\x83\x58\x83\x67";  // テスト
    const std::string folder = root + "/\x8b\xc8/";                    // 曲
    const std::string name = "\x89\xb9\r.mp3";                         // 音, a CR
    dir.AddFile(folder.substr(dir.Path().size()) + name);
    dir.AddFile("linux_tests.ini", root + "\r\n0\r\n\r\n0,0,800,636\r\n3\r\n");
    dir.AddFile("PlayedMusicList.out", "");

    // Closed in the event loop, which saves the settings and ends the loop.
    QtTestPlayer p;
    p.window.Open();
    EXPECT_EQ(p.window.ControlText(FolderEdit), root);
    qobject_cast<QPushButton*>(p.window.Control(PlayButton))->click();
    EXPECT_TRUE(p.browser.calls.empty()) << "the saved root is scanned, not browsed for";
    ASSERT_EQ(p.list.Count(), 1);
    EXPECT_EQ(p.list.Text(0), folder);
    EXPECT_EQ(p.device.opened, std::vector<std::string>{folder + name});
    EXPECT_EQ(p.window.Title(), folder + name);
    EXPECT_EQ(p.window.ControlText(InfoTitle), name);
    EXPECT_EQ(p.window.ControlText(InfoArtist), folder);
    EXPECT_TRUE(p.window.windowTitle().endsWith(u"テスト/曲/音\r.mp3"_qs))
        << p.window.windowTitle().toStdString();
    p.list.Publish();
    EXPECT_TRUE(
        p.list.data(p.list.index(0), Qt::DisplayRole).toString().endsWith(u"テスト/曲/"_qs));
    QTimer::singleShot(0, [&] { p.window.close(); });
    QTimer::singleShot(10000, &p.window, [] { QCoreApplication::exit(99); });  // no hang
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(ReadBack(dir.Path() + "PlayedMusicList.out"), folder + name + "\r\n");
    const std::string settings = ReadBack(dir.Path() + "linux_tests.ini").value_or("");
    EXPECT_EQ(settings.substr(0, settings.find("\r\n")), root);
}

// The window's own texts in English in every locale but Japanese, the C locale included, and
// the core's Japanese byte for byte in a Japanese one. Either way the core reads back the bytes
// it wrote, and a name or tag that looks like one of its texts is shown as it is.
TEST_F(QtWindowTest, TheWindowSpeaksEnglishInEveryLocaleButJapanese) {
    for (const char* locale : {"de_DE.UTF-8", "C", "ja_JP.UTF-8"}) {
        SCOPED_TRACE(locale);
        const bool english = locale[0] != 'j';
        const QtTranslations translations{QLocale(QString::fromLatin1(locale))};
        QtTestPlayer p;
        p.window.Open();
        const auto shown = [&](int id) {
            auto* button = qobject_cast<QAbstractButton*>(p.window.Control(id));
            return button ? button->text() : qobject_cast<QLabel*>(p.window.Control(id))->text();
        };
        EXPECT_EQ(shown(RandomPlayButton), english ? u"Shuffle"_qs : u"ランダム再生"_qs);
        EXPECT_EQ(shown(VolumeLabel), english ? u"Volume:"_qs : u"音量："_qs);
        EXPECT_EQ(qobject_cast<QComboBox*>(p.window.Control(UnitCombo))->itemText(1),
                  english ? u"Single file"_qs : u"ファイル単位"_qs);
        EXPECT_EQ(p.window.Control(NextButton)->accessibleName(),
                  english ? u"Next file"_qs : u"次のファイル"_qs);
        // In English no label or button keeps a CJK character or full-width form (U+3000 on).
        for (const ControlSpec& row : ControlTable()) {
            if (row.kind == ControlClass::Button || row.kind == ControlClass::Static) {
                const QString text = shown(row.id);
                EXPECT_TRUE(english ? std::all_of(text.begin(), text.end(),
                                                  [](QChar c) { return c.unicode() < 0x3000; })
                                    : text.toStdString() == row.text)
                    << row.role << ": " << text.toStdString();
                EXPECT_EQ(p.window.ControlText(row.id), row.text) << row.role;
            }
        }
        p.window.SetControlText(ExclusionEdit, "停止");
        EXPECT_EQ(qobject_cast<QLineEdit*>(p.window.Control(ExclusionEdit))->text(), u"停止"_qs);
        EXPECT_EQ(p.window.ControlText(ExclusionEdit), "停止");
        // A message box and the folder dialog, each closed from inside its own loop.
        QStringList seen;
        const auto closeDialog = [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            const auto* box = qobject_cast<QMessageBox*>(dialog);
            seen << dialog->windowTitle() << (box ? box->text() : QString());
            dialog->close();
        };
        QTimer::singleShot(0, closeDialog);
        p.window.ShowMessage("デバイスのオープンに失敗", "error");
        QTimer::singleShot(0, closeDialog);
        QtFolderBrowser{p.window}.Browse("タイトルです。", std::nullopt);
        const QStringList expected =
            english
                ? QStringList{"Error", "Could not open the sound device", "Choose the music folder",
                              ""}
                : QStringList{"error", u"デバイスのオープンに失敗"_qs, u"タイトルです。"_qs, ""};
        EXPECT_EQ(seen, expected);
    }
}

// Sets an environment variable for one scope, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* was = std::getenv(name)) {
            kept_ = was;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { kept_ ? setenv(name_, kept_->c_str(), 1) : unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> kept_;
};

TEST_F(QtWindowTest, TheFolderDialogStartsAtTheRootElseMusicElseHomeAndReturnsTheConfirmed) {
    QtFolderBrowser browser{t.window};
    const std::string folder = dir.AddFolder("曲/アルバム");
    // No root: the music folder the user's folder list names, then (gone) home; never the
    // current directory, the settings folder of a start from the menu.
    const std::string home = dir.AddFolder("家");
    const std::string music = dir.AddFolder("家/音楽");
    dir.AddFile("設定/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/音楽\"\n");
    const ScopedEnv homeVariable{"HOME", home};
    const ScopedEnv configVariable{"XDG_CONFIG_HOME", dir.Path() + "設定"};
    const struct {
        std::optional<std::string> initial;
        std::string start;
        bool confirm;
    } cases[] = {{folder + "/", folder, true},
                 {folder + "/", folder, false},
                 {std::nullopt, music, false},
                 {std::nullopt, home, false}};
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {  // inside the dialog's own loop
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "タイトルです。");
            EXPECT_EQ(dialog->directory().absolutePath().toStdString(), c.start);
            QDialog& answered = *dialog;
            c.confirm ? answered.accept() : answered.reject();
        });
        const auto chosen = browser.Browse("タイトルです。", c.initial);
        EXPECT_EQ(chosen, c.confirm ? std::optional(folder) : std::nullopt);  // no trailing "/"
        if (c.start == music) {
            std::filesystem::remove(music);
        }
    }
}

}  // namespace
}  // namespace tav::test
