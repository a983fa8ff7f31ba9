#include "win32_test_support.h"

#include <mmsystem.h>

#include "platform/text_rules.h"
#include "win32/tag_dll.h"
#include "win32/win32_file_system.h"
#include "win32/win32_text.h"

namespace tav::test {

bool HasWaveOutput() {
    return waveOutGetNumDevs() > 0;
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
