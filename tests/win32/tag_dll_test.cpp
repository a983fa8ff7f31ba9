#include "win32/tag_dll.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "fakes/test_player.h"
#include "info/track_info.h"
#include "player/control_table.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

constexpr const char* kHint =
    "※mp3infp.dll を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。";

std::string TestLibrary() {
    return BesideTestProgram("mp3infp.dll");
}

std::string IncompleteLibrary() {
    return BesideTestProgram("incomplete\\mp3infp.dll");
}

TEST(DllTagLibraryLoader, ReadsTheCannedValuesThroughAllFourExports) {
    TempDir dir;
    const std::string tagged = dir.AddFile("tagged.mp3");
    DllTagLibraryLoader loader(TestLibrary());
    auto library = loader.Load();
    ASSERT_NE(library, nullptr) << TestLibrary();
    ASSERT_TRUE(library->HasAllExports());
    ASSERT_EQ(library->Load(0, tagged), 0U);
    EXPECT_EQ(library->GetType(), 1U);
    EXPECT_EQ(library->GetTagType(), 3U);
    EXPECT_EQ(library->GetValue("INAM_v2"), "テスト曲");
    EXPECT_EQ(library->GetValue("ICMT_v2"), "");  // a null pointer is empty text
    EXPECT_NE(library->Load(0, dir.Path() + "missing.mp3"), 0U);
}

TEST(DllTagLibraryLoader, EveryLoadIsFreshAndReleasedWithTheLibrary) {
    DllTagLibraryLoader loader(TestLibrary());
    for (int round = 0; round < 2; ++round) {
        auto library = loader.Load();
        ASSERT_NE(library, nullptr);
        EXPECT_NE(GetModuleHandleA(TestLibrary().c_str()), nullptr);
        library.reset();
        EXPECT_EQ(GetModuleHandleA(TestLibrary().c_str()), nullptr) << "not released";
    }
}

TEST(DllTagLibraryLoader, MissingExportOrLibrary) {
    TempDir dir;
    auto incomplete = DllTagLibraryLoader(IncompleteLibrary()).Load();
    ASSERT_NE(incomplete, nullptr) << IncompleteLibrary();
    EXPECT_FALSE(incomplete->HasAllExports());
    EXPECT_EQ(DllTagLibraryLoader(dir.Path() + "mp3infp.dll").Load(), nullptr);
    EXPECT_EQ(DllTagLibraryLoader("").Load(), nullptr);
}

TEST(DllTagLibraryLoader, IgnoresALibraryPlantedInTheCurrentFolder) {
    TempDir planted;
    TempDir empty;
    ASSERT_NE(CopyFileA(TestLibrary().c_str(), (planted.Path() + "mp3infp.dll").c_str(), FALSE), 0);
    const CurrentFolder inPlanted(planted.Path());
    EXPECT_EQ(DllTagLibraryLoader(empty.Path() + "mp3infp.dll").Load(), nullptr);
}

TEST(BesideExecutable, FolderEndsAtTheLastRealSeparator) {
    const AnsiTextRules rules;
    struct Case {
        const char* executable;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Tavrello\\Tavrello.exe", "C:\\Program Files\\Tavrello\\mp3infp.dll"},
        // ソ and 表 end in 0x5C, which is no separator.
        {"C:\\\x83\x5C\\\x95\x5C.exe", "C:\\\x83\x5C\\mp3infp.dll"},
        {"C:\\x\\\x95\x5C\x95\x5C.exe", "C:\\x\\mp3infp.dll"},
        {"\\\\server\\share\\t.exe", "\\\\server\\share\\mp3infp.dll"},
        {"Tavrello.exe", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BesideExecutable(c.executable, "mp3infp.dll", rules), c.expected) << c.executable;
    }
}

// The tag lines and the window title through the real library loader.
class TrackInfoWithDllTest : public ::testing::Test {
protected:
    void ShowWith(const std::string& libraryPath, const std::string& file) {
        DllTagLibraryLoader loader(libraryPath);
        TestPlayer t;
        Player player(Seams{t.window, t.list, t.browser, t.device, t.volume, t.files, loader,
                            t.nativeText, t.clock, 0});
        player.log.logEnabled = false;
        player.log.logRewritePending = false;
        ShowTrackInfo(player, file);
        lines = {t.window.ControlText(InfoTitle), t.window.ControlText(InfoArtist),
                 t.window.ControlText(InfoAlbum), t.window.ControlText(InfoComment)};
        title = t.window.Title();
    }

    TempDir dir;
    std::array<std::string, 4> lines;
    std::string title;
};

TEST_F(TrackInfoWithDllTest, TagValuesOrFileName) {
    struct Case {
        const char* file;
        std::array<std::string, 4> lines;  // "<folder>" stands for the file's folder
        std::string title;                 // empty: the full path
    };
    const Case cases[] = {
        {"tagged.mp3", {"テスト曲", "テスト歌手", "アルバム", ""}, "テスト曲 - テスト歌手"},
        {"v1only.mp3", {"Old Title", "Old Artist", "", "v1"}, "Old Title - Old Artist"},
        {"wave.wav", {"波の音", "録音者", "WAV album", "WAV comment"}, "波の音 / 録音者"},
        {"plain.mp3", {"plain.mp3", "<folder>", "", ""}, ""},
    };
    for (const Case& c : cases) {
        const std::string path = dir.AddFile(c.file);
        ShowWith(TestLibrary(), path);
        std::array<std::string, 4> expected = c.lines;
        if (expected[1] == "<folder>") {
            expected[1] = dir.Path();
        }
        EXPECT_EQ(lines, expected) << c.file;
        EXPECT_EQ(title, c.title.empty() ? path : c.title) << c.file;
    }
}

TEST_F(TrackInfoWithDllTest, IncompleteOrMissingLibraryShowsTheHint) {
    const std::string path = dir.AddFile("tagged.mp3");
    const std::array<std::string, 4> expected{"tagged.mp3", dir.Path(), "", kHint};
    for (const std::string& library : {IncompleteLibrary(), dir.Path() + "mp3infp.dll"}) {
        ShowWith(library, path);
        EXPECT_EQ(lines, expected) << library;
        EXPECT_EQ(title, path) << library;
    }
}

}  // namespace
}  // namespace tav::test
