// What the settings save and the start-up reads do with the files they meet: planted links,
// read-only and private files, links kept by dotfile managers, FIFOs and devices, and a save
// killed at any moment.
#ifndef _WIN32

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "fakes/current_dir.h"
#include "fakes/ordinary_user.h"
#include "fakes/test_player.h"
#include "info/track_info.h"
#include "player/control_table.h"
#include "player/display.h"
#include "settings/settings.h"

namespace tav::test {
namespace {

namespace fs = std::filesystem;

// Runs the body in a child process, which must end within 5 s with exit code 0.
template <typename Body>
void ExpectEndsInTime(const char* name, Body body) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0 && waited < 50; ++waited) {
        usleep(100000);
    }
    if (waitpid(child, &status, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name << " blocked or failed";
}

class SettingsFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.Send(WM_CREATE_);
        t.window.SetControlText(FolderEdit, "/new");
    }
    std::string Name() const { return t.player.settingsFile; }
    std::string Saved(const std::string& path, std::size_t bytes = 4) const {
        return ReadBack(path).value_or("").substr(0, bytes);
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    TestPlayer t;
};

TEST_F(SettingsFilesTest, SaveNeverWritesThroughALinkPlantedBesideIt) {
    const std::string victim = dir.AddFile("victim", "precious");
    for (const char* suffix : {".tmp", "~", ".new"}) {
        fs::create_symlink(victim, Name() + suffix);
    }
    SaveSettings(t.player);
    EXPECT_EQ(ReadBack(victim), "precious");
    EXPECT_EQ(Saved(Name(), 6), "/new\r\n");
    EXPECT_FALSE(fs::is_symlink(Name()));
}

// The new file keeps the old one's permissions; a read-only file stays; a link stays a link
// and its target, in a folder of its own, gets the new text.
TEST_F(SettingsFilesTest, SaveRespectsModesAndLinks) {
    if (!RunsAsOrdinaryUser()) {
        return;
    }
    for (const auto mode : {fs::perms(0600), fs::perms(0640), fs::perms(0444)}) {
        fs::remove(Name());
        dir.AddFile(Name(), "old\r\n");
        fs::permissions(Name(), mode);
        SaveSettings(t.player);
        EXPECT_EQ(Saved(Name()), mode == fs::perms(0444) ? "old\r" : "/new");
        EXPECT_EQ(fs::status(Name()).permissions(), mode);
    }
    fs::remove(Name());
    const std::string target = dir.AddFile("dotfiles/settings", "old\r\n");
    fs::permissions(target, fs::perms(0600));
    fs::create_symlink("dotfiles/settings", Name());
    SaveSettings(t.player);
    EXPECT_EQ(fs::read_symlink(Name()), "dotfiles/settings");
    EXPECT_EQ(Saved(target), "/new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir.Root() / "dotfiles"), fs::directory_iterator()),
        1);  // no temporary left behind
}

// A settings file or log that is no regular file reads as absent, at once.
TEST_F(SettingsFilesTest, NonFilesAtStartReadAsAbsent) {
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
TEST_F(SettingsFilesTest, KilledSavesLeaveOneWholeVersion) {
    constexpr int kVersions = 6;
    const auto save = [this](int version) {
        t.window.SetControlText(FolderEdit, std::string(static_cast<std::size_t>(1 + version * 700),
                                                        static_cast<char>('a' + version)));
        SaveSettings(t.player);
    };
    std::set<std::string> versions;
    for (int version = 0; version < kVersions; ++version) {
        save(version);
        versions.insert(ReadBack(Name()).value_or(""));
    }
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        for (int version = 0; child == 0; version = (version + 1) % kVersions) {
            save(version);
        }
        usleep(static_cast<useconds_t>(delayUs(random)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const std::string now = ReadBack(Name()).value_or("");
        ASSERT_EQ(versions.count(now), 1U) << "after kill " << round << ", " << now.size();
    }
}

}  // namespace
}  // namespace tav::test

#endif  // _WIN32
