#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "catalogue/folder_contents.h"
#include "catalogue/folder_names.h"
#include "catalogue/path.h"
#include "catalogue/scan.h"
#include "catalogue_fixture.h"
#include "fakes/current_dir.h"

namespace tav::test {
namespace {

namespace fs = std::filesystem;

// Folders held in memory, keyed by their path with the trailing separator.
class MemoryFiles : public FileSystem {
public:
    std::map<std::string, std::vector<DirectoryEntry>> folders;

    std::optional<bool> Lookup(const std::string& path) const override {
        for (const auto& [folder, entries] : folders) {
            if (folder.substr(0, folder.size() - 1) == path) {
                return true;
            }
        }
        return std::nullopt;
    }
    std::unique_ptr<DirectorySearch> List(const std::string& folder) const override {
        const auto found = folders.find(folder);
        if (found == folders.end()) {
            return nullptr;
        }
        class Listing : public DirectorySearch {
        public:
            explicit Listing(const std::vector<DirectoryEntry>& entries) : entries_(entries) {}
            std::optional<DirectoryEntry> Next() override {
                if (next_ == entries_.size()) {
                    return std::nullopt;
                }
                return entries_[next_++];
            }

        private:
            const std::vector<DirectoryEntry>& entries_;
            std::size_t next_ = 0;
        };
        return std::make_unique<Listing>(found->second);
    }
    std::optional<FolderIdentity> Identify(const std::string& folder) const override {
        const auto found = folders.find(folder);
        if (found == folders.end()) {
            return std::nullopt;
        }
        return FolderIdentity{1, static_cast<uint64_t>(std::distance(folders.begin(), found))};
    }
    bool IsRegularFile(const std::string&) const override { return false; }
    std::optional<std::string> ReadFile(const std::string&, std::size_t) const override {
        return {};
    }
    bool WriteToFile(const std::string&, const std::string&, WriteMode) override { return false; }
    bool ReplaceFile(const std::string&, const std::string&) override { return false; }
    std::string ExecutablePath() const override { return {}; }
};

// A player on fakes whose files live in memory.
struct MemoryPlayer {
    explicit MemoryPlayer(const TextRules& rules)
        : t(rules),
          player(Seams{t.window, t.list, t.browser, t.device, t.volume, files, t.tags, rules,
                       t.clock, 0}) {
        t.window.AddComboItem("フォルダ単位");
        t.window.AddComboItem("ファイル単位");
        t.window.SetComboSelection(0);
    }
    TestPlayer t;
    MemoryFiles files;
    Player player;
};

TEST(CatalogueLimits, MoreThan32767EntriesAreAllListedAndDrawn) {
    const Utf8TextRules rules;
    MemoryPlayer m(rules);
    constexpr int32_t kFiles = 33000;
    std::vector<DirectoryEntry>& root = m.files.folders["/big/"];
    for (int32_t i = 0; i < kFiles; ++i) {
        root.push_back({"song" + std::to_string(i) + ".mp3", false});
    }
    m.t.window.SetComboSelection(1);
    ScanCatalogue(m.player, "/big", 0);
    EXPECT_EQ(m.t.list.Count(), kFiles);
    EXPECT_EQ(m.t.window.StatusText(3), "\t0 / 33000");
    ASSERT_EQ(m.player.random.poolCount, kFiles);
    EXPECT_EQ(m.player.random.shufflePool[32767], 32767);
    EXPECT_EQ(m.player.random.shufflePool[kFiles - 1], kFiles - 1);
}

// The walk tests each listed name on its own; that must give what SplitPath of the whole
// path gives, double-byte names and folders that end in a lone lead byte included.
TEST(CatalogueLimits, NameTestAgreesWithSplittingTheWholePath) {
    const Cp932Rules cp932;
    const Utf8TextRules utf8;
    const std::vector<std::string> names = {
        "a.mp3",
        "a.b.mp3",
        ".mp3",
        "mp3",
        "a.",
        "x.MP3",
        "y.WaV",
        ".",
        "..",
        "\x83.mp3",          // a lead byte swallows the dot in CP932
        "\x83\x5C.mp3",      // ソ.mp3: its second byte is no separator
        "\x95\x5C\x83.wav",  // 表 then a lead byte before the dot
        "a\x83",
        "ソナタ.mp3",
        "曲.wav",
        "a\\b.mp3",
        "a/b.wav"};
    struct Style {
        const TextRules& rules;
        std::vector<std::string> folders;
    };
    const Style styles[] = {
        {cp932, {"C:\\Music\\", "C:\\\x83\x5C\\", "C:\\a\x83\\", "Music\\", "\\\\srv\\s\\"}},
        {utf8, {"/music/", "/ソ/", "/a\xE3/", "music/", std::string("/m\0x/", 5)}},
    };
    for (const Style& style : styles) {
        TestPlayer t(style.rules);
        for (const std::string& folder : style.folders) {
            const FolderNames judge(t.player, folder);
            for (const std::string& name : names) {
                const std::string extension = SplitPath(folder + name, style.rules).extension;
                EXPECT_EQ(judge.IsPlayableFile(name), IsPlayableName(t.player, extension))
                    << folder << " + " << name;
            }
        }
    }
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
    OverLongPathTest() : CatalogueTest(&limited) { limited.maxPath = dir.Path().size() + 12; }

    int ListedEntries(const std::vector<std::string>& folders) {
        int listed = 0;
        for (const std::string& folder : folders) {
            for (auto search = t.files.List(At(folder)); search && search->Next();) {
                ++listed;
            }
        }
        return listed;
    }
};

TEST_F(OverLongPathTest, PathsBeyondTheLimitAreSkippedNeverCut) {
    AddFiles({"abcdefgh.mp3",          // exactly at the limit
              "abcdefghi.mp3",         // one byte over
              "sub4567890/a.mp3",      // the folder fits, its file does not
              "sub4567890/x/b.mp3",    // neither does its subfolder
              "sub45678901/c.mp3",     // the folder path with its separator is at the limit
              "sub456789012/d.mp3"});  // one over: never walked
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), std::vector<std::string>{At("abcdefgh.mp3")});
    EXPECT_TRUE(t.window.messages.empty());
    EXPECT_EQ(t.window.statusWrites, ListedEntries({"", "sub4567890/", "sub45678901/"}));
    ExpectPoolFollowsList();

