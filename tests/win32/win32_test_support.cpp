#include "win32_test_support.h"

#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <vector>

#include "platform/text_rules.h"
#include "win32/tag_dll.h"
#include "win32/win32_file_system.h"
#include "win32/win32_text.h"

namespace tav::test {
namespace {

constexpr const char* kNoticeClass = "TavrelloTestNotices";

template <typename Value>
void Put(std::string& bytes, Value value) {
    for (std::size_t i = 0; i < sizeof(Value); ++i) {
        bytes.push_back(static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF));
    }
}

}  // namespace

bool HasWaveOutput() {
    return waveOutGetNumDevs() > 0;
}

void WriteToneWav(const std::string& path, int milliseconds) {
    constexpr uint32_t kRate = 22050;
    constexpr uint16_t kBytesPerSample = 2;
    const auto samples = static_cast<uint32_t>(kRate * static_cast<uint64_t>(milliseconds) / 1000);
    const uint32_t dataSize = samples * kBytesPerSample;
    std::string bytes = "RIFF";
    Put<uint32_t>(bytes, 36 + dataSize);
    bytes += "WAVEfmt ";
    Put<uint32_t>(bytes, 16);
    Put<uint16_t>(bytes, 1);  // PCM
    Put<uint16_t>(bytes, 1);  // mono
    Put<uint32_t>(bytes, kRate);
    Put<uint32_t>(bytes, kRate * kBytesPerSample);
    Put<uint16_t>(bytes, kBytesPerSample);
    Put<uint16_t>(bytes, 16);
    bytes += "data";
    Put<uint32_t>(bytes, dataSize);
    for (uint32_t i = 0; i < samples; ++i) {
        const double phase = 2 * std::numbers::pi * 440 * i / kRate;
        Put<int16_t>(bytes, static_cast<int16_t>(3000 * std::sin(phase)));
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

CurrentFolder::CurrentFolder(const std::string& folder) {
    std::vector<char> buffer(GetCurrentDirectoryA(0, nullptr) + 1);
    GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    previous_ = buffer.data();
    SetCurrentDirectoryA(folder.c_str());
}

CurrentFolder::~CurrentFolder() {
    SetCurrentDirectoryA(previous_.c_str());
}

NoticeWindow::NoticeWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = kNoticeClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ =
        CreateWindowExA(0, kNoticeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, this);
}

NoticeWindow::~NoticeWindow() {
    DestroyWindow(window_);
}

LRESULT CALLBACK NoticeWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == MM_MCINOTIFY) {
        auto* self = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        self->notices_.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tav::test
