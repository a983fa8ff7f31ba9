#include <gtest/gtest.h>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "info/played_log.h"
#include "info/track_info.h"
#include "linux/native_text.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav::test {
namespace {

class PlayedLogTest : public ::testing::Test {
protected:
    std::string Log() const { return ReadBack(kPlayedLogName).value_or("<none>"); }
    // A started run: the log switched on by a file present at start.
    std::unique_ptr<TestPlayer> StartWithLog(const std::string& content = "") {
        dir.AddFile(kPlayedLogName, content);
        auto t = std::make_unique<TestPlayer>(linuxStyle);
        t->Send(WM_CREATE_);
        return t;
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    const Utf8TextRules linuxStyle;  // Linux-style paths on every platform
};

TEST_F(PlayedLogTest, OneRecordPerStartedFile) {
    struct Case {
        const char* name;
        bool library;
        CannedTags tags;
        std::string path;
        std::string record;
    };
    const Case cases[] = {
        {"artist and title",
         true,
         {0, 1, 2, {{"INAM_v2", "Title"}, {"IART_v2", "Artist"}}},
         "/m/a.mp3",
         "Artist／Title\r\n"},
        {"title without artist",
         true,
         {0, 1, 1, {{"INAM_v1", "Adagio"}}},
         "/m/a.mp3",
         "Adagio\r\n"},
        {"RIFF INFO",
         true,
         {0, 2, 0, {{"INAM", "ソナタ"}, {"IART", "バッハ"}}},
         "/m/b.wav",
         "バッハ／ソナタ\r\n"},
        {"no tag: the full path",
         true,
         {0, 1, 0, {{"IART_v2", "ignored"}}},
         "/m/x/a.mp3",
         "/m/x/a.mp3\r\n"},
        {"no library: the full path", false, {}, "/m/x/a.mp3", "/m/x/a.mp3\r\n"},
        {"unrooted path: an empty record", false, {}, "a.mp3", "\r\n"},
        {"folder and name beyond 255 bytes: the whole path",
         false,
         {},
         "/m/" + std::string(300, 'd') + "/" + std::string(300, 'n') + ".mp3",
         "/m/" + std::string(300, 'd') + "/" + std::string(300, 'n') + ".mp3\r\n"},
        {"unknown kind: the full path",
         true,
         {0, 7, 3, {{"INAM", "t"}}},
         "/m/a.mp3",
         "/m/a.mp3\r\n"},
    };
    for (const Case& c : cases) {
        auto t = StartWithLog("from the last run\r\n");
        t->tags.present = c.library;
        t->tags.tags = c.tags;
        ShowTrackInfo(t->player, c.path);
        EXPECT_EQ(Log(), c.record) << c.name;
    }
}

TEST_F(PlayedLogTest, ThreeFilesGiveThreeLinesAndANewRunStartsAfresh) {
    auto first = StartWithLog();
    for (const char* path : {"/m/1.mp3", "/m/2.mp3", "/m/1.mp3"}) {
        ShowTrackInfo(first->player, path);
    }
    EXPECT_EQ(Log(), "/m/1.mp3\r\n/m/2.mp3\r\n/m/1.mp3\r\n");

    TestPlayer second(linuxStyle);
    second.Send(WM_CREATE_);
    ShowTrackInfo(second.player, "/m/3.mp3");
    EXPECT_EQ(Log(), "/m/3.mp3\r\n");
}

TEST_F(PlayedLogTest, WithoutTheFileAtStartNothingIsEverWritten) {
    TestPlayer t(linuxStyle);
    t.Send(WM_CREATE_);
    ShowTrackInfo(t.player, "/m/1.mp3");
    EXPECT_EQ(Log(), "<none>");
    dir.AddFile(kPlayedLogName, "");
    ShowTrackInfo(t.player, "/m/2.mp3");
    EXPECT_EQ(Log(), "");
}

TEST_F(PlayedLogTest, AFileDeletedDuringTheRunIsCreatedAnew) {
    auto t = StartWithLog();
    ShowTrackInfo(t->player, "/m/1.mp3");
    std::filesystem::remove(kPlayedLogName);
    ShowTrackInfo(t->player, "/m/2.mp3");
    EXPECT_EQ(Log(), "/m/2.mp3\r\n");
}

TEST_F(PlayedLogTest, AFileTheLibraryCannotReadGivesNoLine) {
    auto t = StartWithLog();
    t->tags.present = true;
    ShowTrackInfo(t->player, "/m/1.mp3");
    t->tags.tags.loadResult = 1;
    ShowTrackInfo(t->player, "/m/2.mp3");
    EXPECT_EQ(Log(), "/m/1.mp3\r\n");
}

TEST_F(PlayedLogTest, AFolderOfTheLogsNameSwitchesTheLogOff) {
    dir.AddFolder(kPlayedLogName);
    TestPlayer t(linuxStyle);
    t.Send(WM_CREATE_);
    ShowTrackInfo(t.player, "/m/1.mp3");
    EXPECT_TRUE(std::filesystem::is_directory(kPlayedLogName));
    EXPECT_TRUE(std::filesystem::is_empty(kPlayedLogName));
}

// A first open that fails still counts: later records are appended to what is there.
TEST_F(PlayedLogTest, AFailedFirstOpenStillEndsTheRewrite) {
    auto t = StartWithLog();
    std::filesystem::remove(kPlayedLogName);
    std::filesystem::create_directory(kPlayedLogName);
    ShowTrackInfo(t->player, "/m/1.mp3");
    std::filesystem::remove(kPlayedLogName);
    dir.AddFile(kPlayedLogName, "kept\r\n");
    ShowTrackInfo(t->player, "/m/2.mp3");
    EXPECT_EQ(Log(), "kept\r\n/m/2.mp3\r\n");
}

TEST_F(PlayedLogTest, LinesAreReadBackCutTo255BytesAtACharacter) {
    struct Case {
        std::string artist;
        std::string title;
        std::string record;
    };
    const std::string a254(254, 'a');
    const std::string t300(300, 't');
    const Case cases[] = {
        {a254 + "bc", "T", a254 + "b／T\r\n"},
        {a254 + "\xE3\x81\x82", "T", a254 + "／T\r\n"},  // あ in UTF-8
        {"A", t300, "A／" + t300.substr(0, 255) + "\r\n"},
    };
    for (const Case& c : cases) {
        auto t = StartWithLog();
        t->window.SetControlText(InfoArtist, c.artist);
        t->window.SetControlText(InfoTitle, c.title);
        AppendPlayedLog(t->player, true);
        EXPECT_EQ(Log(), c.record);
    }
}

}  // namespace
}  // namespace tav::test
