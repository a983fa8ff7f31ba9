#pragma once

#include <windows.h>

#include <optional>

#include "app/media_keys.h"
#include "player/player.h"
#include "win32/audio/audio_choice.h"
#include "win32/system/tag_dll.h"
#include "win32/system/win32_file_system.h"
#include "win32/system/win32_text.h"
#include "win32/window/win32_controls.h"
#include "win32/window/win32_window.h"

namespace tav {

inline constexpr const char* kMainWindowClass = "NORMAL0";
inline constexpr int kProgramIcon = 101;

// The running program: the real Win32 seams, the player built on them once the main window
// exists, and the window procedure that feeds it the window's messages.
class MainWindowHost {
public:
    explicit MainWindowHost(HINSTANCE instance);
    MainWindowHost(const MainWindowHost&) = delete;
    MainWindowHost& operator=(const MainWindowHost&) = delete;

    // Creates the shared font and brush, registers the window class and creates the visible
    // main window; its creation runs the start-up of the player. Null when that fails.
    HWND Create();
    // Null until the main window's creation has begun.
    Player* player() { return player_.has_value() ? &*player_ : nullptr; }
    Win32Window& window() { return window_; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void Attach(HWND main);

    HINSTANCE instance_;
    Win32Window window_;
    Win32TrackListBox trackList_;
    ShellFolderBrowser browser_;
    WindowsAudio audio_;  // chosen by Create, once this thread has made its first windows
    Win32FileSystem files_;
    AnsiTextRules text_;
    TickCountClock clock_;
    DllTagLibraryLoader tags_;
    std::optional<Player> player_;
};

// Initialises the common controls, as the program does before anything else.
void InitCommonControlClasses();
// Gives one message to its window, the keyboard's moves between and within the main window's
// controls handled as in a dialog: Tab and Shift+Tab, Return and Space on a button, Return,
// keypad Enter and Space in the list as a double-click.
void DeliverMessage(HWND main, MSG& message);
// Delivers messages until the quit message or a failing fetch; the exit code is always 0.
int RunMessageLoop(HWND main);

}  // namespace tav
