#include "win32_test_support.h"

#include <mmsystem.h>

#include <cmath>
#include <fstream>
#include <numbers>

#include "platform/text_rules.h"
#include "win32/tag_dll.h"
#include "win32/win32_file_system.h"
#include "win32/win32_text.h"

namespace tav::test {
namespace {

std::string Little(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(value >> (8 * i));
    }
    return out;
}

}  // namespace

bool HasWaveOutput() {
    return waveOutGetNumDevs() > 0;
}

void WriteToneWav(const std::string& path, int milliseconds) {
    const uint32_t samples = 22050U * static_cast<uint32_t>(milliseconds) / 1000;
    // PCM, mono, 22050 Hz, 44100 bytes a second, 2 bytes a sample of 16 bits.
    std::string bytes = std::string("RIFF") + Little(36 + 2 * samples, 4) + "WAVEfmt " +
                        Little(16, 4) + Little(1, 2) + Little(1, 2) + Little(22050, 4) +
                        Little(44100, 4) + Little(2, 2) + Little(16, 2) + "data" +
                        Little(2 * samples, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const double wave = std::sin(2 * std::numbers::pi * 440 * i / 22050);
        bytes += Little(static_cast<uint16_t>(static_cast<int16_t>(3000 * wave)), 2);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
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

std::string BesideTestProgram(const std::string& name) {
    return BesideExecutable(Win32FileSystem().ExecutablePath(), name, AnsiTextRules());
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

NoticeWindow::NoticeWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != MM_MCINOTIFY) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        reinterpret_cast<std::vector<Notice>*>(GetWindowLongPtrA(window, GWLP_USERDATA))
            ->push_back({wParam, lParam});
        return LRESULT{0};
    };
    windowClass.lpszClassName = "TavrelloTestNotices";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&notices_));
}

}  // namespace tav::test
