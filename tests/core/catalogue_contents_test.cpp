#include "catalogue/folder_contents.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue_fixture.h"

namespace tav::test {
namespace {

class FolderContentsTest : public CatalogueTest {
protected:
    // Every numbered file of an entry, and the path for the number after the last.
    std::vector<std::string> Numbered(const std::string& entry) {
        std::vector<std::string> files;
        const int32_t count = CountEntryFiles(t.player, entry);
        for (int32_t index = 1; index <= count; ++index) {
            std::string out;
            EXPECT_EQ(GetEntryFile(t.player, entry, index, out), 0);
            files.push_back(out);
        }
        return files;
    }
    std::string FileAt(const std::string& entry, int32_t index, int32_t expectedResult = 0) {
        std::string out = "stale";
        EXPECT_EQ(GetEntryFile(t.player, entry, index, out), expectedResult) << index;
        return out;
    }
};

TEST_F(FolderContentsTest, NumbersPlayableFilesInNameOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> files;
        int32_t target;
        std::vector<std::string> numbered;
    };
    const Case cases[] = {
        {"mixed case", {"b.mp3", "c.wav", "A.mp3", "readme.txt"}, 3, {"A.mp3", "b.mp3", "c.wav"}},
        {"MP3 only", {"b.mp3", "c.wav", "A.mp3"}, 1, {"A.mp3", "b.mp3"}},
        {"WAV only", {"b.mp3", "c.wav", "A.mp3"}, 2, {"c.wav"}},
        {"character order",
         {"2.mp3", "10.mp3", "1.mp3", "01.mp3"},
         3,
         {"01.mp3", "1.mp3", "10.mp3", "2.mp3"}},
        {"upper-case extensions",
         {"song2.MP3", "SONG.mp3", "song.mp3.txt"},
         3,
         {"SONG.mp3", "song2.MP3"}},
        {"Japanese", {"ソナタ.mp3", "表.wav", "あ.mp3"}, 3, {"あ.mp3", "ソナタ.mp3", "表.wav"}},
        {"nothing playable", {"cover.jpg"}, 3, {}},
    };
    int folder = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string relative = std::to_string(folder++) + "/";
        for (const std::string& file : c.files) {
            AddFile(relative + file);
        }
        t.player.options.playTarget = c.target;
        const std::string entry = At(relative);
        std::vector<std::string> expected;
        for (const std::string& file : c.numbered) {
            expected.push_back(entry + file);
        }
        EXPECT_EQ(Numbered(entry), expected);
        EXPECT_EQ(FileAt(entry, static_cast<int32_t>(c.numbered.size()) + 1), entry);
    }
}

TEST_F(FolderContentsTest, EntryWithoutSeparatorIsListedAsAFolder) {
    AddFiles({"f/b.mp3", "f/a.mp3"});
    EXPECT_EQ(CountEntryFiles(t.player, dir.Path() + "f"), 2);
    EXPECT_EQ(FileAt(dir.Path() + "f", 2), At("f/b.mp3"));
}

TEST_F(FolderContentsTest, FileEntryCountsOneWhateverItsName) {
    for (const char* name : {"a.mp3", "notes.txt"}) {
        EXPECT_EQ(CountEntryFiles(t.player, AddFile(name)), 1) << name;
    }
}

TEST_F(FolderContentsTest, PlayTargetSwitchedAfterTheScanAppliesAtOnce) {
    AddFiles({"f/A.mp3", "f/b.mp3", "f/c.wav"});
    ScanRoot(dir.Path());
    ASSERT_EQ(Entries(), std::vector<std::string>{At("f/")});
    t.player.options.playTarget = 2;
    EXPECT_EQ(Numbered(At("f/")), std::vector<std::string>{At("f/c.wav")});
}

TEST_F(FolderContentsTest, FolderRemovedAfterTheScanCannotBeListed) {
    AddFiles({"f/a.mp3"});
    ScanRoot(dir.Path());
    std::filesystem::remove_all(dir.Root() / "f");
    EXPECT_EQ(CountEntryFiles(t.player, At("f/")), -1);
    EXPECT_EQ(FileAt(At("f/"), 1, -1), "");
}

TEST_F(FolderContentsTest, IndexOutsideTheFilesGivesTheFolderPath) {
    AddFiles({"f/a.mp3"});
    for (const int32_t index : {2, 256, 257, 100000, 0, -1}) {
        EXPECT_EQ(FileAt(At("f/"), index), At("f/"));
    }
}

TEST_F(FolderContentsTest, SubfolderWithAPlayableNameIsNoFile) {
    AddFiles({"f/a.mp3", "f/Disc1.mp3/b.mp3"});
    EXPECT_EQ(Numbered(At("f/")), std::vector<std::string>{At("f/a.mp3")});
}

TEST_F(FolderContentsTest, FolderWithMoreThan256FilesNumbersItsFirst256) {
    // Created from the last name to the first, so the listing order is no help.
    for (int i = 299; i >= 0; --i) {
        char name[32];
        std::snprintf(name, sizeof name, "big/%s%03d.mp3", i % 2 == 0 ? "t" : "T", i);
        AddFile(name);
    }
    AddFile("big/cover.jpg");
    EXPECT_EQ(CountEntryFiles(t.player, At("big/")), 256);
    EXPECT_EQ(FileAt(At("big/"), 1), At("big/t000.mp3"));
    EXPECT_EQ(FileAt(At("big/"), 256), At("big/T255.mp3"));
    EXPECT_EQ(FileAt(At("big/"), 257), At("big/"));
    // The scan itself lists every file when each is a piece of its own.
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    EXPECT_EQ(t.list.Count(), 300);
}

}  // namespace
}  // namespace tav::test
