#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "catalogue/folder_contents.h"
#include "catalogue/scan.h"
#include "fakes/current_dir.h"
#include "fakes/ordinary_user.h"
#include "fakes/test_player.h"
#include "player/control_table.h"

namespace tav::test {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

// A player on fakes over a fresh folder on disk, with the unit combo filled as at start-up.
class CatalogueTest : public ::testing::Test {
protected:
    explicit CatalogueTest(const TextRules& rules = TestPlayer::SharedNativeText()) : t(rules) {
        t.window.AddComboItem("フォルダ単位");
        t.window.AddComboItem("ファイル単位");
        t.window.SetComboSelection(0);
    }
    // A path below the folder; '/' in `relative` stands for the system's separator.
    std::string At(const std::string& relative) const {
        std::string tail = relative;
        std::replace(tail.begin(), tail.end(), '/', t.player.pathStyle().separator);
        return dir.Path() + tail;
    }
    void AddFiles(const Paths& relatives) const {
        for (const std::string& relative : relatives) {
            dir.AddFile(At(relative).substr(dir.Path().size()));
        }
    }
    // Empties the list and scans at the top level, as the callers of a scan do.
    void ScanRoot(const std::string& path) {
        t.list.Reset();
        ScanCatalogue(t.player, path, 0);
    }
    // The entries and the expected paths below the folder, both in byte order: the list's
    // own order is checked on its own.
    Paths Entries() const {
        Paths entries = t.list.Entries();
        std::sort(entries.begin(), entries.end());
        return entries;
    }
    Paths Listed(const Paths& relatives) const {
        Paths paths;
        for (const std::string& relative : relatives) {
            paths.push_back(At(relative));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    // The pool holds every list position once, in order, as after a rebuild.
    void ExpectPoolFollowsList() const {
        std::vector<int32_t> positions(static_cast<std::size_t>(t.list.Count()));
        std::iota(positions.begin(), positions.end(), 0);
        EXPECT_EQ(t.player.random.shufflePool, positions);
        EXPECT_EQ(t.player.random.poolCount, t.list.Count());
    }
    int32_t Count(const std::string& entry) { return CountEntryFiles(t.player, entry); }
    std::string FileAt(const std::string& entry, int32_t index, int32_t result = 0) {
        std::string out = "stale";
        EXPECT_EQ(GetEntryFile(t.player, entry, index, out), result) << entry << " " << index;
        return out;
    }

    TestPlayer t;
    TempDir dir;
};

// Files in the root, a live recording below a folder whose name holds the exclusion text,
// WAV-only and MP3-only folders (能 and 表 end in a backslash byte in CP932), a folder with
// an MP3 name, and names that only look playable.
TEST_F(CatalogueTest, FillsTheListByUnitExclusionAndPlayTarget) {
    AddFiles({"top.mp3", "Live Recordings/2001/a.mp3", "Live Recordings/2001/b.mp3",
              "Live Recordings/2001/c.wav", "Live Recordings/2001/notes.txt", "Studio/x.wav",
              "能/表.WAV", "Studio/Empty/cover.jpg", "Disc1.mp3/t.mp3", "Misc/SONG.MP3",
              "Misc/song.mp3.txt"});
    struct Case {
        const char* name;
        int unit;
        std::string exclusion;
        int32_t target;
        Paths entries;
    };
    const std::string live = "Live Recordings/2001/";
    const Paths liveFiles = {live + "a.mp3", live + "b.mp3", live + "c.wav"};
    const auto with = [](Paths paths, const Paths& more) {
        paths.insert(paths.end(), more.begin(), more.end());
        return paths;
    };
    const Case cases[] = {
        {"per folder", 0, "", 3, {"", live, "Studio/", "能/", "Disc1.mp3/", "Misc/"}},
        {"per file", 1, "", 3,
         with(liveFiles,
              {"top.mp3", "Studio/x.wav", "能/表.WAV", "Disc1.mp3/t.mp3", "Misc/SONG.MP3"})},
        {"no unit selected counts as per file",
         -1,
         "",
         1,
         {"top.mp3", live + "a.mp3", live + "b.mp3", "Disc1.mp3/t.mp3", "Misc/SONG.MP3"}},
        {"exclusion in a parent folder", 0, "Live", 3,
         with(liveFiles, {"", "Studio/", "能/", "Disc1.mp3/", "Misc/"})},
        {"exclusion is case-sensitive",
         0,
         "live",
         3,
         {"", live, "Studio/", "能/", "Disc1.mp3/", "Misc/"}},
        {"exclusion includes the trailing separator", 0,
         std::string("2001") + t.player.pathStyle().separator, 3,
         with(liveFiles, {"", "Studio/", "能/", "Disc1.mp3/", "Misc/"})},
        {"exclusion in the root path",
         0,
         "tavrello-test",
         2,
         {live + "c.wav", "Studio/x.wav", "能/表.WAV"}},
        {"WAV only", 0, "", 2, {live, "Studio/", "能/"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.window.SetComboSelection(c.unit);
        t.player.options.exclusionText = c.exclusion;
        t.player.options.playTarget = c.target;
        ScanRoot(dir.Root().string());  // the separator is added
        EXPECT_EQ(Entries(), Listed(c.entries));
        EXPECT_EQ(t.window.StatusText(3), "\t0 / " + std::to_string(c.entries.size()));
        ExpectPoolFollowsList();
        EXPECT_TRUE(t.window.messages.empty());
    }
}

TEST_F(CatalogueTest, RootsThatAreNoFolderTree) {
    AddFiles({"a/1.mp3", "b/1.mp3", "art/cover.jpg"});
    dir.AddFolder("empty");
    struct Case {
        const char* name;
        std::string root;
        Paths entries;
        bool warned;
        int32_t pool;
    };
    const Case cases[] = {
        {"a file is listed as it is", At("art/cover.jpg"), {"art/cover.jpg"}, false, 1},
        {"an empty folder", At("empty"), {}, false, 0},
        {"nothing: a warning, the pool kept", At("missing"), {}, true, 2},
        {"a relative path adds nothing", "a", {}, false, 0},
    };
    const ScopedCurrentDir inside(dir.Root());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScanRoot(dir.Path());
        ASSERT_EQ(t.player.random.poolCount, 2);
        t.window.messages.clear();
        ScanRoot(c.root);
        EXPECT_EQ(Entries(), Listed(c.entries));
        EXPECT_EQ(t.window.StatusText(3), c.entries.empty() ? "\t1 / 0" : "\t0 / 1");
        EXPECT_EQ(t.player.random.poolCount, c.pool);
        ASSERT_EQ(t.window.messages.size(), c.warned ? 1U : 0U);
        if (c.warned) {
            EXPECT_EQ(t.window.messages[0].text, "不正なパス名です");
            EXPECT_EQ(t.window.messages[0].caption, "Warning");
        }
    }
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
    EXPECT_EQ(Entries(), Listed({"open/"}));
    EXPECT_TRUE(t.window.messages.empty());
}

// A folder reached again through a link on the chain of the walk is not walked inside
// itself; one reached through a link beside the chain is no loop. Links that lead to no file
// (gone, or looping on themselves) are no files: a folder holding only those is no piece.
TEST_F(CatalogueTest, FolderLinksAndLinksToNoFile) {
    AddFiles({"A/a.mp3", "B/b.mp3"});
    fs::create_directory(dir.Root() / "C");
    const fs::path root = dir.Root();
    const struct {
        fs::path target;
        fs::path link;
        bool folder;
    } links[] = {
        {root, root / "A" / "up", true},
        {root / "A", root / "A" / "self", true},
        {root / "A", root / "B" / "toA", true},
        {root / "gone.mp3", root / "A" / "x.mp3", false},
        {root / "gone.mp3", root / "C" / "x.mp3", false},
        {root / "C" / "loop.mp3", root / "C" / "loop.mp3", false},
    };
    std::error_code failed;
    for (const auto& [target, link, folder] : links) {
        if (folder) {
            fs::create_directory_symlink(target, link, failed);
        } else {
            fs::create_symlink(target, link, failed);
        }
        if (failed) {
            GTEST_SKIP() << "cannot create links here: " << failed.message();
        }
    }
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), Listed({"A/a.mp3", "B/b.mp3", "B/toA/a.mp3"}));
    t.window.SetComboSelection(0);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), Listed({"A/", "B/", "B/toA/"}));
    EXPECT_EQ(Count(At("A/")), 1);
}

