#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <functional>
#include <string>

#include "win32/system/tag_dll.h"
#include "win32/system/win32_file_system.h"
#include "win32/system/win32_text.h"

namespace tav::test {

// Playing needs a wave output device: under Wine a sound server for its driver.
inline bool HasWaveOutput() {
    return waveOutGetNumDevs() > 0;
}
inline constexpr const char* kNoWaveOutput =
    "no wave output device (run under scripts/with-audio-session.sh) or no MP3 test file";

// Dispatches this thread's messages until `done` holds or the time is up; true when done.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    return true;
}

// The path of `name` beside this test program (the built programs, libraries and media).
inline std::string BesideTestProgram(const std::string& name) {
    return BesideExecutable(Win32FileSystem().ExecutablePath(), name, AnsiTextRules());
}

// A 600 ms MP3 file made at build time (with sox and lame), when it is there and a wave output
// can play it; else "".
inline std::string PlayableMp3() {
    const std::string mp3 = BesideTestProgram("media\\short.mp3");
    return HasWaveOutput() && GetFileAttributesA(mp3.c_str()) != INVALID_FILE_ATTRIBUTES ? mp3 : "";
}

}  // namespace tav::test
