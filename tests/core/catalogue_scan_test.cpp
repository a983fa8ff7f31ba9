#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/folder_contents.h"
#include "catalogue/scan.h"
#include "catalogue_fixture.h"
#include "fakes/current_dir.h"
#include "fakes/ordinary_user.h"
#include "player/control_table.h"

namespace tav::test {
namespace {

namespace fs = std::filesystem;

// A small collection: files in the root, a live recording below a folder whose name holds
// the exclusion text, WAV-only and MP3-only folders, a folder with an MP3 name, and names
// that only look playable.
class ScanTreeTest : public CatalogueTest {
protected:
    ScanTreeTest() {
        AddFiles({"top.mp3", "Live Recordings/2001/a.mp3", "Live Recordings/2001/b.mp3",
                  "Live Recordings/2001/c.wav", "Live Recordings/2001/notes.txt", "Studio/x.wav",
                  "Studio/y.WAV", "Studio/Empty/cover.jpg", "Disc1.mp3/t.mp3", "Misc/SONG.MP3",
                  "Misc/song.mp3.txt"});
    }
};

TEST_F(ScanTreeTest, FillsTheListByUnitExclusionAndPlayTarget) {
    struct Case {
        const char* name;
        int unit;
        std::string exclusion;
        int32_t target;
        std::vector<std::string> entries;
    };
    const std::string root = dir.Path();
    const std::string live = "Live Recordings/2001/";
    const Case cases[] = {
        {"per folder", 0, "", 3, {"", live, "Studio/", "Disc1.mp3/", "Misc/"}},
        {"per file",
         1,
         "",
         3,
         {"top.mp3", live + "a.mp3", live + "b.mp3", live + "c.wav", "Studio/x.wav", "Studio/y.WAV",
          "Disc1.mp3/t.mp3", "Misc/SONG.MP3"}},
        {"no unit selected counts as per file",
         -1,
         "",
         1,
         {"top.mp3", live + "a.mp3", live + "b.mp3", "Disc1.mp3/t.mp3", "Misc/SONG.MP3"}},
        {"exclusion in a parent folder",
         0,
         "Live",
         3,
         {"", live + "a.mp3", live + "b.mp3", live + "c.wav", "Studio/", "Disc1.mp3/", "Misc/"}},
        {"exclusion is case-sensitive", 0, "live", 3, {"", live, "Studio/", "Disc1.mp3/", "Misc/"}},
        {"exclusion includes the trailing separator",
         0,
         std::string("2001") + separator_,
         3,
         {"", live + "a.mp3", live + "b.mp3", live + "c.wav", "Studio/", "Disc1.mp3/", "Misc/"}},
        {"exclusion in the root path",
         0,
         "tavrello-test",
         2,
         {live + "c.wav", "Studio/x.wav", "Studio/y.WAV"}},
        {"MP3 only", 0, "", 1, {"", live, "Disc1.mp3/", "Misc/"}},
        {"WAV only", 0, "", 2, {live, "Studio/"}},
        {"WAV only per file", 1, "", 2, {live + "c.wav", "Studio/x.wav", "Studio/y.WAV"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.window.SetComboSelection(c.unit);
        t.player.options.exclusionText = c.exclusion;
        t.player.options.playTarget = c.target;
        ScanRoot(root);
        std::vector<std::string> expected;
        for (const std::string& relative : c.entries) {
            expected.push_back(At(relative));
        }
        EXPECT_EQ(SortedEntries(), Sorted(expected));
        ExpectPoolFollowsList();
        EXPECT_TRUE(t.window.messages.empty());
    }
}

TEST_F(ScanTreeTest, RootWithoutTrailingSeparatorGetsOne) {
    ScanRoot(dir.Root().string());
    EXPECT_EQ(Entries().front(), dir.Path());
    EXPECT_EQ(t.list.Count(), 5);
}

TEST_F(ScanTreeTest, StatusBarCountsAfterEveryDirectoryEntry) {
    // Every listed entry, "." and ".." included, is followed by one write.
    int listed = 0;
    for (const std::string folder : {"", "Live Recordings/", "Live Recordings/2001/", "Studio/",
                                     "Studio/Empty/", "Disc1.mp3/", "Misc/"}) {
        auto search = t.files.List(At(folder));
        ASSERT_NE(search, nullptr) << folder;
        while (search->Next()) {
            ++listed;
        }
    }
    ScanRoot(dir.Path());
    EXPECT_EQ(t.window.statusWrites, listed);
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 5");
}

TEST_F(CatalogueTest, StatusBarShowsSelectionAndEmptyList) {
    ScanRoot(dir.Path());
    EXPECT_EQ(t.window.StatusText(3), "\t1 / 0");
    AddFiles({"a/1.mp3", "b/1.mp3"});
    ScanRoot(dir.Path());
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 2");
}

TEST_F(CatalogueTest, RootNamingAFileIsListedAsItIs) {
    const std::string cover = AddFile("art/cover.jpg");
    ScanRoot(cover);
    EXPECT_EQ(Entries(), std::vector<std::string>{cover});
    EXPECT_EQ(t.window.StatusText(3), "\t0 / 1");
    ExpectPoolFollowsList();  // not a stale pool of an earlier, longer list
}

TEST_F(CatalogueTest, RootNamingNothingWarnsAndKeepsThePool) {
    AddFiles({"a/1.mp3", "b/1.mp3"});
    ScanRoot(dir.Path());
    ScanRoot(At("missing"));
    ASSERT_EQ(t.window.messages.size(), 1U);
    EXPECT_EQ(t.window.messages[0].text, "不正なパス名です");
    EXPECT_EQ(t.window.messages[0].caption, "Warning");
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(t.window.StatusText(3), "\t1 / 0");
    EXPECT_EQ(t.player.random.poolCount, 2);
}

TEST_F(CatalogueTest, EmptyRootRebuildsAnEmptyPool) {
    ScanRoot(dir.Path());
    EXPECT_TRUE(Entries().empty());
    ExpectPoolFollowsList();
    EXPECT_TRUE(t.window.messages.empty());
}

TEST_F(CatalogueTest, RelativeRootAddsNothingAndEmptiesThePool) {
    AddFiles({"music/a.mp3", "music/sub/b.mp3", "other/c.mp3"});
    ScanRoot(At("other"));
    ASSERT_EQ(t.player.random.poolCount, 1);
    {
        const ScopedCurrentDir inside(dir.Root());
        ScanRoot("music");
    }
    EXPECT_TRUE(Entries().empty());
    EXPECT_GT(t.window.statusWrites, 0);  // walked all the same
    ExpectPoolFollowsList();
    EXPECT_TRUE(t.window.messages.empty());
}

TEST_F(CatalogueTest, JapaneseNames) {
    AddFiles({"ベートーヴェン/交響曲第5番.mp3", "ライブ音源/東京/01 表.mp3",
              "ライブ音源/東京/02 ソナタ.MP3", "能/ソ.wav"});
    t.player.options.exclusionText = "ライブ";
    ScanRoot(dir.Path());
    EXPECT_EQ(SortedEntries(), Sorted({At("ベートーヴェン/"), At("ライブ音源/東京/01 表.mp3"),
                                       At("ライブ音源/東京/02 ソナタ.MP3"), At("能/")}));
}

TEST_F(CatalogueTest, UnreadableSubfolderIsSkippedSilently) {
#ifndef _WIN32
    if (!RunsAsOrdinaryUser()) {
        return;
    }
#endif
    AddFiles({"open/a.mp3", "locked/b.mp3", "locked/inner/c.mp3"});
    const fs::path locked = dir.Root() / "locked";
    fs::permissions(locked, fs::perms::none);
    if (t.files.List(At("locked/")) != nullptr) {
        fs::permissions(locked, fs::perms::owner_all);
        GTEST_SKIP() << "folder permissions do not deny listing here (Wine, or a file system "
                        "without them)";
    }
    ScanRoot(dir.Path());
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(Entries(), std::vector<std::string>{At("open/")});
    EXPECT_TRUE(t.window.messages.empty());
    ExpectPoolFollowsList();
}

TEST_F(CatalogueTest, LinkLoopsAreNotWalkedIntoThemselves) {
    AddFiles({"A/a.mp3", "B/b.mp3"});
    std::error_code failed;
    fs::create_directory_symlink(dir.Root(), dir.Root() / "A" / "up", failed);
    if (!failed) {
        fs::create_directory_symlink(dir.Root() / "A", dir.Root() / "A" / "self", failed);
    }
    if (!failed) {
        fs::create_directory_symlink(dir.Root() / "A", dir.Root() / "B" / "toA", failed);
    }
    if (failed) {
        GTEST_SKIP() << "cannot create folder links here: " << failed.message();
    }
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    // A folder reached again through a link beside the chain is walked: it is no loop.
    EXPECT_EQ(SortedEntries(), Sorted({At("A/a.mp3"), At("B/b.mp3"), At("B/toA/a.mp3")}));
    ExpectPoolFollowsList();
}

// A link to a file that is gone and a link that loops on itself lead to no file: a folder
// that holds nothing else is no piece, and no such name is ever a file of a piece.
TEST_F(CatalogueTest, LinksThatLeadToNoFileAreNoPieces) {
    AddFiles({"A/a.mp3"});
    const fs::path onlyLinks = dir.Root() / "B";
    fs::create_directory(onlyLinks);
    std::error_code failed;
    fs::create_symlink(dir.Root() / "gone.mp3", dir.Root() / "A" / "x.mp3", failed);
    if (!failed) {
        fs::create_symlink(onlyLinks / "loop.mp3", onlyLinks / "loop.mp3", failed);
    }
    if (!failed) {
        fs::create_symlink(dir.Root() / "gone.mp3", onlyLinks / "x.mp3", failed);
    }
    if (failed) {
        GTEST_SKIP() << "cannot create file links here: " << failed.message();
    }
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), std::vector<std::string>{At("A/")});
    EXPECT_EQ(CountEntryFiles(t.player, At("A/")), 1);
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), std::vector<std::string>{At("A/a.mp3")});
}

TEST_F(CatalogueTest, FolderButtonChoosesAndScans) {
    AddFiles({"a/1.mp3"});
    t.browser.answer = dir.Path();
    t.Command(FolderButton, BN_CLICKED_);
    ASSERT_EQ(t.browser.calls.size(), 1U);
    EXPECT_EQ(Entries(), std::vector<std::string>{At("a/")});
}

}  // namespace
}  // namespace tav::test
