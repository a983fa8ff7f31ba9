#include "win32/window/main_window.h"

#include <gtest/gtest.h>

#include <shlobj.h>  // after windows.h, which it needs

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

#include "fakes/current_dir.h"
#include "fakes/test_player.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

// A message's number and its two values.
using Sent = std::tuple<UINT, WPARAM, LPARAM>;
std::vector<Sent> sent;
WNDPROC ownProcedure = nullptr;

// Takes the commands and folder selections sent to the main window; its own procedure the rest.
// A trackbar's release notice is noted (its code as the last value) and passed on.
LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == BFFM_SETSELECTIONA) {
        sent.emplace_back(message, wParam, lParam);
        return 0;
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == NM_RELEASEDCAPTURE) {
        sent.emplace_back(message, wParam, NM_RELEASEDCAPTURE);
    }
    return CallWindowProcA(ownProcedure, window, message, wParam, lParam);
}

// The player's real main window, in a folder of its own where its settings file goes.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.emplace(GetModuleHandleA(nullptr));
        main = host->Create();
        ASSERT_NE(main, nullptr) << "no main window, error " << GetLastError();
        sent.clear();
        ownProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder)));
    }
    void TearDown() override {
        SendMessageA(main, WM_CLOSE, 0, 0);
        UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
    }
    // A key pressed and let go on the focused control (Shift held or not), through the
    // program's own delivery of messages.
    void Key(WPARAM key, bool shift = false) const {
        BYTE state[256] = {};
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        const HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, key, 1);
        PostMessageA(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DeliverMessage(main, message);
        }
    }
    int Focused() const { return GetDlgCtrlID(GetFocus()); }
    Sent Command(int id, int code) const {
        return {WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(main, id))};
    }

    TempDir dir;
    ScopedCurrentDir inDir{dir.Root()};
    std::optional<MainWindowHost> host;
    HWND main = nullptr;
};

// Far away, huge and tiny rectangles saved in the settings file (named after the program) give
// a window on the work area of the screen, as large as created where the screen allows.
TEST_F(MainWindowTest, SavedRectangleBringsTheWindowOntoTheScreen) {
    for (const char* rectangle : {"500000,000050,501000,000700", "000000,000000,999999,999999",
                                  "000300,000200,000301,000201"}) {
        SCOPED_TRACE(rectangle);
        TearDown();
        dir.AddFile("win32_tests.ini", std::string("\r\n0\r\n\r\n") + rectangle + "\r\n3\r\n");
        SetUp();
        RECT placed{};
        GetWindowRect(main, &placed);
        RECT work{};  // of the one screen
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(placed.left >= work.left && placed.top >= work.top &&
                    placed.right <= work.right && placed.bottom <= work.bottom);
        EXPECT_GE(placed.right - placed.left,
                  std::min(kMainWindowWidth, int{work.right - work.left}));
        EXPECT_GE(placed.bottom - placed.top,
                  std::min(kMainWindowHeight, int{work.bottom - work.top}));
    }
}

