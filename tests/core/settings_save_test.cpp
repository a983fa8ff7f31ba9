#include <gtest/gtest.h>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "linux/native_text.h"
#include "player/control_table.h"
#include "settings/settings.h"

namespace tav::test {
namespace {

// The real file system, but every replace fails, as on a full disk.
class FailingReplace : public NativeFileSystem {
public:
    bool ReplaceFile(const std::string&, const std::string&) override { return false; }
};

class SettingsSaveTest : public ::testing::Test {
protected:
    void SetUp() override { t.Send(WM_CREATE_); }
    std::string Saved() { return ReadBack(t.player.settingsFile).value_or(""); }
    void Choose(const std::string& folder, int unit, const std::string& exclusion, Edges edges,
                int32_t target) {
        t.window.SetControlText(FolderEdit, folder);
        t.window.SetComboSelection(unit);
        t.player.options.exclusionText = exclusion;
        t.window.edges = edges;
        t.player.options.playTarget = target;
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    TestPlayer t;
};

TEST_F(SettingsSaveTest, WritesFiveCrLfLines) {
    struct Case {
        const char* name;
        Edges edges;
        const char* rectangle;
    };
    const Case cases[] = {
        {"plain", {100, 50, 900, 686}, "000100,000050,000900,000686"},
        {"negative inside six", {-8, -20, 792, 616}, "-00008,-00020,000792,000616"},
        {"wide fields widen", {-100000, 0, 1000000, 1234567}, "-100000,000000,1000000,1234567"},
        {"extremes", {INT32_MIN, INT32_MAX, 0, -1}, "-2147483648,2147483647,000000,-00001"},
    };
    for (const Case& c : cases) {
        Choose("/music/バッハ", 1, "live", c.edges, 2);
        SaveSettings(t.player);
        EXPECT_EQ(Saved(),
                  std::string("/music/バッハ\r\n1\r\nlive\r\n") + c.rectangle + "\r\n2\r\n")
            << c.name;
    }
}

TEST_F(SettingsSaveTest, NoSelectionIsWrittenAsMinusOne) {
    Choose("", 7, "", {0, 0, 0, 0}, 3);
    ASSERT_EQ(t.window.comboSelection, -1);
    t.Send(WM_DESTROY_);
    EXPECT_EQ(Saved(), "\r\n-1\r\n\r\n000000,000000,000000,000000\r\n3\r\n");
}

// A CR-LF inside a text would shift every later line; such a text is stored empty, while a
// lone CR or LF round-trips.
TEST_F(SettingsSaveTest, TextsHoldingCrLfAreStoredEmpty) {
    struct Case {
        std::string folder;
        std::string exclusion;
        std::string storedFolder;
        std::string storedExclusion;
    };
    const Case cases[] = {
        {"/a\r\nb", "x\r\ny", "", ""},
        {"/a\r\n", "ok", "", "ok"},
        {"/a\rb\nc\r", "\nx\r", "/a\rb\nc\r", "\nx\r"},
        {"/a\n\r", "\r", "/a\n\r", "\r"},
    };
    for (const Case& c : cases) {
        Choose(c.folder, 0, c.exclusion, {100, 50, 900, 686}, 2);
        SaveSettings(t.player);
        TestPlayer next;
        next.Send(WM_CREATE_);
        EXPECT_EQ(next.window.ControlText(FolderEdit), c.storedFolder);
        EXPECT_EQ(next.player.options.exclusionText, c.storedExclusion);
        EXPECT_EQ(next.window.comboSelection, 0);
        EXPECT_EQ(next.window.edges, (Edges{100, 50, 900, 686}));
        EXPECT_EQ(next.player.options.playTarget, 2);
    }
}

TEST_F(SettingsSaveTest, FolderBeyondThePathLimitIsCutAtACharacter) {
    const Utf8TextRules linuxStyle;
    TestPlayer posix(linuxStyle);
    posix.Send(WM_CREATE_);
    posix.player.settingsFile = t.player.settingsFile;  // no base name in a Windows path
    const std::string head = "/" + std::string(4093, 'a');
    posix.window.SetControlText(FolderEdit, head + "\xE3\x81\x82");  // あ ends at 4097
    SaveSettings(posix.player);
    EXPECT_EQ(Saved().substr(0, head.size() + 2), head + "\r\n");
}

TEST_F(SettingsSaveTest, FailedReplaceKeepsTheOldFile) {
    const std::string old = "/old\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n";
    dir.AddFile(t.player.settingsFile, old);
    FailingReplace failing;
    Player player(Seams{t.window, t.list, t.browser, t.device, t.volume, failing, t.tags,
                        t.nativeText, t.clock, 0});
    player.settingsFile = t.player.settingsFile;
    Choose("/new", 1, "x", {1, 2, 3, 4}, 2);
    SaveSettings(player);
    EXPECT_EQ(Saved(), old);
}

// The name is derived from the executable and must reach the file system whole, also when it
// is longer than a fixed buffer of 67 bytes would hold.
TEST_F(SettingsSaveTest, LongSettingsNameIsKeptWhole) {
    const std::string name = std::string(100, 'n') + ".ini";
    t.player.settingsFile = name;
    Choose("/long", 0, "", {0, 0, 0, 0}, 3);
    SaveSettings(t.player);
    EXPECT_EQ(ReadBack(name).value_or("").substr(0, 7), "/long\r\n");
    t.window.SetControlText(FolderEdit, "");
    LoadSettings(t.player);
    EXPECT_EQ(t.window.ControlText(FolderEdit), "/long");
}

}  // namespace
}  // namespace tav::test
