// What the settings save and the start-up reads do with the files they meet: planted links,
// read-only and private files, links kept by dotfile managers, FIFOs and devices.
#ifndef _WIN32

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

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

// Runs the body in a child process, which must end within a few seconds with exit code 0.
template <typename Body>
void ExpectEndsInTime(const char* name, Body body) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
        if (waited == 50) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            ADD_FAILURE() << name << ": still blocked after 5 s";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
}

class SettingsFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.Send(WM_CREATE_);
        t.window.SetControlText(FolderEdit, "/new");
    }
    std::string Name() const { return t.player.settingsFile; }

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
    EXPECT_EQ(ReadBack(Name()).value_or("").substr(0, 6), "/new\r\n");
    EXPECT_FALSE(fs::is_symlink(Name()));
}

// The new file keeps the old one's permissions; a read-only file stays; a link stays a link
// and its target, in a folder of its own, gets the new text.
TEST_F(SettingsFilesTest, SaveRespectsModesAndLinks) {
    if (!RunsAsOrdinaryUser()) {
        return;
    }
    struct Case {
        const char* name;
        fs::perms mode;
        bool replaced;
    };
    const Case cases[] = {
        {"private", fs::perms(0600), true},
        {"group-readable", fs::perms(0640), true},
        {"read-only", fs::perms(0444), false},
    };
    for (const Case& c : cases) {
        fs::remove(Name());
        dir.AddFile(Name(), "old\r\n");
        fs::permissions(Name(), c.mode);
        SaveSettings(t.player);
        EXPECT_EQ(ReadBack(Name()).value_or("").substr(0, 4), c.replaced ? "/new" : "old\r")
            << c.name;
        EXPECT_EQ(fs::status(Name()).permissions(), c.mode) << c.name;
    }

    fs::remove(Name());
    const std::string target = dir.AddFile("dotfiles/settings", "old\r\n");
    fs::permissions(target, fs::perms(0600));
    fs::create_symlink("dotfiles/settings", Name());
    SaveSettings(t.player);
    EXPECT_TRUE(fs::is_symlink(Name()));
    EXPECT_EQ(fs::read_symlink(Name()), "dotfiles/settings");
    EXPECT_EQ(ReadBack(target).value_or("").substr(0, 4), "/new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir.Root() / "dotfiles"), fs::directory_iterator()),
        1);  // no temporary left behind
}

// A settings file or log that is no regular file reads as absent, at once.
TEST_F(SettingsFilesTest, NonFilesAtStartReadAsAbsent) {
    ASSERT_EQ(mkfifo(Name().c_str(), 0600), 0);
    ExpectEndsInTime("settings FIFO", [&] {
        LoadSettings(t.player);
        return t.window.ControlText(FolderEdit) == "/new";
    });
    fs::remove(Name());
    fs::create_symlink("/dev/null", Name());
    ExpectEndsInTime("settings link to a device", [&] {
        LoadSettings(t.player);
        return t.window.ControlText(FolderEdit) == "/new";
    });

    ASSERT_EQ(mkfifo(kPlayedLogName, 0600), 0);
    ExpectEndsInTime("log FIFO", [] {
        TestPlayer started;
        started.Send(WM_CREATE_);
        ShowTrackInfo(started.player, "/m/a.mp3");
        return !started.player.log.logEnabled;
    });
}

}  // namespace
}  // namespace tav::test

#endif  // _WIN32
