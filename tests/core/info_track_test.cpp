#include <gtest/gtest.h>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "info/track_info.h"
#include "linux/native_text.h"
#include "player/control_table.h"

namespace tav::test {
namespace {

const std::string kSoHint =
    "※mp3infp.so を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。";
const std::string kDllHint =
    "※mp3infp.dll を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。";

struct Shown {
    std::string title;
    std::string artist;
    std::string album;
    std::string comment;
    std::string windowTitle;
};

Shown ShownBy(const FakeWindow& window) {
    return {window.ControlText(InfoTitle), window.ControlText(InfoArtist),
            window.ControlText(InfoAlbum), window.ControlText(InfoComment), window.title};
}

void ExpectShown(const FakeWindow& window, const Shown& e, const std::string& name) {
    SCOPED_TRACE(name);
    const Shown shown = ShownBy(window);
    EXPECT_EQ(shown.title, e.title);
    EXPECT_EQ(shown.artist, e.artist);
    EXPECT_EQ(shown.album, e.album);
    EXPECT_EQ(shown.comment, e.comment);
    EXPECT_EQ(shown.windowTitle, e.windowTitle);
}

const std::vector<std::pair<std::string, std::string>> kBothTags = {
    {"INAM_v2", "Title2"}, {"IART_v2", "Artist2"}, {"IPRD_v2", "Album2"}, {"ICMT_v2", "Note2"},
    {"INAM_v1", "Title1"}, {"IART_v1", "Artist1"}, {"IPRD_v1", "Album1"}, {"ICMT_v1", "Note1"},
    {"INAM", "WavTitle"},  {"IART", "WavArtist"},  {"IPRD", "WavAlbum"},  {"ICMT", "WavNote"},
};

// The log follows every shown file: run inside a folder of our own. Paths are written in the
// Linux style, on every platform.
class ShowTrackInfoTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    const Utf8TextRules linuxStyle;
};

// あ in UTF-8, whatever the compiler's execution character set.
const std::string kA = "\xE3\x81\x82";

TEST_F(ShowTrackInfoTest, ValueSetsBySeparatorKindAndTagBits) {
    const std::string path = "/A/B/song.mp3";
    const Shown fileName{"song.mp3", "/A/B/", "", "", path};
    const Shown v2{"Title2", "Artist2", "Album2", "Note2", "Title2 - Artist2"};
    const Shown wav{"WavTitle", "WavArtist", "WavAlbum", "WavNote", "WavTitle / WavArtist"};
    struct Case {
        const char* name;
        CannedTags tags;
        Shown expected;
    };
    const Case cases[] = {
        {"ID3v2 wins over ID3v1", {0, 1, 3, kBothTags}, v2},
        {"ID3v2 only", {0, 1, 2, kBothTags}, v2},
        {"ID3v1 only",
         {0, 1, 1, kBothTags},
         {"Title1", "Artist1", "Album1", "Note1", "Title1 - Artist1"}},
        {"other bits only", {0, 1, 4, kBothTags}, fileName},
        {"no tag", {0, 1, 0, kBothTags}, fileName},
        {"WAV ignores the tag bits", {0, 2, 3, kBothTags}, wav},
        {"WAV without bits", {0, 2, 0, kBothTags}, wav},
        {"empty ID3v2 title falls back",
         {0, 1, 3, {{"IART_v2", "A"}, {"IPRD_v2", "B"}, {"ICMT_v2", "C"}, {"INAM_v1", "T1"}}},
         fileName},
        {"empty RIFF title falls back", {0, 2, 0, {{"IART", "A"}, {"ICMT", "C"}}}, fileName},
        {"MP3 separator kept with an empty artist",
         {0, 1, 2, {{"INAM_v2", "Adagio"}}},
         {"Adagio", "", "", "", "Adagio - "}},
        {"WAV separator kept with an empty artist",
         {0, 2, 0, {{"INAM", "Adagio"}}},
         {"Adagio", "", "", "", "Adagio / "}},
        {"unknown kind shows the file like one without a tag", {0, 3, 3, kBothTags}, fileName},
        {"kind 0 likewise", {0, 0, 2, kBothTags}, fileName},
    };
    for (const Case& c : cases) {
        TestPlayer t(linuxStyle);
        t.Send(WM_CREATE_);
        t.tags.present = true;
        t.tags.tags = c.tags;
        ShowTrackInfo(t.player, path);
        ExpectShown(t.window, c.expected, c.name);
        EXPECT_EQ(t.tags.loadedPaths, std::vector<std::string>{path}) << c.name;
        EXPECT_EQ(t.tags.releases, 1) << c.name;
    }
}

TEST_F(ShowTrackInfoTest, WithoutALibraryShowsNameFolderAndTheHint) {
    struct Case {
        bool present;
        bool allExports;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        TestPlayer t(linuxStyle);
        t.Send(WM_CREATE_);
        t.tags.present = c.present;
        t.tags.allExports = c.allExports;
        t.tags.tags = {0, 1, 3, kBothTags};
        ShowTrackInfo(t.player, "/A/B/song.mp3");
        ExpectShown(t.window, {"song.mp3", "/A/B/", "", kSoHint, "/A/B/song.mp3"},
                    c.present ? "export missing" : "no library");
        EXPECT_TRUE(t.tags.loadedPaths.empty());  // an incomplete library is never called
        EXPECT_EQ(t.tags.releases, t.tags.loads);
    }
}

TEST_F(ShowTrackInfoTest, WindowsPathsNameTheDll) {
    const Cp932Rules rules;
    TestPlayer t(rules);
    t.Send(WM_CREATE_);
    ShowTrackInfo(t.player, "C:\\A\\B\\song.mp3");
    ExpectShown(t.window, {"song.mp3", "C:\\A\\B\\", "", kDllHint, "C:\\A\\B\\song.mp3"}, "dll");
    // A path without a drive root splits into nothing.
    ShowTrackInfo(t.player, "song.mp3");
    ExpectShown(t.window, {"", "", "", kDllHint, "song.mp3"}, "unrooted");
}

TEST_F(ShowTrackInfoTest, AFileTheLibraryCannotReadChangesNothing) {
    TestPlayer t(linuxStyle);
    t.Send(WM_CREATE_);
    t.tags.present = true;
    t.tags.tags = {0, 1, 2, {{"INAM_v2", "First"}, {"IART_v2", "Artist"}}};
    ShowTrackInfo(t.player, "/A/first.mp3");
    t.window.title = "Tavrello  Ver.1.06";
    const Shown before = ShownBy(t.window);
    t.tags.tags.loadResult = 5;
    ShowTrackInfo(t.player, "/A/second.mp3");
    ExpectShown(t.window, before, "load failed");
    EXPECT_EQ(t.tags.loads, 2);
    EXPECT_EQ(t.tags.releases, 2);
}

TEST_F(ShowTrackInfoTest, TheLibraryIsLoadedAnewForEveryFile) {
    TestPlayer t(linuxStyle);
    t.Send(WM_CREATE_);
    ShowTrackInfo(t.player, "/A/one.mp3");
    EXPECT_EQ(t.window.ControlText(InfoComment), kSoHint);
    t.tags.present = true;  // placed beside the program while it runs
    t.tags.tags = {0, 1, 1, {{"INAM_v1", "Two"}}};
    ShowTrackInfo(t.player, "/A/two.mp3");
    ShowTrackInfo(t.player, "/A/three.mp3");
    EXPECT_EQ(t.window.ControlText(InfoTitle), "Two");
    EXPECT_EQ(t.tags.loads, 2);
    EXPECT_EQ(t.tags.releases, 2);
}

TEST_F(ShowTrackInfoTest, LongWindowTitlesAreCutAtACharacter) {
    const std::string longTitle(1020, 't');
    const std::string longPath = "/" + std::string(1020, 'd') + "/" + kA + kA + ".mp3";
    struct Case {
        CannedTags tags;
        std::string path;
        std::string windowTitle;
    };
    const Case cases[] = {
        // 1020 + 3 + 3 bytes fit; the next three-byte character would end at 1029.
        {{0, 1, 2, {{"INAM_v2", longTitle}, {"IART_v2", kA + kA}}},
         "/a.mp3",
         longTitle + " - " + kA},
        {{0, 1, 2, {{"INAM_v2", longTitle}, {"IART_v2", "abcdefg"}}},
         "/a.mp3",
         longTitle + " - abcd"},
        {{0, 1, 0, {}}, longPath, longPath.substr(0, 1025)},  // the first あ still fits
    };
    for (const Case& c : cases) {
        TestPlayer t(linuxStyle);
        t.Send(WM_CREATE_);
        t.tags.present = true;
        t.tags.tags = c.tags;
        ShowTrackInfo(t.player, c.path);
        EXPECT_EQ(t.window.title, c.windowTitle);
    }
}

}  // namespace
}  // namespace tav::test
