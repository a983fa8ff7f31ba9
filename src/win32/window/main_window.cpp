#include "win32/window/main_window.h"

#include <commctrl.h>

#include "app/media_keys.h"
#include "app/routing.h"
#include "player/control_table.h"

namespace tav {
namespace {

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
constexpr const char* kTagLibraryName = "mp3infp.dll";

// The media keys' commands the window takes; every other app command goes on to the system.
std::optional<MediaCommand> MediaCommandOf(LPARAM lParam) {
    switch (GET_APPCOMMAND_LPARAM(lParam)) {
    case APPCOMMAND_MEDIA_PLAY_PAUSE:
        return MediaCommand::PlayPause;
    case APPCOMMAND_MEDIA_PLAY:
        return MediaCommand::Play;
    case APPCOMMAND_MEDIA_PAUSE:
        return MediaCommand::Pause;
    case APPCOMMAND_MEDIA_STOP:
        return MediaCommand::Stop;
    case APPCOMMAND_MEDIA_NEXTTRACK:
        return MediaCommand::Next;
    case APPCOMMAND_MEDIA_PREVIOUSTRACK:
        return MediaCommand::Previous;
    default:
        return std::nullopt;
    }
}

bool IsButton(HWND control) {
    const int index = GetDlgCtrlID(control) - kFirstControlId;
    return index >= 0 && index < kControlCount &&
           ControlTable()[static_cast<std::size_t>(index)].kind == ControlClass::Button;
}

// The keys the dialog manager leaves alone in a window that is no dialog: Return presses a
// focused button, as Space does; Return (the keypad's Enter too) and Space in the list play
// its selected entry, as a double-click does. A held key's repeats do nothing more.
bool PressedByKey(HWND main, const MSG& message) {
    const bool pressKey = message.wParam == VK_RETURN || message.wParam == VK_SPACE;
    if (message.message != WM_KEYDOWN || !pressKey || GetParent(message.hwnd) != main) {
        return false;
    }
    const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
    if (GetDlgCtrlID(message.hwnd) == TrackList) {
        if (!repeat && SendMessageA(message.hwnd, LB_GETCURSEL, 0, 0) != LB_ERR) {
            SendMessageA(main, WM_COMMAND, MAKEWPARAM(TrackList, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(message.hwnd));
        }
        return true;
    }
    if (message.wParam == VK_RETURN && IsButton(message.hwnd)) {
        if (!repeat) {
            SendMessageA(message.hwnd, BM_CLICK, 0, 0);
        }
        return true;
    }
    return false;
}

// A trackbar that ends a move without holding the mouse was moved by keys: letting go of the
// key ends the move as letting go of the mouse does, so the position bar seeks.
void EndKeyedMove(HWND main, WPARAM wParam, LPARAM lParam) {
    const auto bar = reinterpret_cast<HWND>(lParam);
    if (LOWORD(wParam) != TB_ENDTRACK || bar == nullptr || GetCapture() == bar) {
        return;
    }
    NMHDR header{bar, static_cast<UINT_PTR>(GetDlgCtrlID(bar)),
                 static_cast<UINT>(NM_RELEASEDCAPTURE)};
    SendMessageA(main, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace

void InitCommonControlClasses() {
    // Every class from list views through animations.
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&classes);
}

void DeliverMessage(HWND main, MSG& message) {
    if (PressedByKey(main, message) || IsDialogMessageA(main, &message) != 0) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int RunMessageLoop(HWND main) {
    MSG message;
    for (;;) {
        const BOOL fetched = GetMessageA(&message, nullptr, 0, 0);
        if (fetched == 0 || fetched == -1) {
            return 0;
        }
        DeliverMessage(main, message);
    }
}

MainWindowHost::MainWindowHost(HINSTANCE instance)
    : instance_(instance),
      window_(instance),
      trackList_(window_),
      browser_(window_),
      tags_(BesideExecutable(files_.ExecutablePath(), kTagLibraryName, text_)) {}

HWND MainWindowHost::Create() {
    window_.CreateResources();
    const HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(kProgramIcon));
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = window_.FaceBrush();
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExA(&windowClass);
    // Not before: Wine may fail to make a thread's first window while the device's thread starts.
    audio_ = ChooseAudio();
    return CreateWindowExA(0, kMainWindowClass, "Tavrello", kMainStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr,
                           instance_, this);
}

void MainWindowHost::Attach(HWND main) {
    window_.Attach(main);
    audio_.device->SetNotifyWindow(main);
    player_.emplace(Seams{window_, trackList_, browser_, *audio_.device, *audio_.volume, files_,
                          tags_, text_, clock_, reinterpret_cast<intptr_t>(main)});
}

LRESULT CALLBACK MainWindowHost::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* host = reinterpret_cast<MainWindowHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        // The main window is known from the first message that carries the host on.
        host =
            static_cast<MainWindowHost*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
        host->Attach(window);
    }
    if (host != nullptr && host->player_.has_value()) {
        if (message == WM_APPCOMMAND) {
            if (const std::optional<MediaCommand> command = MediaCommandOf(lParam)) {
                OnMediaCommand(*host->player_, *command);
                return TRUE;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        }
        if (message == WM_NEXTDLGCTL && lParam == 0) {
            // Tab in a multi-line edit asks its parent for the next control, as of a dialog.
            SetFocus(GetNextDlgTabItem(window, GetFocus(), wParam != 0 ? TRUE : FALSE));
            return 0;
        }
        Message routed{message, wParam, lParam};
        if (message == MM_MCINOTIFY) {
            const std::optional<uint32_t> device =
                host->audio_.device->NoticeDevice(static_cast<uint32_t>(lParam));
            if (!device) {
                return 0;
            }
            routed.lParam = *device;
        }
        const std::optional<intptr_t> result = RouteMessage(*host->player_, routed);
        if (message == WM_HSCROLL) {
            EndKeyedMove(window, wParam, lParam);
        }
        if (result) {
            return *result;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tav
