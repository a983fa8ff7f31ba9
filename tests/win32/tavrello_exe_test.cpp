// The built Tavrello.exe as a user starts it: its own process, its own window.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>

#include "fakes/test_player.h"
#include "player/control_table.h"
#include "player/display.h"
#include "win32/win32_window.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

constexpr DWORD kStartTimeoutMs = 15000;

class RunningPlayer {
public:
    // Starts the program in `folder`, where it keeps its settings file.
    explicit RunningPlayer(const std::string& folder) {
        std::string commandLine = "\"";  // built in steps: GCC 12 misreads "x" + string&&
        commandLine += BesideTestProgram("Tavrello.exe");
        commandLine += "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &process_) != 0;
    }
    ~RunningPlayer() {
        if (started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
        }
        if (started_) {
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    RunningPlayer(const RunningPlayer&) = delete;
    RunningPlayer& operator=(const RunningPlayer&) = delete;

    bool started() const { return started_; }
    // The program's main window once it shows the fixed title.
    HWND WaitForMainWindow() {
        HWND found = nullptr;
        PumpUntil(
            [&] {
                found = FindWindowA("NORMAL0", kFixedTitle);
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                return found != nullptr && owner == process_.dwProcessId;
            },
            kStartTimeoutMs);
        // The title is set inside the window's creation; the layout follows when it ends.
        WaitForInputIdle(process_.hProcess, kStartTimeoutMs);
        return found;
    }
    // The exit code after the window was asked to close; nothing when it did not end.
    std::optional<DWORD> CloseAndWait(HWND main) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

BOOL CALLBACK CollectId(HWND child, LPARAM ids) {
    reinterpret_cast<std::set<int>*>(ids)->insert(GetDlgCtrlID(child));
    return TRUE;
}

TEST(TavrelloExe, StartsWithItsControlsAndClosesWithExitCodeZero) {
    TempDir folder;
    RunningPlayer player(folder.Path());
    ASSERT_TRUE(player.started()) << BesideTestProgram("Tavrello.exe");
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "no main window with the title " << kFixedTitle;

    std::set<int> ids;
    EnumChildWindows(main, CollectId, reinterpret_cast<LPARAM>(&ids));
    std::set<int> expected{StatusBarId};
    for (int id = kFirstControlId; id < kFirstControlId + kControlCount; ++id) {
        expected.insert(id);
    }
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(WindowText(GetDlgItem(main, RandomPlayButton)), "ランダム再生");
    EXPECT_EQ(SendMessageA(GetDlgItem(main, UnitCombo), CB_GETCURSEL, 0, 0), 0);

    EXPECT_EQ(player.CloseAndWait(main), 0U);
    EXPECT_TRUE(FileExists(folder.Path() + "Tavrello.ini")) << "settings not saved at exit";
}

// Wine crashes a process that ends with an MP3 device open. Two MP3 files play through, so
// the first device must have been closed on its notice, and the window closes while the
// second piece plays.
// Far away, huge and tiny saved rectangles give a window on the screen's work area, as
// large as created where the screen allows.
TEST(TavrelloExe, SavedRectangleBringsTheWindowOntoTheScreen) {
    TempDir folder;
    Win32FileSystem files;
    for (const char* rectangle : {"500000,000050,501000,000700", "000000,000000,999999,999999",
                                  "000300,000200,000301,000201"}) {
        SCOPED_TRACE(rectangle);
        ASSERT_TRUE(files.WriteToFile(folder.Path() + "Tavrello.ini",
                                      std::string("\r\n0\r\n\r\n") + rectangle + "\r\n3\r\n",
                                      WriteMode::Truncate));
        RunningPlayer player(folder.Path());
        const HWND main = player.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        RECT placed{};
        GetWindowRect(main, &placed);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        EXPECT_GE(placed.left, work.left);
        EXPECT_GE(placed.top, work.top);
        EXPECT_LE(placed.right, work.right);
        EXPECT_LE(placed.bottom, work.bottom);
        EXPECT_GE(placed.right - placed.left,
                  std::min<LONG>(kMainWindowWidth, work.right - work.left));
        EXPECT_GE(placed.bottom - placed.top,
                  std::min<LONG>(kMainWindowHeight, work.bottom - work.top));
        EXPECT_EQ(player.CloseAndWait(main), 0U);
    }
}

TEST(TavrelloExe, ClosesCleanlyWhilePlayingMp3) {
    if (!HasWaveOutput()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    const std::string mp3 = BesideTestProgram("media\\short.mp3");
    if (!FileExists(mp3)) {
        GTEST_SKIP() << "no MP3 test file (sox and lame were not found at build time)";
    }
    TempDir folder;
    const std::string music = folder.AddFolder("music") + "\\";
    for (const char* name : {"a.mp3", "b.mp3"}) {
        ASSERT_NE(CopyFileA(mp3.c_str(), (music + name).c_str(), FALSE), 0);
    }
    Win32FileSystem files;
    ASSERT_TRUE(files.WriteToFile(folder.Path() + "Tavrello.ini",
                                  music + "\r\n0\r\n\r\n000000,000000,000000,000000\r\n3\r\n",
                                  WriteMode::Truncate));
    RunningPlayer player(folder.Path());
    const HWND main = player.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(PlayButton, BN_CLICKED), 0);
    const auto titled = [&](const std::string& text) {
        return PumpUntil([&] { return WindowText(main) == text; });
    };
    EXPECT_TRUE(titled(music + "a.mp3"));
    EXPECT_TRUE(titled(music + "b.mp3"));
    EXPECT_TRUE(titled(music + "a.mp3")) << "the second file's notice did not advance";
    EXPECT_EQ(player.CloseAndWait(main), 0U);
}

}  // namespace
}  // namespace tav::test
