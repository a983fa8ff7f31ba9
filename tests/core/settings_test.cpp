#include "settings/settings.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <random>
#include <set>
#include <tuple>

#include "catalogue/path.h"
#include "fakes/current_dir.h"
#include "fakes/ordinary_user.h"
#include "fakes/test_player.h"
#include "info/track_info.h"
#include "linux/system/instance_lock.h"
#include "linux/system/native_text.h"
#include "player/control_table.h"
#include "player/display.h"

namespace tav::test {
namespace {

TEST(ParseNumber, ReadsBlanksSignsBasesAndFractions) {
    // "&O18": 8 is no octal digit; "1e5": no exponent.
    const std::pair<std::string, double> cases[] = {
        {"", 0},       {" \t \t7", 7}, {"+7", 7},          {"-00008", -8},
        {"&H1F", 31},  {"&ha", 10},    {"&o17", 15},       {"&O18", 1},
        {"&X5", 0},    {"-&H5", 0},    {"&H", 0},          {"&HFFFFFFFF", 4294967295.0},
        {" &H10", 16}, {"-1.5", -1.5}, {"\t+3.75x", 3.75}, {".5", 0.5},
        {"--5", 0},    {"1e5", 1},     {"x12", 0},         {"&", 0},
        {"&H1:", 1}};  // ':' lies between the digits and the letters
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(ParseNumber(text), value) << '"' << text << '"';
    }
}

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        t.Send(WM_CREATE_);
        t.window.SetControlText(FolderEdit, "/new");
    }
    // A fresh start with these settings bytes beside it, named after the program.
    std::unique_ptr<TestPlayer> StartWith(const std::string& bytes,
                                          const TextRules& rules = TestPlayer::SharedNativeText()) {
        dir.AddFile(SplitPath(NativeFileSystem().ExecutablePath(), rules).baseName + ".ini", bytes);
        auto started = std::make_unique<TestPlayer>(rules);
        started->Send(WM_CREATE_);
        return started;
    }
    std::string Save(const std::string& folder, int unit, const std::string& exclusion, Edges edges,
                     int32_t target) {
        t.window.SetControlText(FolderEdit, folder);
        t.window.SetComboSelection(unit);
        t.player.options.exclusionText = exclusion;
        t.window.edges = edges;
        t.player.options.playTarget = target;
        SaveSettings(t.player);
        return Saved(Name());
    }
    std::string Name() const { return t.player.settingsFile; }
    static std::string Saved(const std::string& path, std::size_t bytes = std::string::npos) {
        return ReadBack(path).value_or("").substr(0, bytes);
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    TestPlayer t;
};

// Folder, unit, exclusion edit enabled and its text, window, play target and its label.
using Loaded = std::tuple<std::string, int, bool, std::string, Edges, int32_t, std::string>;

Loaded LoadedBy(const TestPlayer& run) {
    EXPECT_EQ(run.player.options.exclusionText, run.window.ControlText(ExclusionEdit));
    return {run.window.ControlText(FolderEdit),
            run.window.comboSelection,
            run.window.IsControlEnabled(ExclusionEdit),
            run.window.ControlText(ExclusionEdit),
            run.window.edges,
            run.player.options.playTarget,
            run.window.ControlText(TargetLabel)};
}

const Edges kCreated{100, 100, 900, 736};  // where the fake window starts
const Edges kMoved{100, 50, 900, 686};

