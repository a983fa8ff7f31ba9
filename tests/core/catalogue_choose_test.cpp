#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "catalogue/scan.h"
#include "catalogue_fixture.h"
#include "fakes/current_dir.h"
#include "player/control_table.h"

namespace tav::test {
namespace {

TEST_F(CatalogueTest, BrowserStartsInTheFolderOfFolderEdit) {
    const std::string song = AddFile("Bach/01.mp3");
    struct Case {
        const char* name;
        std::string folderEdit;
        std::optional<std::string> initial;
    };
    const Case cases[] = {
        {"empty text", "", std::nullopt},
        {"a folder", At("Bach"), At("Bach")},
        {"a folder with separator", At("Bach/"), At("Bach/")},
        {"a file gives its folder", song, At("Bach/")},
        {"nothing", At("missing"), std::nullopt},
    };
    for (const Case& c : cases) {
        t.window.SetControlText(FolderEdit, c.folderEdit);
        t.browser.calls.clear();
        ChooseFolder(t.player);
        ASSERT_EQ(t.browser.calls.size(), 1U) << c.name;
        EXPECT_EQ(t.browser.calls[0].title, "タイトルです。") << c.name;
        EXPECT_EQ(t.browser.calls[0].initial, c.initial) << c.name;
    }
}

TEST_F(CatalogueTest, BrowserStartsAtTheTopForARelativeFile) {
    AddFile("Bach/01.mp3");
    {
        const ScopedCurrentDir inside(dir.Root() / "Bach");
        t.window.SetControlText(FolderEdit, "01.mp3");
        ChooseFolder(t.player);
    }
    ASSERT_EQ(t.browser.calls.size(), 1U);
    EXPECT_EQ(t.browser.calls[0].initial, std::nullopt);
}

TEST_F(CatalogueTest, ConfirmingReplacesTheListAndLeavesThePieceAlone) {
    AddFiles({"old/1.mp3", "new/a/1.mp3", "new/b/2.wav"});
    t.window.SetControlText(FolderEdit, At("old"));
    ScanRoot(At("old"));
    t.list.Select(0);
    t.player.playback.piece.currentEntry = At("old/");
    t.player.playback.piece.fileIndex = 1;
    t.player.playback.piece.fileCount = 1;

    t.browser.answer = At("new");
    ChooseFolder(t.player);

    EXPECT_EQ(t.window.ControlText(FolderEdit), At("new"));
    EXPECT_EQ(SortedEntries(), Sorted({At("new/a/"), At("new/b/")}));
    EXPECT_EQ(t.list.Selection(), -1);
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 2");
    ExpectPoolFollowsList();
    EXPECT_EQ(t.player.playback.piece.currentEntry, At("old/"));
    EXPECT_EQ(t.player.playback.piece.fileIndex, 1);
    EXPECT_EQ(t.player.playback.piece.fileCount, 1);
}

TEST_F(CatalogueTest, CancellingChangesNothing) {
    AddFiles({"old/1.mp3"});
    t.window.SetControlText(FolderEdit, At("old"));
    ScanRoot(At("old"));
    t.list.Select(0);
    const int writes = t.window.statusWrites;

    t.browser.answer = std::nullopt;
    ChooseFolder(t.player);

    EXPECT_EQ(t.window.ControlText(FolderEdit), At("old"));
    EXPECT_EQ(Entries(), std::vector<std::string>{At("old/")});
    EXPECT_EQ(t.list.Selection(), 0);
    EXPECT_EQ(t.window.statusWrites, writes);
    EXPECT_EQ(t.player.random.poolCount, 1);
}

}  // namespace
}  // namespace tav::test
