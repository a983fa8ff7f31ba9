#include "win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>

#include "dialog_presser.h"
#include "fakes/test_player.h"
#include "player/display.h"
#include "player/layout.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

// The player's real main window inside the test program, in a folder of its own, where its
// settings file goes.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = host.Create();
        ASSERT_NE(main, nullptr) << "no main window, error " << GetLastError();
    }
    void TearDown() override {
        if (IsWindow(main)) {
            SendMessageA(main, WM_CLOSE, 0, 0);
        }
        EXPECT_FALSE(IsWindow(main));
        EXPECT_EQ(TakeQuitCode(), 0);
        UnregisterClassA(kMainWindowClass, GetModuleHandleA(nullptr));
    }
    // The exit code of the quit message that the shutdown posted; nothing when none came.
    static std::optional<WPARAM> TakeQuitCode() {
        std::optional<WPARAM> code;
        PumpUntil(
            [&] {
                MSG message;
                if (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
                    code = message.wParam;
                }
                return code.has_value();
            },
            2000);
        return code;
    }
    HWND Child(int id) const { return GetDlgItem(main, id); }
    Rect ClientRect(int id) const {
        RECT rect{};
        GetWindowRect(Child(id), &rect);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    void ExpectLayout() {
        RECT client{};
        GetClientRect(main, &client);
        for (const Placement& placement : ComputeLayout(client.right, client.bottom)) {
            Rect expected = placement.rect;
            const Rect actual = ClientRect(placement.id);
            if (placement.id == UnitCombo) {
                expected.height = actual.height;  // the closed box has a height of its own
            } else if (placement.id == TrackList) {
                // The list box shows whole lines only and trims the rest of the height.
                const auto line =
                    static_cast<int>(SendMessageA(Child(TrackList), LB_GETITEMHEIGHT, 0, 0));
                EXPECT_GT(actual.height, expected.height - line);
                expected.height = actual.height;
            }
            EXPECT_EQ(actual, expected) << "control " << placement.id;
        }
        std::array<int, 4> parts{};
        SendMessageA(Child(StatusBarId), SB_GETPARTS, parts.size(),
                     reinterpret_cast<LPARAM>(parts.data()));
        EXPECT_EQ(parts, StatusPartEdges(client.right));
    }

    TempDir dir;
    CurrentFolder inDir{dir.Path()};
    MainWindowHost host{GetModuleHandleA(nullptr)};
    HWND main = nullptr;
};

TEST_F(MainWindowTest, ControlsTextsAndFont) {
    EXPECT_EQ(WindowText(main), kFixedTitle);
    const auto font = SendMessageA(Child(TrackList), WM_GETFONT, 0, 0);
    EXPECT_NE(font, 0);
    for (const ControlSpec& row : ControlTable()) {
        const HWND control = Child(row.id);
        ASSERT_NE(control, nullptr) << row.role;
        char className[64] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(lstrcmpiA(className, row.className), 0) << row.role << " " << className;
        // Lists drop WS_VSCROLL while they have nothing to scroll.
        const uint32_t style = GetWindowLongA(control, GWL_STYLE) | WS_VSCROLL;
        EXPECT_EQ(style & row.style, row.style) << row.role;
        const auto exStyle = static_cast<uint32_t>(GetWindowLongA(control, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & row.exStyle, row.exStyle) << row.role;
        if (row.kind != ControlClass::Trackbar) {  // trackbars keep no font
            EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), font) << row.role;
        }
        if (row.id != TargetLabel && row.kind != ControlClass::ComboBox) {
            EXPECT_EQ(WindowText(control), row.text) << row.role;
        }
    }
    EXPECT_EQ(WindowText(Child(TargetLabel)), "MP3+WAV");
    EXPECT_NE(SendMessageA(Child(StatusBarId), WM_GETFONT, 0, 0), font);

    Win32Window& window = host.window();
    EXPECT_EQ(window.StatusText(0), "");
    EXPECT_EQ(window.StatusText(1), "\t0:00:00 / 0:00:00");
    EXPECT_EQ(window.StatusText(2), "\t0 / 0");
    EXPECT_EQ(window.StatusText(3), "\t0 / 0");
    ASSERT_EQ(SendMessageA(Child(UnitCombo), CB_GETCOUNT, 0, 0), 2);
    char item[32] = {};
    SendMessageA(Child(UnitCombo), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "ファイル単位");
    EXPECT_EQ(window.ComboSelection(), 0);
}