TEST_F(CatalogueTest, BrowserStartsInTheFolderOfFolderEdit) {
    AddFiles({"Bach/01.mp3"});
    struct Case {
        const char* name;
        std::string folderEdit;
        std::optional<std::string> initial;
    };
    const Case cases[] = {
        {"empty text", "", std::nullopt},
        {"a folder", At("Bach"), At("Bach")},
        {"a folder with separator", At("Bach/"), At("Bach/")},
        {"a file gives its folder", At("Bach/01.mp3"), At("Bach/")},
        {"a relative file gives nothing", "01.mp3", std::nullopt},
        {"nothing", At("missing"), std::nullopt},
    };
    const ScopedCurrentDir inside(dir.Root() / "Bach");
    for (const Case& c : cases) {
        t.window.SetControlText(FolderEdit, c.folderEdit);
        t.browser.calls.clear();
        ChooseFolder(t.player);
        ASSERT_EQ(t.browser.calls.size(), 1U) << c.name;
        EXPECT_EQ(t.browser.calls[0].title, "タイトルです。") << c.name;
        EXPECT_EQ(t.browser.calls[0].initial, c.initial) << c.name;
    }
}

TEST_F(CatalogueTest, ChosenFolderReplacesTheListCancellingChangesNothing) {
    AddFiles({"old/1.mp3", "new/a/1.mp3", "new/b/2.wav"});
    t.window.SetControlText(FolderEdit, At("old"));
    ScanRoot(At("old"));
    t.list.Select(0);
    t.Command(FolderButton, BN_CLICKED_);  // the user cancels
    EXPECT_EQ(t.window.ControlText(FolderEdit), At("old"));
    EXPECT_EQ(Entries(), Listed({"old/"}));
    EXPECT_EQ(t.list.Selection(), 0);

    t.browser.answer = At("new");
    t.Command(FolderButton, BN_CLICKED_);
    EXPECT_EQ(t.window.ControlText(FolderEdit), At("new"));
    EXPECT_EQ(Entries(), Listed({"new/a/", "new/b/"}));
    EXPECT_EQ(t.list.Selection(), -1);
    ExpectPoolFollowsList();
}

