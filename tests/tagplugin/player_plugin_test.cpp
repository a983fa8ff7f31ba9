#include <gtest/gtest.h>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "info/track_info.h"
#include "linux/dl_tag_library.h"
#include "player/control_table.h"
#include "player/display.h"
#include "tag_files.h"

namespace tav::test {
namespace {

// The player on fakes, but with the real plug-in behind the tag seam.
struct PluginPlayer {
    explicit PluginPlayer(const std::string& pluginPath) : plugin(pluginPath) {
        RouteMessage(player, {WM_CREATE_, 0, 0});
    }
    TestPlayer t;
    DlTagLibraryLoader plugin;
    Player player{Seams{t.window, t.list, t.browser, t.device, t.volume, t.files, plugin,
                        t.nativeText, t.clock, 0}};
};

class PlayerPluginTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
};

TEST_F(PlayerPluginTest, TagLinesTitleAndLogThroughTheRealPlugin) {
    dir.AddFile(kPlayedLogName, "");
    PluginPlayer p(TAV_TAG_PLUGIN_PATH);
    const std::string mp3 =
        dir.AddFile("a.mp3", Id3v2Tag(4, {{"TIT2", TextFrame(Utf8, "ソナタ")},
                                          {"TPE1", TextFrame(Utf8, "バッハ")},
                                          {"TALB", TextFrame(Utf8, "作品集")},
                                          {"COMM", CommentFrame(Utf8, "", "ライブ")}}) +
                                 MpegFrames());
    const std::string wav =
        dir.AddFile("b.wav", RiffWave({{"INAM", "Adagio"}, {"IART", "Albinoni"}}));
    const std::string bare = dir.AddFile("c.mp3", MpegFrames());

    ShowTrackInfo(p.player, mp3);
    EXPECT_EQ(p.t.window.ControlText(InfoTitle), "ソナタ");
    EXPECT_EQ(p.t.window.ControlText(InfoArtist), "バッハ");
    EXPECT_EQ(p.t.window.ControlText(InfoAlbum), "作品集");
    EXPECT_EQ(p.t.window.ControlText(InfoComment), "ライブ");
    EXPECT_EQ(p.t.window.title, "ソナタ - バッハ");

    ShowTrackInfo(p.player, wav);
    EXPECT_EQ(p.t.window.title, "Adagio / Albinoni");
    EXPECT_EQ(p.t.window.ControlText(InfoComment), "");

    ShowTrackInfo(p.player, bare);
    EXPECT_EQ(p.t.window.ControlText(InfoTitle), "c.mp3");
    EXPECT_EQ(p.t.window.ControlText(InfoArtist), dir.Path());
    EXPECT_EQ(p.t.window.title, bare);

    EXPECT_EQ(ReadBack(kPlayedLogName).value_or(""),
              "バッハ／ソナタ\r\nAlbinoni／Adagio\r\n" + bare + "\r\n");
}

TEST_F(PlayerPluginTest, WithoutThePluginTheHintNamesTheSharedObject) {
    PluginPlayer p(dir.Path() + "mp3infp.so");
    ShowTrackInfo(p.player, "/music/a.mp3");
    EXPECT_EQ(p.t.window.ControlText(InfoTitle), "a.mp3");
    EXPECT_EQ(p.t.window.ControlText(InfoArtist), "/music/");
    EXPECT_EQ(
        p.t.window.ControlText(InfoComment),
        "※mp3infp.so を実行ファイルと同じディレクトリに入れると、ID3タグの情報を表示します。");
}

}  // namespace
}  // namespace tav::test