// Two MP3 files in a folder with a Shift_JIS name (ソ ends in 0x5C) play one after the other,
// their paths byte for byte in the title: Wine's MP3 device names device 0 in its notices,
// which must still close the device that played and go on.
TEST_F(MainWindowTest, Mp3FilesPlayThrough) {
    const std::string mp3 = PlayableMp3();
    if (mp3.empty()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    const std::string music = dir.AddFolder("\x83\x5C") + "\\";
    for (const char* name : {"a.mp3", "b.mp3"}) {
        ASSERT_NE(CopyFileA(mp3.c_str(), (music + name).c_str(), FALSE), 0);
    }
    host->window().SetControlText(FolderEdit, music);
    CallWindowProcA(ownProcedure, main, WM_COMMAND, MAKEWPARAM(PlayButton, BN_CLICKED), 0);
    for (const char* file : {"a.mp3", "b.mp3", "a.mp3"}) {
        EXPECT_TRUE(PumpUntil([&] { return WindowText(main) == music + file; })) << file;
    }
}

// The sorted list box keeps Shift_JIS entries byte for byte (ソ ends in 0x5C), and tells the
// main window of the selection at every click, on the entry already selected too. The folder
// browser's callback selects the initial folder, given as a path text (TRUE), once the browser
// is initialised; nothing at other events or without an initial folder.
TEST_F(MainWindowTest, TrackListNotifiesEveryClickAndBrowserPreselectsTheFolder) {
    Win32TrackListBox list(host->window());
    for (const char* entry : {"C:\\b\\", "C:\\\x83\x5C\\", "c:\\A\\"}) {
        list.Add(entry);
    }
    EXPECT_EQ((std::vector<std::string>{list.Text(0), list.Text(1), list.Text(2), list.Text(3)}),
              (std::vector<std::string>{"c:\\A\\", "C:\\b\\", "C:\\\x83\x5C\\", ""}));
    const HWND box = GetDlgItem(main, TrackList);
    RECT item{};
    SendMessageA(box, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM(item.left + 2, item.top + 2);
    for (int click = 0; click < 2; ++click) {
        SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(box, WM_LBUTTONUP, 0, point);
    }
    EXPECT_EQ(list.Selection(), 1);
    list.Select(3);  // past the end: no selection
    EXPECT_EQ(list.Selection(), -1);
    // The focus notice comes too.
    EXPECT_EQ(std::count(sent.begin(), sent.end(), Command(TrackList, LBN_SELCHANGE)), 2);
    sent.clear();
    const char* folder = "C:\\\x83\x5C\\";
    for (const UINT event : {BFFM_SELCHANGED, BFFM_VALIDATEFAILEDA, BFFM_INITIALIZED}) {
        EXPECT_EQ(OnBrowserEvent(main, event, 0, 0), 0);
        EXPECT_EQ(OnBrowserEvent(main, event, 0, reinterpret_cast<LPARAM>(folder)), 0);
    }
    EXPECT_EQ(sent,
              (std::vector<Sent>{{BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder)}}));
}

// Tab goes round the controls as the eye reads the window, Shift+Tab back; Return presses a
// focused button; Return and Space in the list play its selected entry as a double-click. The
// volume bar's arrows step a twentieth and its pages a fifth, and a key let go ends the move
// as letting go of the mouse does.
TEST_F(MainWindowTest, KeysGoRoundTheControlsPressPlayAndStep) {
    const int order[] = {RandomPlayButton, PlayButton,  StopButton,   VolumeBar,    PrevButton,
                         NextButton,       PositionBar, InfoTitle,    InfoArtist,   InfoAlbum,
                         InfoComment,      FolderEdit,  FolderButton, TargetButton, UnitCombo,
                         ExclusionEdit,    TrackList};
    EnableWindow(GetDlgItem(main, ExclusionEdit), TRUE);
    SetForegroundWindow(main);
    SetFocus(GetDlgItem(main, TrackList));
    std::vector<int> visited;
    for (std::size_t i = 0; i < std::size(order); ++i) {
        Key(VK_TAB);
        visited.push_back(Focused());
    }
    EXPECT_EQ(visited, std::vector<int>(std::begin(order), std::end(order)));
    Key(VK_TAB, true);
    Key(VK_TAB, true);
    EXPECT_EQ(Focused(), UnitCombo);

    SetFocus(GetDlgItem(main, StopButton));
    Key(VK_RETURN);
    Win32TrackListBox list(host->window());
    list.Add("C:\\a\\");
    list.Select(0);
    SetFocus(GetDlgItem(main, TrackList));
    Key(VK_RETURN);
    Key(VK_SPACE);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), Command(StopButton, BN_CLICKED)), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), Command(TrackList, LBN_DBLCLK)), 2);

    const HWND volume = GetDlgItem(main, VolumeBar);
    host->window().SetTrackbarRange(VolumeBar, 0, 1000, true);
    host->window().SetTrackbarPosition(VolumeBar, 500, true);
    SetFocus(volume);
    sent.clear();
    Key(VK_RIGHT);
    EXPECT_EQ(host->window().TrackbarPosition(VolumeBar), 550);
    EXPECT_EQ(sent, (std::vector<Sent>{{WM_NOTIFY, VolumeBar, NM_RELEASEDCAPTURE}}));
    Key(VK_NEXT);
    EXPECT_EQ(host->window().TrackbarPosition(VolumeBar), 750);
}

