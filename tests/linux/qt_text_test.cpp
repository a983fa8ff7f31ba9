// Japanese names: sorted as a Japanese reader expects and, where they are not UTF-8 (names
// copied from old Japanese disks are CP932 bytes), passed through the real window byte for
// byte and shown readably.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "catalogue/sorted_list.h"
#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "linux/qt_text.h"
#include "linux/qt_text_rules.h"
#include "player/control_table.h"
#include "qt_test_support.h"

namespace tav::test {
namespace {

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
    for (const std::string& name : shuffled) {
        list.Add(name);
    }
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

class QtWindowBytesTest : public ::testing::Test {
protected:
    // Opens the window on the settings in the current folder, runs `use`, then closes it in
    // the event loop, which saves the settings and ends the loop.
    template <typename Use>
    void Run(Use use) {
        QtTestPlayer t;
        t.window.Open();
        use(t);
        QTimer::singleShot(0, [&] { t.window.close(); });
        QTimer::singleShot(10000, &t.window, [] { QCoreApplication::exit(99); });  // no hang
        EXPECT_EQ(QApplication::exec(), 0);
    }
    std::string Read(const char* name) {
        std::ifstream in(dir.Root() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string SettingsLine1() {
        const std::string settings = Read("linux_tests.ini");
        return settings.substr(0, settings.find("\r\n"));
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
};

TEST_F(QtWindowBytesTest, Cp932NamesComeBackByteForByte) {
    // Shown part by part as UTF-8, else CP932, else with the bytes escaped.
    EXPECT_EQ(DisplayText("/音楽/\x8b\xc8/\xb1\xb2.wav"), u"/音楽/曲/ｱｲ.wav"_qs);
    EXPECT_EQ(DisplayText("a\xff/\x83"), u"a\\xff/\\x83"_qs);
    EXPECT_EQ(DisplayText("\xe9\x9f\xb3\x83"), u"音\\x83"_qs);  // valid UTF-8 kept beside them
    const std::string root = dir.Path() + "\x83\x65\x83\x58\x83\x67";  // テスト
    const std::string folder = root + "/\x8b\xc8/";                    // 曲
    const std::string name = "\x89\xb9\r.mp3";                         // 音, a CR
    dir.AddFile(folder.substr(dir.Path().size()) + name);
    std::ofstream(dir.Root() / "linux_tests.ini", std::ios::binary)
        << root << "\r\n0\r\n\r\n0,0,800,636\r\n3\r\n";
    std::ofstream(dir.Root() / "PlayedMusicList.out").flush();

    Run([&](QtTestPlayer& t) {
        EXPECT_EQ(t.window.ControlText(FolderEdit), root);
        qobject_cast<QPushButton*>(t.window.Control(PlayButton))->click();
        EXPECT_TRUE(t.browser.calls.empty()) << "the saved root is scanned, not browsed for";
        ASSERT_EQ(t.list.Count(), 1);
        EXPECT_EQ(t.list.Text(0), folder);
        EXPECT_EQ(t.device.opened, std::vector<std::string>{folder + name});
        EXPECT_EQ(t.window.Title(), folder + name);
        EXPECT_EQ(t.window.ControlText(InfoTitle), name);
        EXPECT_EQ(t.window.ControlText(InfoArtist), folder);
        EXPECT_TRUE(t.window.windowTitle().endsWith(u"テスト/曲/音\r.mp3"_qs))
            << t.window.windowTitle().toStdString();
        t.list.Publish();
        EXPECT_TRUE(
            t.list.data(t.list.index(0), Qt::DisplayRole).toString().endsWith(u"テスト/曲/"_qs));
    });
    EXPECT_EQ(Read("PlayedMusicList.out"), folder + name + "\r\n");
    EXPECT_EQ(SettingsLine1(), root);

    // After a restart the root is still the same bytes; what the user types is UTF-8.
    Run([&](QtTestPlayer& t) { EXPECT_EQ(t.window.ControlText(FolderEdit), root); });
    EXPECT_EQ(SettingsLine1(), root);
    Run([&](QtTestPlayer& t) {
        auto* edit = qobject_cast<QLineEdit*>(t.window.Control(FolderEdit));
        edit->clear();
        QTest::keyClicks(edit, "/x");
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, u"音"_qs, Qt::NoModifier);
        EXPECT_EQ(t.window.ControlText(FolderEdit), "/x音");
    });
    EXPECT_EQ(SettingsLine1(), "/x音");
}

}  // namespace
}  // namespace tav::test