TEST_F(SettingsTest, LoadsEachCrLfLineOrItsDefault) {
    const std::string rect = "000100,000050,000900,000686\r\n";
    const Loaded none{"", 0, true, "", kCreated, 3, "MP3+WAV"};
    const std::pair<std::string, Loaded> cases[] = {
        {"/music\n1\nlive\n000100,000050,000900,000686\n2\n", none},
        {"/music\r\n1\r\nlive\r\n" + rect + "2\r\n",
         {"/music", 1, false, "live", kMoved, 2, "WAV"}},
        {"/music\r\n0\r\nlive\r\n" + rect + "1", {"/music", 0, true, "live", kMoved, 3, "MP3+WAV"}},
        {"/music\r\n1\r\nlive", {"/music", 1, false, "", kCreated, 3, "MP3+WAV"}},
        // Lines 3 and 4 run together; the exclusion text keeps its first 15 bytes.
        {"/m\r\n1\r\nlive" + rect + "2\r\n",
         {"/m", 1, false, "live000100,0000", kCreated, 3, "MP3+WAV"}},
        {"\r\n1\r\nlive\r\n" + rect + "1\r\n", {"", 1, false, "live", kMoved, 1, "MP3"}},
        {"\r\n\r\n\r\n\r\n2\r\n/other\r\n1\r\n", {"", 0, true, "", kCreated, 2, "WAV"}},
        {std::string("/a\0b\r\n", 6), {"/a", 0, true, "", kCreated, 3, "MP3+WAV"}},
        // Numbers truncate toward zero and keep to the 32-bit range; target 0 means both; a
        // unit other than 0 and 1 is 0.
        {"\r\n 2x\r\n\r\n\r\n0\r\n", {"", 0, true, "", kCreated, 3, "MP3+WAV"}},
        {"\r\n1.9\r\n\r\n\r\n-1.5\r\n", {"", 1, false, "", kCreated, -1, "MP3+WAV"}},
        {"\r\n4294967297\r\n\r\n\r\n99999999999\r\n",
         {"", 0, true, "", kCreated, INT32_MAX, "MP3+WAV"}},
        {"\r\n\r\n\r\n\r\n-99999999999\r\n", {"", 0, true, "", kCreated, INT32_MIN, "MP3"}},
    };
    for (const auto& [bytes, loaded] : cases) {
        EXPECT_EQ(LoadedBy(*StartWith(bytes)), loaded) << bytes;
    }
}

// Fixed columns, whatever a wider field shifted; the fake screen is 0, 0 to 1920, 1040.
TEST_F(SettingsTest, LoadsTheWindowRectangleFromFixedColumns) {
    const std::pair<std::string, Edges> cases[] = {
        {"-00008,-00008,000792,000628", {-8, -8, 792, 628}},
        {"500000,000050,501000,000700", {920, 50, 1920, 700}},
        {"000100,000050,000000,000686", kCreated},
        {"000100,000050,000900,000000", kCreated},
        {"-100000,000050,000900,000686", kCreated},
        {"000100x000050y000900z000686 junk", kMoved},
    };
    for (const auto& [line, edges] : cases) {
        EXPECT_EQ(StartWith("\r\n\r\n\r\n" + line + "\r\n\r\n")->window.edges, edges) << line;
    }
}

TEST_F(SettingsTest, EmptyExclusionLineKeepsTheText) {
    t.player.options.exclusionText = "Live";
    dir.AddFile(Name(), "\r\n\r\n\r\n\r\n\r\n");
    LoadSettings(t.player);
    EXPECT_EQ(t.player.options.exclusionText, "Live");
    EXPECT_EQ(t.window.ControlText(ExclusionEdit), "Live");
}

TEST_F(SettingsTest, WritesFiveCrLfLines) {
    EXPECT_EQ(Save("/music/バッハ", 7, "live", {-100000, -20, 1000000, 616}, 2),
              "/music/バッハ\r\n-1\r\nlive\r\n-100000,-00020,1000000,000616\r\n2\r\n");
    EXPECT_EQ(Save("/m", 0, "x", {INT32_MIN, INT32_MAX, 0, -1}, 1),
              "/m\r\n0\r\nx\r\n-2147483648,2147483647,000000,-00001\r\n1\r\n");
}

// A CR-LF inside a text would shift every later line; a lone CR or LF round-trips.
TEST_F(SettingsTest, TextsHoldingCrLfAreStoredEmpty) {
    EXPECT_EQ(Save("/a\r\nb", 0, "x\r\ny", kMoved, 2),
              "\r\n0\r\n\r\n000100,000050,000900,000686\r\n2\r\n");
    const auto run = StartWith(Save("/a\rb\nc\n\r", 0, "\nx\r", kMoved, 2));
    EXPECT_EQ(run->window.ControlText(FolderEdit), "/a\rb\nc\n\r");
    EXPECT_EQ(run->player.options.exclusionText, "\nx\r");
    EXPECT_EQ(run->window.edges, kMoved);
}

// ソ (0x83 0x5C) straddles the 259 bytes of a Windows path: it is dropped whole.
TEST_F(SettingsTest, LongFolderIsCutAtACharacterWithinThePathLimit) {
    const Cp932Rules windows;
    const std::string kept = "C:\\" + std::string(255, 'a');
    const auto run = StartWith(kept + "\x83\x5C" + "b\r\n", windows);
    EXPECT_EQ(run->window.ControlText(FolderEdit), kept);
    run->window.SetControlText(FolderEdit, kept + "\x83\x5C");
    SaveSettings(run->player);
    EXPECT_EQ(Saved(run->player.settingsFile, kept.size() + 2), kept + "\r\n");
}

#ifndef _WIN32
namespace fs = std::filesystem;