    t.window.SetComboSelection(0);
    ScanRoot(dir.Path());
    EXPECT_EQ(Entries(), std::vector<std::string>{dir.Path()});
    EXPECT_EQ(CountEntryFiles(t.player, dir.Path()), 1);
    std::string out;
    EXPECT_EQ(GetEntryFile(t.player, dir.Path(), 1, out), 0);
    EXPECT_EQ(out, At("abcdefgh.mp3"));
    EXPECT_EQ(CountEntryFiles(t.player, At("sub45678901/")), 0);  // listed; c.mp3 does not fit
    EXPECT_EQ(CountEntryFiles(t.player, At("sub456789012/")), -1);
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

// Removes a tree deeper than the system's path limit, one relative step at a time.
class DeepTree {
public:
    DeepTree(const fs::path& root, const std::string& name, std::size_t levels)
        : root_(root), name_(name), levels_(levels) {}
    ~DeepTree() {
        const ScopedCurrentDir inside(root_);
        std::error_code ignored;
        for (std::size_t depth = levels_; depth > 0; --depth) {
            fs::current_path(root_, ignored);
            for (std::size_t step = 1; step < depth; ++step) {
                fs::current_path(name_, ignored);
            }
            fs::remove_all(name_, ignored);
        }
    }
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

private:
    fs::path root_;
    std::string name_;
    std::size_t levels_;
};

TEST_F(CatalogueTest, TreeDeeperThanThePlatformLimit) {
#ifdef _WIN32
    GTEST_SKIP() << "MinGW's std::filesystem cannot remove a tree deeper than MAX_PATH again";
#endif
    const std::size_t maxPath = t.player.pathStyle().maxPath;
    const std::string name(100, 'd');
    const std::size_t levels = (maxPath - dir.Path().size()) / (name.size() + 1) + 3;
    DeepTree cleanup(dir.Root(), name, levels);
    std::error_code failed;
    {
        const ScopedCurrentDir inside(dir.Root());
        for (std::size_t level = 0; level < levels && !failed; ++level) {
            fs::create_directory(name, failed);
            if (!failed) {
                fs::current_path(name, failed);
            }
            if (!failed) {
                std::ofstream("s.mp3") << "x";
            }
        }
    }
    if (failed) {
        GTEST_SKIP() << "cannot create a tree this deep here: " << failed.message();
    }
    t.window.SetComboSelection(1);
    ScanRoot(dir.Path());
    EXPECT_TRUE(t.window.messages.empty());
    // Every level whose file path fits is listed, in full; the rest are skipped.
    std::vector<std::string> expected;
    for (std::string folder = dir.Path() + name + separator_; folder.size() + 5 <= maxPath;
         folder += name + separator_) {
        expected.push_back(folder + "s.mp3");
    }
    ASSERT_GT(expected.size(), 1U);
    ASSERT_LT(expected.size(), levels);
    EXPECT_TRUE(SortedEntries() == Sorted(expected)) << "entries: " << t.list.Count();
}

}  // namespace
}  // namespace tav::test
