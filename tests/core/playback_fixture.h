#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"

namespace tav::test {

// A created player over a music collection of real folders, run on the simulated device's
// virtual clock. The settings file and the played-music log stay in the test's own folder.
class PlaybackTest : public ::testing::Test {
protected:
    static constexpr char kSep = static_cast<char>(std::filesystem::path::preferred_separator);

    PlaybackTest() { t.Create(); }

    std::string Music() const { return dir.Path() + "music" + kSep; }
    // A file in a folder of the collection (directly in it for no folder), playing `lengthMs`.
    std::string Add(const std::string& folder, const std::string& name, uint32_t lengthMs = 1000) {
        const std::string path =
            dir.AddFile("music" + (kSep + (folder.empty() ? "" : folder + kSep)) + name);
        t.device.lengths[path] = lengthMs;
        return path;
    }
    // Lists the collection through the folder button.
    void ChooseCollection() {
        t.browser.answer = Music();
        Click(FolderButton);
    }
    void Click(int button) { t.Command(button, BN_CLICKED_); }
    void SelectEntry(int32_t index) {
        t.list.Select(index);
        t.Command(TrackList, LBN_SELCHANGE_);
    }

    std::string Playing() {
        const auto found = t.device.devices.find(t.player.playback.deviceId);
        return found == t.device.devices.end() ? std::string() : found->second.path;
    }
    bool TimerArmed() const { return t.window.timers.contains(kDisplayTimerId); }
    std::string Part(int part) const { return t.window.StatusText(part); }

    // Lets the clock run in steps of the display timer: the device plays on, the timer ticks
    // while it is armed, and posted notices are delivered as the event loop would.
    void RunFor(uint32_t ms, uint32_t step = kDisplayTimerPeriodMs) {
        for (uint32_t elapsed = 0; elapsed < ms; elapsed += step) {
            t.device.Advance(step);
            if (TimerArmed()) {
                t.Send(WM_TIMER_, kDisplayTimerId);
            }
            t.DeliverPosted();
        }
    }

    TempDir dir;
    ScopedCurrentDir inside{dir.Root()};
    TestPlayer t;
};

}  // namespace tav::test