TEST_F(MainWindowTest, LayoutFollowsEverySize) {
    ExpectLayout();
    MoveWindow(main, 20, 20, 640, 480, TRUE);
    ExpectLayout();
    EXPECT_EQ(ClientRect(TargetButton), (Rect{64, 200, 60, 20}));  // never moved
    RECT client{};
    GetClientRect(main, &client);
    RECT bar{};
    GetWindowRect(Child(StatusBarId), &bar);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, client.bottom) << "the status bar docks at the bottom";
    EXPECT_EQ(bar.right, client.right);
}

TEST_F(MainWindowTest, SortedTrackListOnTheRealListBox) {
    Win32TrackListBox list(host.window());
    for (const char* entry : {"C:\\b\\", "C:\\\x83\x5C\\", "c:\\A\\", "C:\\c.mp3"}) {
        list.Add(entry);
    }
    ASSERT_EQ(list.Count(), 4);
    const std::vector<std::string> expected{"c:\\A\\", "C:\\b\\", "C:\\c.mp3", "C:\\\x83\x5C\\"};
    for (int32_t i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Text(i), expected[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(list.Text(4), "");
    EXPECT_EQ(list.Text(-1), "");
    EXPECT_EQ(list.Selection(), -1);
    list.Select(2);
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(list.Caret(), 2);
    list.Select(4);
    EXPECT_EQ(list.Selection(), -1);
    list.Reset();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(MainWindowTest, TrackbarsAndHandles) {
    Win32Window& window = host.window();
    window.SetTrackbarRange(PositionBar, 0, 1000, false);
    window.SetTrackbarPosition(PositionBar, 1500, true);
    EXPECT_EQ(window.TrackbarPosition(PositionBar), 1000);
    window.SetTrackbarPosition(PositionBar, 260, true);
    EXPECT_EQ(window.TrackbarPosition(PositionBar), 260);
    EXPECT_EQ(window.ControlIdFromHandle(reinterpret_cast<intptr_t>(Child(VolumeBar))), VolumeBar);
    EXPECT_EQ(window.ControlIdFromHandle(reinterpret_cast<intptr_t>(main)), 0);
    EXPECT_EQ(window.ControlIdFromHandle(0), 0);
}

TEST_F(MainWindowTest, MessageBoxShowsTextAndCaption) {
    const DialogPresser presser(IDOK);
    host.window().ShowMessage("デバイスのオープンに失敗", "error");
    EXPECT_TRUE(presser.pressed());
    EXPECT_EQ(presser.caption(), "error");
    EXPECT_TRUE(presser.ShowedText("デバイスのオープンに失敗"));
}

// Wine's browser takes the preselection only now and then (its tree is often still empty when
// the callback selects), so what is checked here is the dialog itself: the title, a confirmed
// folder's path, and a cancel.
TEST_F(MainWindowTest, FolderBrowserConfirmsAFolderOrCancels) {
    const std::string folder = dir.AddFolder("\x82\xA0\\music");  // あ\music
    ShellFolderBrowser browser(host.window());
    {
        const DialogPresser presser(IDOK);
        const std::optional<std::string> chosen = browser.Browse("タイトルです。", folder);
        EXPECT_TRUE(presser.ShowedText("タイトルです。"));
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(host.player()->files().Lookup(*chosen), true) << *chosen;
    }
    const DialogPresser cancel(IDCANCEL);
    EXPECT_EQ(browser.Browse("タイトルです。", folder), std::nullopt);
    EXPECT_TRUE(cancel.pressed());
}

// Play on a folder of two files: the folder becomes one piece, its files play one after the
// other through real completion notices, and after the last one the list wraps round.
TEST_F(MainWindowTest, PlayRunsThroughTheFilesOfAFolderPiece) {
    if (!HasWaveOutput()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    TempDir music;
    WriteToneWav(music.Path() + "a.wav", 300);
    WriteToneWav(music.Path() + "b.wav", 300);
    Win32Window& window = host.window();
    window.SetControlText(FolderEdit, music.Path());
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(PlayButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Child(PlayButton)));
    const auto showing = [&](const char* part, const char* file) {
        return PumpUntil(
            [&] { return window.StatusText(2) == part && window.ControlText(InfoTitle) == file; });
    };
    EXPECT_TRUE(showing("\t1 / 2", "a.wav"));
    EXPECT_TRUE(showing("\t2 / 2", "b.wav"));
    EXPECT_TRUE(showing("\t1 / 2", "a.wav")) << "no wrap to the first entry";
    EXPECT_EQ(WindowText(main), music.Path() + "a.wav");
}

// A screen reader names a control by the label just before it in the window order.
TEST_F(MainWindowTest, LabelsPrecedeTheControlsTheyName) {
    const std::pair<int, int> named[] = {{UnitLabel, UnitCombo},
                                         {ExclusionPrefixLabel, ExclusionEdit},
                                         {VolumeLabel, VolumeBar},
                                         {PositionLabel, PositionBar}};
    for (const auto& [label, control] : named) {
        EXPECT_EQ(GetWindow(Child(control), GW_HWNDPREV), Child(label)) << "control " << control;
    }
}

// The media keys act as the buttons: play/pause plays, or stops while a file plays; next and
// previous move by file (whatever device sent the key); any other app command goes on to the
// system.
TEST_F(MainWindowTest, MediaKeysActAsTheTransportButtons) {
    if (!HasWaveOutput()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    TempDir music;
    WriteToneWav(music.Path() + "a.wav", 20000);
    WriteToneWav(music.Path() + "b.wav", 20000);
    Win32Window& window = host.window();
    window.SetControlText(FolderEdit, music.Path());
    const auto key = [&](int command, WORD device = FAPPCOMMAND_KEY) {
        return SendMessageA(main, WM_APPCOMMAND, reinterpret_cast<WPARAM>(main),
                            MAKELPARAM(0, command | device));
    };
    const auto playing = [&](const char* file) {
        return PumpUntil([&] { return WindowText(main) == music.Path() + file; });
    };
    EXPECT_EQ(key(APPCOMMAND_MEDIA_PLAY_PAUSE), TRUE);
    EXPECT_TRUE(playing("a.wav"));
    EXPECT_EQ(key(APPCOMMAND_MEDIA_NEXTTRACK, FAPPCOMMAND_MOUSE), TRUE);
    EXPECT_TRUE(playing("b.wav"));
    EXPECT_EQ(key(APPCOMMAND_MEDIA_PREVIOUSTRACK), TRUE);
    EXPECT_TRUE(playing("a.wav"));
    EXPECT_EQ(key(APPCOMMAND_BASS_BOOST), FALSE);
    EXPECT_EQ(key(APPCOMMAND_MEDIA_PLAY_PAUSE), TRUE);
    EXPECT_EQ(WindowText(main), kFixedTitle) << "play/pause while playing stops";
    EXPECT_EQ(key(APPCOMMAND_MEDIA_PLAY_PAUSE), TRUE);
    EXPECT_TRUE(playing("a.wav"));
    EXPECT_EQ(key(APPCOMMAND_MEDIA_STOP), TRUE);
    EXPECT_EQ(WindowText(main), kFixedTitle);
}

}  // namespace
}  // namespace tav::test
