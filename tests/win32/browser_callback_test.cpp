#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include <string>
#include <vector>

#include "win32/win32_controls.h"

namespace tav::test {
namespace {

struct Selection {
    WPARAM wParam;
    std::string path;
};
// What the stand-in browser window was asked to select.
std::vector<Selection> selections;

LRESULT CALLBACK RecordSelection(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BFFM_SETSELECTIONA) {
        selections.push_back({wParam, reinterpret_cast<const char*>(lParam)});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A message-only window standing in for the shell's browser dialog.
HWND StandInBrowser() {
    static const ATOM kClass = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordSelection;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TavStandInBrowser";
        return RegisterClassA(&windowClass);
    }();
    return CreateWindowExA(0, MAKEINTATOM(kClass), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(BrowserCallback, PreselectsTheInitialFolderOnceInitialised) {
    const char* path = "C:\\Music\\";
    struct Case {
        UINT message;
        const char* data;
        bool selects;
    };
    const Case cases[] = {
        {BFFM_INITIALIZED, path, true},
        {BFFM_INITIALIZED, nullptr, false},  // no initial folder
        {BFFM_SELCHANGED, path, false},
        {BFFM_VALIDATEFAILEDA, path, false},
    };
    const HWND browser = StandInBrowser();
    ASSERT_NE(browser, nullptr);
    for (const Case& c : cases) {
        selections.clear();
        EXPECT_EQ(OnBrowserEvent(browser, c.message, 0, reinterpret_cast<LPARAM>(c.data)), 0);
        if (!c.selects) {
            EXPECT_TRUE(selections.empty()) << c.message;
            continue;
        }
        ASSERT_EQ(selections.size(), 1U);
        EXPECT_EQ(selections[0].wParam, 1U);  // the data is a path text
        EXPECT_EQ(selections[0].path, path);
    }
    DestroyWindow(browser);
}

}  // namespace
}  // namespace tav::test