// A logoff or shutdown sends no WM_CLOSE: its query, answered TRUE, saves what the user set, and
// the session's end saves again and closes as WM_CLOSE does.
TEST_F(MainWindowTest, SessionEndSavesTheSettings) {
    const auto clickTarget = [&] {
        CallWindowProcA(ownProcedure, main, WM_COMMAND, MAKEWPARAM(TargetButton, BN_CLICKED), 0);
    };
    const auto saved = [&] { return ReadBack(dir.Path() + "win32_tests.ini").value_or(""); };
    clickTarget();  // MP3+WAV -> MP3
    EXPECT_EQ(SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(saved().ends_with("\r\n1\r\n")) << saved();
    clickTarget();  // MP3 -> WAV
    SendMessageA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(saved().ends_with("\r\n2\r\n")) << saved();
    EXPECT_FALSE(IsWindow(main));
}

// Media keys from any device: with no folder to play from, play opens no browser and plays
// nothing; then pause holds the file and play or play/pause resumes it. Any other app command
// goes on to the system.
TEST_F(MainWindowTest, MediaKeysPauseAndResume) {
    const PlaybackState& playback = host->player()->playback;
    using Seen = std::tuple<LRESULT, std::string>;
    const auto key = [&](int command) {
        const LRESULT taken = SendMessageA(main, WM_APPCOMMAND, reinterpret_cast<WPARAM>(main),
                                           MAKELPARAM(0, command | FAPPCOMMAND_MOUSE));
        const char* state = playback.paused ? "paused" : "playing";
        return Seen(taken, playback.deviceId == 0 ? "stopped" : state);
    };
    EXPECT_EQ(key(APPCOMMAND_BASS_BOOST), Seen(FALSE, "stopped"));
    EXPECT_EQ(key(APPCOMMAND_MEDIA_PLAY), Seen(TRUE, "stopped"));
    EXPECT_EQ(key(APPCOMMAND_MEDIA_PLAY_PAUSE), Seen(TRUE, "stopped"));
    const std::string mp3 = PlayableMp3();
    if (mp3.empty()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    const std::string music = dir.AddFolder("music") + "\\";
    ASSERT_NE(CopyFileA(mp3.c_str(), (music + "a.mp3").c_str(), FALSE), 0);
    host->window().SetControlText(FolderEdit, music);
    const std::tuple<int, const char*> steps[] = {
        {APPCOMMAND_MEDIA_PLAY_PAUSE, "playing"}, {APPCOMMAND_MEDIA_PAUSE, "paused"},
        {APPCOMMAND_MEDIA_PLAY, "playing"},       {APPCOMMAND_MEDIA_PLAY_PAUSE, "paused"},
        {APPCOMMAND_MEDIA_PLAY_PAUSE, "playing"}, {APPCOMMAND_MEDIA_STOP, "stopped"},
        {APPCOMMAND_MEDIA_NEXTTRACK, "playing"},
    };
    for (const auto& [command, state] : steps) {
        EXPECT_EQ(key(command), Seen(TRUE, state)) << command;
    }
}

// The stand-in tag library's four exports, loaded by full path and released with the object; one
// lacking an export or missing (one planted in the current folder) gives none the player may use.
TEST(DllTagLibraryLoader, ReadsTheFourExportsOrGivesNoneToUse) {
    const TempDir dir, planted;
    const std::string path = BesideTestProgram("mp3infp.dll");
    ASSERT_NE(CopyFileA(path.c_str(), (planted.Path() + "mp3infp.dll").c_str(), FALSE), 0);
    const ScopedCurrentDir inPlanted(planted.Root());
    std::unique_ptr<TagLibrary> library = DllTagLibraryLoader(path).Load();
    ASSERT_TRUE(library && library->HasAllExports());
    ASSERT_EQ(library->Load(0, dir.AddFile("tagged.mp3")), 0U);
    EXPECT_EQ(std::tuple(library->GetType(), library->GetTagType(), library->GetValue("INAM_v2"),
                         library->GetValue("ICMT_v2")),
              std::tuple(1U, 3U, std::string("テスト曲"), std::string()));
    EXPECT_NE(library->Load(0, dir.Path() + "missing.mp3"), 0U);
    library.reset();
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "not released";
    for (const std::string& absent :
         {BesideTestProgram("incomplete\\mp3infp.dll"), dir.Path() + "mp3infp.dll"}) {
        const std::unique_ptr<TagLibrary> unusable = DllTagLibraryLoader(absent).Load();
        EXPECT_FALSE(unusable && unusable->HasAllExports()) << absent;
    }
    // The program's folder ends at its last real separator: ソ and 表 end in 0x5C, which is none.
    EXPECT_EQ(
        BesideExecutable("C:\\\x83\x5C\\\x95\x5C\x95\x5C.exe", "mp3infp.dll", AnsiTextRules()),
        "C:\\\x83\x5C\\mp3infp.dll");
    EXPECT_EQ(BesideExecutable("Tavrello.exe", "mp3infp.dll", AnsiTextRules()), "");
}

}  // namespace
}  // namespace tav::test