TEST_F(CatalogueTest, FolderEntryNumbersItsPlayableFilesInNameOrder) {
    struct Case {
        Paths files;
        int32_t target;
        Paths numbered;
    };
    const Case cases[] = {
        {{"b.mp3", "c.wav", "A.mp3", "readme.txt", "x.mp3.txt"}, 3, {"A.mp3", "b.mp3", "c.wav"}},
        {{"b.mp3", "c.wav", "A.MP3", "Disc1.mp3/b.mp3"}, 1, {"A.MP3", "b.mp3"}},
        {{"b.mp3", "c.WAV"}, 2, {"c.WAV"}},
        {{"2.mp3", "10.mp3", "1.mp3", "01.mp3"}, 3, {"01.mp3", "1.mp3", "10.mp3", "2.mp3"}},
        {{"cover.jpg"}, 3, {}},
    };
    int folder = 0;
    for (const Case& c : cases) {
        const std::string name = std::to_string(folder++);
        Paths files;
        for (const std::string& file : c.files) {
            files.push_back(name + "/" + file);
        }
        AddFiles(files);
        t.player.options.playTarget = c.target;
        const std::string entry = At(name);  // listed as a folder without its separator
        Paths numbered;
        for (int32_t index = 1; index <= Count(entry); ++index) {
            numbered.push_back(FileAt(entry, index));
        }
        Paths expected;
        for (const std::string& file : c.numbered) {
            expected.push_back(At(name + "/" + file));
        }
        EXPECT_EQ(numbered, expected) << name;
        for (const int32_t outside : {0, static_cast<int32_t>(c.numbered.size()) + 1}) {
            EXPECT_EQ(FileAt(entry, outside), At(name + "/")) << outside;
        }
    }
    EXPECT_EQ(Count(At("0/readme.txt")), 1);  // a file entry is one file, whatever its name
    EXPECT_EQ(Count(At("missing/")), -1);
    EXPECT_EQ(FileAt(At("missing/"), 1, -1), "");
}

