#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tav::test {

// Playing needs a wave output device: under Wine a sound server for its driver.
bool HasWaveOutput();
inline constexpr const char* kNoWaveOutput =
    "no wave output device: run under a sound server (scripts/with-audio-session.sh)";

// Dispatches this thread's messages until `done` holds or the time is up; true when done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// The path of `name` beside this test program (the built programs, libraries and media).
std::string BesideTestProgram(const std::string& name);

bool FileExists(const std::string& path);

// A hidden window that records the completion notices posted to it.
class NoticeWindow {
public:
    NoticeWindow();
    ~NoticeWindow() { DestroyWindow(window_); }
    NoticeWindow(const NoticeWindow&) = delete;
    NoticeWindow& operator=(const NoticeWindow&) = delete;

    HWND handle() const { return window_; }
    struct Notice {
        WPARAM flags = 0;
        LPARAM device = 0;
    };
    const std::vector<Notice>& notices() const { return notices_; }

private:
    HWND window_ = nullptr;
    std::vector<Notice> notices_;
};

}  // namespace tav::test
