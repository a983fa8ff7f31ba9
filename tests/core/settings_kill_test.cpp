// A save killed at any moment must leave one complete version of the settings file.
#ifndef _WIN32

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "player/control_table.h"
#include "settings/settings.h"

namespace tav::test {
namespace {

constexpr int kVersions = 6;
constexpr int kKills = 150;

// Versions of very different sizes, so a file cut short can never pass for another one.
std::string Folder(int version) {
    return "/music/" + std::string(static_cast<std::size_t>(1 + version * 700), 'a' + version);
}

[[noreturn]] void SaveForever(TestPlayer& t) {
    for (int round = 0;; ++round) {
        t.window.SetControlText(FolderEdit, Folder(round % kVersions));
        SaveSettings(t.player);
    }
}

TEST(SettingsKill, KilledSavesLeaveOneWholeVersion) {
    TempDir dir;
    ScopedCurrentDir inside(dir.Root());
    TestPlayer t;
    t.Send(WM_CREATE_);
    std::set<std::string> versions;
    for (int version = 0; version < kVersions; ++version) {
        t.window.SetControlText(FolderEdit, Folder(version));
        SaveSettings(t.player);
        versions.insert(ReadBack(t.player.settingsFile).value_or(""));
    }
    ASSERT_EQ(versions.size(), static_cast<std::size_t>(kVersions));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveForever(t);
        }
        usleep(static_cast<useconds_t>(delayUs(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = ReadBack(t.player.settingsFile).value_or("");
        ASSERT_EQ(versions.count(now), 1U)
            << "after kill " << kill << ", " << now.size() << " bytes";
    }
}

}  // namespace
}  // namespace tav::test

#endif
