#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/folder_contents.h"
#include "catalogue/folder_names.h"
#include "catalogue/path.h"
#include "catalogue/scan.h"
#include "fakes/current_dir.h"
#include "fakes/ordinary_user.h"
#include "fakes/test_player.h"
#include "playback/transport.h"
#include "player/control_table.h"

namespace tav::test {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

// ソ and 表 end in 0x5C, which is no separator; a lead byte before the end stands alone.
TEST(SplitPath, StepsOverDoubleByteCharactersAsTheNameTestDoes) {
    const Cp932Rules windows;
    const Utf8TextRules posix;
    const std::tuple<const TextRules&, std::string, PathParts> cases[] = {
        {windows, "C:\\M\\a.b\\x.tar.mp3", {"C:", "\\M\\a.b\\", "x.tar", ".mp3"}},
        {windows, "C:\\\x83\x5C\\\x95\x5C.wav", {"C:", "\\\x83\x5C\\", "\x95\x5C", ".wav"}},
        {windows, "C:\\a\\b\x83", {"C:", "\\a\\", "b\x83", ""}},
        {windows, "C:\\", {"C:", "\\", "", ""}},
        {windows, "\\\\server\\share\\a.mp3", {}},
        {windows, "C:Music\\a.mp3", {}},
        {posix, "/m/a.b/.mp3", {"", "/m/a.b/", "", ".mp3"}},
        {posix, "/ソ/表.", {"", "/ソ/", "表", "."}},
        {posix, "music/a.mp3", {}},
        {posix, "C:\\a.mp3", {}},
    };
    const auto fields = [](const PathParts& p) {
        return std::make_tuple(p.drive, p.directory, p.baseName, p.extension);
    };
    for (const auto& [rules, path, parts] : cases) {
        EXPECT_EQ(fields(SplitPath(path, rules)), fields(parts)) << path;
    }
    // A walk tests each listed name on its own, as SplitPath of the whole path would.
    TestPlayer t(windows);
    for (const std::string folder : {"C:\\M\\", "C:\\a\x83\\", "M\\"}) {  // outlives names
        const FolderNames names(t.player, folder);
        EXPECT_EQ(names.IsPlayableFile("\x83\x5C.mp3"), folder[0] == 'C') << folder;
        EXPECT_FALSE(names.IsPlayableFile("\x83.mp3"));  // the lead byte swallows the dot
        EXPECT_FALSE(names.IsPlayableFile("a.mp3\\b"));
    }
}

// Equal texts keep their arrival order; the selection stays on its entry as others arrive.
TEST(SortedList, KeepsCaseInsensitiveOrderAndItsSelection) {
    const Utf8TextRules rules;
    SortedList list(rules);
    for (const char* text : {"2.mp3", "10.mp3", "b", "1.mp3", "01.mp3", "B", "/M/A/", "/m/a b/"}) {
        list.Add(text);
    }
    EXPECT_EQ(list.Entries(),
              (Paths{"/m/a b/", "/M/A/", "01.mp3", "1.mp3", "10.mp3", "2.mp3", "b", "B"}));
    list.Select(1);  // "/M/A/"; then two before it, one after, one equal
    for (const char* text : {"/a", "/z", "/b", "/m/a/"}) {
        list.Add(text);
    }
    EXPECT_EQ(list.Selection(), 3);
    EXPECT_EQ(list.Caret(), 3);
    EXPECT_EQ(list.Text(4), "/m/a/");
    list.Select(11);
    list.Select(12);  // out of range: nothing selected, the caret stays
    EXPECT_EQ(list.Selection(), -1);
    list.Add("/0");
    EXPECT_EQ(list.Caret(), 12);
    list.Add("/1");
    EXPECT_EQ(list.Entries().size(), 14U);  // merged with nothing selected: still nothing
    EXPECT_EQ(list.Selection(), -1);
    list.Select(0);
    list.Add("/");  // sorts before the selected first entry
    EXPECT_EQ(list.Selection(), 1);
    list.Reset();  // an emptied list box puts its caret back on the first line
    list.Add("z");
    EXPECT_EQ(list.Caret(), 0);
}

class CatalogueTest : public ::testing::Test {
protected:
    explicit CatalogueTest(const TextRules& rules = TestPlayer::SharedNativeText()) : t(rules) {
        t.Send(WM_CREATE_);
    }
    // Paths below the folder; '/' in `relatives` stands for the system's separator.
    Paths At(Paths relatives) const {
        for (std::string& path : relatives) {
            std::replace(path.begin(), path.end(), '/', t.player.pathStyle().separator);
            path.insert(0, dir.Path());
        }
        return relatives;
    }
    std::string At(const std::string& relative) const { return At(Paths{relative})[0]; }
    void AddFiles(const Paths& relatives) const {
        for (const std::string& path : At(relatives)) {
            dir.AddFile(path.substr(dir.Path().size()));
        }
    }
    void ScanRoot(const std::string& path) { ListRootFolder(t.player, path); }
    // Compares in byte order: the list's own order is checked on its own.
    void ExpectEntries(const Paths& relatives) const {
        Paths entries = t.list.Entries();
        Paths expected = At(relatives);
        std::sort(entries.begin(), entries.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(entries, expected);
    }
    int32_t Count(const std::string& entry) { return CountEntryFiles(t.player, entry); }
    std::string FileAt(const std::string& entry, int32_t index, int32_t result = 0) {
        std::string out = "stale";
        EXPECT_EQ(GetEntryFile(t.player, entry, index, out), result) << entry << " " << index;
        return out;
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};  // the settings file and the log, if any, stay here
    TestPlayer t;
};

// 能 and 表 end in a backslash byte in CP932; D.mp3 is a folder.
TEST_F(CatalogueTest, FillsTheListByUnitExclusionAndPlayTarget) {
    AddFiles({"top.mp3", "Lv/rec/a.mp3", "Lv/rec/b.wav", "Lv/rec/n.txt", "能/表.WAV", "D.mp3/t.mp3",
              "M/X.MP3", "M/x.mp3.txt", "M/E/c.jpg"});
    const std::string sep(1, t.player.pathStyle().separator);
    const struct {
        int unit;
        std::string exclusion;
        int32_t target;
        Paths entries;
    } cases[] = {
        {0, "", 3, {"", "Lv/rec/", "能/", "D.mp3/", "M/"}},
        {1,
         "",
         3,
         {"top.mp3", "Lv/rec/a.mp3", "Lv/rec/b.wav", "能/表.WAV", "D.mp3/t.mp3", "M/X.MP3"}},
        {-1, "", 1, {"top.mp3", "Lv/rec/a.mp3", "D.mp3/t.mp3", "M/X.MP3"}},  // none: per file
        {0, "Lv", 3, {"", "Lv/rec/a.mp3", "Lv/rec/b.wav", "能/", "D.mp3/", "M/"}},
        {0, "lv", 3, {"", "Lv/rec/", "能/", "D.mp3/", "M/"}},  // case-sensitive
        {0, "rec" + sep, 2, {"Lv/rec/b.wav", "能/"}},  // the folder path ends in a separator
        {0, "tavrello-test", 2, {"Lv/rec/b.wav", "能/表.WAV"}},  // in the root path
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exclusion + " " + std::to_string(c.unit));
        t.window.SetComboSelection(c.unit);
        t.player.options.exclusionText = c.exclusion;
        t.player.options.playTarget = c.target;
        ScanRoot(dir.Root().string());  // the separator is added
        ExpectEntries(c.entries);
        EXPECT_EQ(t.window.StatusText(3), "\t0 / " + std::to_string(c.entries.size()));
        EXPECT_EQ(t.player.random.poolCount, t.list.Count());  // the pool follows the list
        EXPECT_TRUE(t.window.messages.empty());
    }
}

// After a scan of two pieces; a root naming nothing keeps the pool of the last list.
TEST_F(CatalogueTest, RootsThatAreNoFolderTree) {
    AddFiles({"a/1.mp3", "b/1.mp3", "art/cover.jpg"});
    const struct {
        std::string root;
        Paths entries;
        std::string warning;
        int32_t pool;
    } cases[] = {
        {At("art/cover.jpg"), {"art/cover.jpg"}, "", 1},
        {At("missing"), {}, "不正なパス名です|Warning", 2},
        {"a", {}, "", 0},
    };
    for (const auto& c : cases) {
        ScanRoot(dir.Path());
        t.window.messages.clear();
        ScanRoot(c.root);
        ExpectEntries(c.entries);
        EXPECT_EQ(t.window.StatusText(3), c.entries.empty() ? "\t1 / 0" : "\t0 / 1");
        EXPECT_EQ(t.player.random.poolCount, c.pool);
        std::string warnings;
        for (const ShownMessage& message : t.window.messages) {
            warnings += message.text + "|" + message.caption;
        }
        EXPECT_EQ(warnings, c.warning);
    }
}

// A folder reached again through a link on the chain of the walk is not walked inside itself;
// one beside the chain is no loop. Links to no file are no files.
TEST_F(CatalogueTest, UnreadableFoldersAndLinks) {
#ifndef _WIN32
    if (!RunsAsOrdinaryUser()) {
        return;
    }
#endif
    AddFiles({"A/a.mp3", "B/b.mp3", "L/b.mp3", "L/inner/c.mp3"});
    const fs::path root = dir.Root();
    fs::create_directory(root / "C");
    std::error_code failed;
    for (const auto& [target, link] : {std::pair{root, root / "A" / "up"},
                                       {root / "A", root / "A" / "self"},
                                       {root / "A", root / "B" / "toA"}}) {
        fs::create_directory_symlink(target, link, failed);
    }
    for (const auto& [target, link] : {std::pair{root / "gone.mp3", root / "A" / "x.mp3"},
                                       {root / "gone.mp3", root / "C" / "x.mp3"},
                                       {root / "C" / "l.mp3", root / "C" / "l.mp3"}}) {
        fs::create_symlink(target, link, failed);
    }
    fs::permissions(root / "L", fs::perms::none);
    if (!fs::is_symlink(root / "B" / "toA") || !fs::is_symlink(root / "C" / "l.mp3") ||
        t.files.List(At("L/")) != nullptr) {
        fs::permissions(root / "L", fs::perms::owner_all);
        GTEST_SKIP() << "no links here, or folder permissions do not deny listing";
    }
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    ExpectEntries({"A/a.mp3", "B/b.mp3", "B/toA/a.mp3"});
    t.window.SetComboSelection(0);
    ScanRoot(dir.Path());
    fs::permissions(root / "L", fs::perms::owner_all);
    ExpectEntries({"A/", "B/", "B/toA/"});
    EXPECT_EQ(Count(At("A/")), 1);
    EXPECT_TRUE(t.window.messages.empty());
}

// Cancelled, the browser changes nothing; a chosen folder replaces the list.
TEST_F(CatalogueTest, FolderButtonBrowsesFromTheFolderOfFolderEdit) {
    AddFiles({"Bach/01.mp3", "new/a/1.mp3", "new/b/2.wav"});
    ScanRoot(At("Bach"));
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"", std::nullopt},
        {At("Bach"), At("Bach")},
        {At("Bach/01.mp3"), At("Bach/")},
        {"01.mp3", std::nullopt},  // a relative file
        {At("missing"), std::nullopt},
    };
    const ScopedCurrentDir inBach(dir.Root() / "Bach");
    for (const auto& [folderEdit, initial] : cases) {
        t.window.SetControlText(FolderEdit, folderEdit);
        t.browser.calls.clear();
        t.Command(FolderButton, BN_CLICKED_);
        ASSERT_EQ(t.browser.calls.size(), 1U) << folderEdit;
        EXPECT_EQ(t.browser.calls[0].title, "タイトルです。");
        EXPECT_EQ(t.browser.calls[0].initial, initial) << folderEdit;
        EXPECT_EQ(t.window.ControlText(FolderEdit), folderEdit);
        ExpectEntries({"Bach/"});
    }
    t.browser.answer = At("new");
    t.Command(FolderButton, BN_CLICKED_);
    EXPECT_EQ(t.window.ControlText(FolderEdit), At("new"));
    ExpectEntries({"new/a/", "new/b/"});
}