TEST_F(CatalogueTest, FolderWithMoreThan256FilesNumbersItsFirst256) {
    // Created from the last name to the first, so the listing order is no help.
    for (int i = 299; i >= 0; --i) {
        char name[32];
        std::snprintf(name, sizeof name, "big/%s%03d.mp3", i % 2 == 0 ? "t" : "T", i);
        AddFiles({name});
    }
    EXPECT_EQ(Count(At("big/")), 256);
    EXPECT_EQ(FileAt(At("big/"), 1), At("big/t000.mp3"));
    EXPECT_EQ(FileAt(At("big/"), 256), At("big/T255.mp3"));
    EXPECT_EQ(FileAt(At("big/"), 257), At("big/"));
}

// The platform's limit shrunk to a few bytes beyond the test folder, so that real folders on
// disk reach it on every system.
class ShortLimitRules : public TextRules {
public:
    PathStyle Style() const override {
        PathStyle style = native.Style();
        style.maxPath = maxPath;
        return style;
    }
    bool IsLeadByte(unsigned char byte) const override { return native.IsLeadByte(byte); }
    int CompareNoCase(std::string_view a, std::string_view b) const override {
        return native.CompareNoCase(a, b);
    }
    NativeTextRules native;
    std::size_t maxPath = 259;
};

struct ShortLimitHolder {
    ShortLimitRules limited;
};

class OverLongPathTest : public ShortLimitHolder, public CatalogueTest {
protected:
    OverLongPathTest() : CatalogueTest(limited) { limited.maxPath = dir.Path().size() + 12; }
};

TEST_F(OverLongPathTest, PathsBeyondTheLimitAreSkippedNeverCut) {
    AddFiles({"abcdefgh.mp3",          // exactly at the limit
              "abcdefghi.mp3",         // one byte over
              "sub4567890/a.mp3",      // the folder fits, its file does not
              "sub4567890/x/b.mp3",    // neither does its subfolder
              "sub45678901/c.mp3",     // the folder path with its separator is at the limit
              "sub456789012/d.mp3"});  // one over: never walked
    int listed = 0;  // the status bar is written after each entry of a walked folder
    for (const std::string folder : {"", "sub4567890/", "sub45678901/"}) {
        for (auto search = t.files.List(At(folder)); search && search->Next();) {
            ++listed;
        }
    }
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), Listed({"abcdefgh.mp3"}));
    EXPECT_TRUE(t.window.messages.empty());
    EXPECT_EQ(t.window.statusWrites, listed);

    t.window.SetComboSelection(0);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), Listed({""}));
    EXPECT_EQ(Count(dir.Path()), 1);
    EXPECT_EQ(FileAt(dir.Path(), 1), At("abcdefgh.mp3"));
    EXPECT_EQ(Count(At("sub45678901/")), 0);  // listed; c.mp3 does not fit
    EXPECT_EQ(Count(At("sub456789012/")), -1);
}

TEST_F(OverLongPathTest, RootBeyondTheLimitWarns) {
    AddFiles({"a.mp3"});
    limited.maxPath = dir.Path().size() - 2;
    ScanRoot(dir.Path());
    EXPECT_TRUE(Entries().empty());
    ASSERT_EQ(t.window.messages.size(), 1U);
    EXPECT_EQ(t.window.messages[0].text, "不正なパス名です");

    // The root fits but not with its separator: nothing to walk, and no warning.
    limited.maxPath = dir.Path().size() - 1;
    ScanRoot(dir.Root().string());
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(t.window.messages.size(), 1U);
    ExpectPoolFollowsList();
}

}  // namespace
}  // namespace tav::test
