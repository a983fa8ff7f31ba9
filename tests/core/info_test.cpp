#include <gtest/gtest.h>

#include <array>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "info/played_log.h"
#include "info/track_info.h"
#include "linux/system/native_text.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav::test {
namespace {

const std::string kHint =
    " を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。";
const std::string kSoHint = "※mp3infp.so" + kHint;
const std::string kA = "\xE3\x81\x82";  // あ in UTF-8, whatever the execution character set

// The title, artist, album and comment lines and the window title.
using Shown = std::array<std::string, 5>;

Shown ShownBy(const FakeWindow& window) {
    return {window.ControlText(InfoTitle), window.ControlText(InfoArtist),
            window.ControlText(InfoAlbum), window.ControlText(InfoComment), window.title};
}

const std::vector<std::pair<std::string, std::string>> kBothTags = {
    {"INAM_v2", "Title2"}, {"IART_v2", "Artist2"}, {"IPRD_v2", "Album2"}, {"ICMT_v2", "Note2"},
    {"INAM_v1", "Title1"}, {"IART_v1", "Artist1"}, {"IPRD_v1", "Album1"}, {"ICMT_v1", "Note1"},
    {"INAM", "WavTitle"},  {"IART", "WavArtist"},  {"IPRD", "WavAlbum"},  {"ICMT", "WavNote"},
};

// Runs where the played-music log lives; paths in the Linux style on every platform.
class TrackInfoTest : public ::testing::Test {
protected:
    std::string Log() const { return ReadBack(kPlayedLogName).value_or("<none>"); }
    std::unique_ptr<TestPlayer> Start(bool withLog = true, const TextRules* rules = nullptr) {
        if (withLog) {
            dir.AddFile(kPlayedLogName, "from the last run\r\n");
        }
        auto t = std::make_unique<TestPlayer>(rules ? *rules : linuxStyle);
        t->Send(WM_CREATE_);
        return t;
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    const Utf8TextRules linuxStyle;
};

TEST_F(TrackInfoTest, ValueSetsByKindAndTagBitsAndTheirLogLine) {
    const std::string path = "/A/B/song.mp3";
    const Shown fileName{"song.mp3", "/A/B/", "", "", path};
    const Shown v2{"Title2", "Artist2", "Album2", "Note2", "Title2 - Artist2"};
    const Shown v1{"Title1", "Artist1", "Album1", "Note1", "Title1 - Artist1"};
    const Shown wav{"WavTitle", "WavArtist", "WavAlbum", "WavNote", "WavTitle / WavArtist"};
    const struct {
        CannedTags tags;
        Shown shown;
        std::string record;
    } cases[] = {
        {{0, 1, 3, kBothTags}, v2, "Artist2／Title2"},  // ID3v2 wins over ID3v1
        {{0, 1, 1, kBothTags}, v1, "Artist1／Title1"},
        {{0, 1, 4, kBothTags}, fileName, path},              // other bits only
        {{0, 2, 3, kBothTags}, wav, "WavArtist／WavTitle"},  // WAV whatever the tag bits
        {{0, 1, 3, {{"IART_v2", "A"}, {"INAM_v1", "T1"}}}, fileName, path},  // empty title
        {{0, 1, 2, {{"INAM_v2", "Adagio"}}}, {"Adagio", "", "", "", "Adagio - "}, "Adagio"},
        {{0, 3, 3, kBothTags}, fileName, path},  // an unknown kind shows like no tag
    };
    for (const auto& c : cases) {
        const auto t = Start();
        t->tags.present = true;
        t->tags.tags = c.tags;
        ShowTrackInfo(t->player, path);
        EXPECT_EQ(ShownBy(t->window), c.shown) << c.record;
        EXPECT_EQ(Log(), c.record + "\r\n");
    }
}

// The hint names the library of the paths' platform; an incomplete library is never called.
TEST_F(TrackInfoTest, WithoutALibraryShowsNameFolderAndTheHint) {
    const Cp932Rules windows;
    const struct {
        bool present;
        const TextRules* rules;
        std::string path;
        Shown shown;
    } cases[] = {
        {false, nullptr, "/A/B/song.mp3", {"song.mp3", "/A/B/", "", kSoHint, "/A/B/song.mp3"}},
        {true, nullptr, "/A/B/song.mp3", {"song.mp3", "/A/B/", "", kSoHint, "/A/B/song.mp3"}},
        {false,
         &windows,
         "C:\\A\\s.mp3",
         {"s.mp3", "C:\\A\\", "", "※mp3infp.dll" + kHint, "C:\\A\\s.mp3"}},
        {false,
         &windows,
         "song.mp3",
         {"", "", "", "※mp3infp.dll" + kHint, "song.mp3"}},  // no drive root
    };
    for (const auto& c : cases) {
        const auto t = Start(true, c.rules);
        t->tags.present = c.present;
        t->tags.allExports = false;
        ShowTrackInfo(t->player, c.path);
        EXPECT_EQ(ShownBy(t->window), c.shown);
        EXPECT_EQ(Log(), (c.shown[0].empty() ? "" : c.path) + "\r\n");
        EXPECT_TRUE(t->tags.loadedPaths.empty());
        EXPECT_EQ(t->tags.releases, t->tags.loads);
    }
}

// Cut at a character: the window title at 1027 bytes, the log's tag texts at 255.
TEST_F(TrackInfoTest, LongTextsAreCutAtACharacter) {
    const std::string title(1020, 't');
    const std::string a254(254, 'a');
    const struct {
        std::string title;
        std::string artist;
        std::string windowTitle;
        std::string record;
    } cases[] = {
        // 1020 + 3 + 3 bytes fit; the next three-byte character would end at 1029.
        {title, kA + kA, title + " - " + kA, kA + kA + "／" + title.substr(0, 255)},
        {title, "abcdefg", title + " - abcd", "abcdefg／" + title.substr(0, 255)},
        {"T", a254 + "bc", "T - " + a254 + "bc", a254 + "b／T"},
        {"T", a254 + kA, "T - " + a254 + kA, a254 + "／T"},
    };
    for (const auto& c : cases) {
        const auto t = Start();
        t->tags.present = true;
        t->tags.tags = {0, 1, 2, {{"INAM_v2", c.title}, {"IART_v2", c.artist}}};
        ShowTrackInfo(t->player, "/a.mp3");
        EXPECT_EQ(t->window.title, c.windowTitle);
        EXPECT_EQ(Log(), c.record + "\r\n");
    }
    const std::string longPath = "/" + std::string(1020, 'd') + "/" + kA + kA + ".mp3";
    const auto t = Start();
    ShowTrackInfo(t->player, longPath);
    EXPECT_EQ(t->window.title, longPath.substr(0, 1025));  // the first あ still fits
    EXPECT_EQ(Log(), longPath + "\r\n");
}

// A run rewrites the log at its first line, even one that fails, then appends; a file the
// library cannot read changes nothing. Without the file at start nothing is ever written.
TEST_F(TrackInfoTest, TheLogBelongsToTheRunThatFoundIt) {
    const auto first = Start();
    std::filesystem::remove(kPlayedLogName);
    std::filesystem::create_directory(kPlayedLogName);
    ShowTrackInfo(first->player, "/m/0.mp3");
    std::filesystem::remove(kPlayedLogName);
    dir.AddFile(kPlayedLogName, "kept\r\n");
    for (const char* path : {"/m/1.mp3", "/m/2.mp3", "/m/1.mp3"}) {
        ShowTrackInfo(first->player, path);
    }
    const Shown shown = ShownBy(first->window);
    first->tags.present = true;
    first->tags.tags.loadResult = 5;
    ShowTrackInfo(first->player, "/m/3.mp3");
    EXPECT_EQ(ShownBy(first->window), shown);
    EXPECT_EQ(Log(), "kept\r\n/m/1.mp3\r\n/m/2.mp3\r\n/m/1.mp3\r\n");
    std::filesystem::remove(kPlayedLogName);
    first->tags.present = false;
    ShowTrackInfo(first->player, "/m/4.mp3");
    EXPECT_EQ(Log(), "/m/4.mp3\r\n");

    std::filesystem::remove(kPlayedLogName);
    const auto second = Start(false);
    ShowTrackInfo(second->player, "/m/5.mp3");
    EXPECT_EQ(Log(), "<none>");
    dir.AddFile(kPlayedLogName, "");
    ShowTrackInfo(second->player, "/m/6.mp3");
    EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace tav::test