// Runs the body in a child process, which must end within 5 s with exit code 0.
template <typename Body>
void ExpectEndsInTime(const char* name, Body body) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(5);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name << " blocked or failed";
}

TEST_F(SettingsTest, SaveNeverWritesThroughALinkPlantedBesideIt) {
    const std::string victim = dir.AddFile("victim", "precious");
    for (const char* suffix : {".tmp", "~", ".new"}) {
        fs::create_symlink(victim, Name() + suffix);
    }
    SaveSettings(t.player);
    EXPECT_EQ(ReadBack(victim), "precious");
    EXPECT_EQ(Saved(Name(), 6), "/new\r\n");
    EXPECT_FALSE(fs::is_symlink(Name()));
}

#ifndef _WIN32
// One player per settings folder: a second hold on the lock is refused while the first lasts
// and reads its address; a link planted as the lock is never written through.
TEST_F(SettingsTest, InstanceLockHasOneHolderAndWritesThroughNoLink) {
    {
        InstanceLock first("t.lock");
        first.WriteAddress(":1.8");
        const InstanceLock second("t.lock");
        EXPECT_TRUE(first.Owned());
        EXPECT_FALSE(second.Owned());
        EXPECT_EQ(second.ReadAddress(), ":1.8");
    }
    EXPECT_TRUE(InstanceLock("t.lock").Owned());
    const std::string victim = dir.AddFile("victim", "precious");
    fs::create_symlink(victim, "l.lock");
    InstanceLock linked("l.lock");
    linked.WriteAddress(":1.9");
    EXPECT_EQ(ReadBack(victim), "precious");
}
#endif

// A link kept by a dotfile manager stays a link; its target, in a folder of its own, is saved.
TEST_F(SettingsTest, SaveRespectsModesAndLinks) {
    if (!RunsAsOrdinaryUser()) {
        return;
    }
    for (const auto mode : {fs::perms(0600), fs::perms(0640), fs::perms(0444)}) {
        fs::remove(Name());
        dir.AddFile(Name(), "old\r\n");
        fs::permissions(Name(), mode);
        SaveSettings(t.player);
        EXPECT_EQ(Saved(Name(), 4), mode == fs::perms(0444) ? "old\r" : "/new");
        EXPECT_EQ(fs::status(Name()).permissions(), mode);
    }
    fs::remove(Name());
    const std::string target = dir.AddFile("dotfiles/settings", "old\r\n");
    fs::permissions(target, fs::perms(0600));
    fs::create_symlink("dotfiles/settings", Name());
    SaveSettings(t.player);
    EXPECT_EQ(fs::read_symlink(Name()), "dotfiles/settings");
    EXPECT_EQ(Saved(target, 4), "/new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir.Root() / "dotfiles"), fs::directory_iterator()),
        1);  // no temporary left behind
}

// A settings file or log that is no regular file reads as absent, at once.
TEST_F(SettingsTest, NonFilesAtStartReadAsAbsent) {
    const auto loadsNothing = [&] {
        LoadSettings(t.player);
        return t.window.ControlText(FolderEdit) == "/new";
    };
    ASSERT_EQ(mkfifo(Name().c_str(), 0600), 0);
    ExpectEndsInTime("settings FIFO", loadsNothing);
    fs::remove(Name());
    fs::create_symlink("/dev/null", Name());
    ExpectEndsInTime("settings link to a device", loadsNothing);
    ASSERT_EQ(mkfifo(kPlayedLogName, 0600), 0);
    ExpectEndsInTime("log FIFO", [] {
        TestPlayer started;
        started.Send(WM_CREATE_);
        ShowTrackInfo(started.player, "/m/a.mp3");
        return !started.player.log.logEnabled;
    });
}

// Versions of very different sizes, so a file cut short can never pass for another one.
TEST_F(SettingsTest, KilledSavesLeaveOneWholeVersion) {
    std::set<std::string> versions;
    for (std::size_t size = 1; size < 4200; size += 700) {
        versions.insert(Save(std::string(size, 'a'), 0, "", kMoved, 3));
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        for (std::size_t size = 1; child == 0; size = (size + 700) % 4200) {
            Save(std::string(size, 'a'), 0, "", kMoved, 3);
        }
        usleep(static_cast<useconds_t>(random() % 4000));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        ASSERT_EQ(waitpid(child, nullptr, 0), child);
        ASSERT_EQ(versions.count(Saved(Name())), 1U) << "after kill " << round;
    }
}

#endif  // _WIN32

}  // namespace
}  // namespace tav::test