// Numbers outside the files give the folder path.
TEST_F(CatalogueTest, FolderEntryNumbersItsPlayableFilesInNameOrder) {
    AddFiles({"a/b.mp3", "a/c.wav", "a/A.MP3", "a/D.mp3/b.mp3", "b/2.mp3", "b/10.mp3", "b/1.mp3",
              "b/01.mp3", "c/cover.jpg"});
    t.player.options.playTarget = 1;
    const std::pair<std::string, Paths> cases[] = {
        {"a", {"a/A.MP3", "a/b.mp3"}},
        {"b/", {"b/01.mp3", "b/1.mp3", "b/10.mp3", "b/2.mp3"}},
        {"c", {}},
    };
    for (const auto& [entry, files] : cases) {
        Paths numbered;
        for (int32_t index = 1; index <= Count(At(entry)); ++index) {
            numbered.push_back(FileAt(At(entry), index));
        }
        EXPECT_EQ(numbered, At(files));
        const std::string folder = At(entry.substr(0, 1) + "/");
        EXPECT_EQ(FileAt(At(entry), 0), folder);
        EXPECT_EQ(FileAt(At(entry), static_cast<int32_t>(files.size()) + 1), folder);
    }
    EXPECT_EQ(Count(At("c/cover.jpg")), 1);  // a file entry is one file, whatever its name
    EXPECT_EQ(Count(At("missing/")), -1);
    EXPECT_EQ(FileAt(At("missing/"), 1, -1), "");

    // Only the first 256 are numbered; created backwards, so the listing order is no help.
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

// The platform's limit shrunk to a few bytes beyond the test folder on disk.
struct ShortLimitRules : NativeTextRules {
    PathStyle Style() const override {
        PathStyle style = NativeTextRules::Style();
        style.maxPath = maxPath;
        return style;
    }
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
              "sub45678901/c.mp3",     // the folder path with its separator is at the limit
              "sub456789012/d.mp3"});  // one over: never listed
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    ExpectEntries({"abcdefgh.mp3"});
    EXPECT_EQ(Count(At("sub45678901/")), 0);
    EXPECT_EQ(Count(At("sub456789012/")), -1);
    EXPECT_TRUE(t.window.messages.empty());

    // A root that fits only without its separator gives nothing to walk, and no warning.
    limited.maxPath = dir.Path().size() - 1;
    ScanRoot(dir.Root().string());
    ExpectEntries({});
    EXPECT_EQ(t.player.random.poolCount, 0);
    EXPECT_TRUE(t.window.messages.empty());
    limited.maxPath = dir.Path().size() - 2;
    ScanRoot(dir.Root().string());
    EXPECT_EQ(t.window.messages.size(), 1U);
}

}  // namespace
}  // namespace tav::test
