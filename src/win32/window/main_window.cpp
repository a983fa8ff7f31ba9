#include "win32/window/main_window.h"

#include <commctrl.h>

#include "app/media_keys.h"
#include "app/routing.h"

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

}  // namespace

void InitCommonControlClasses() {
    // Every class from list views through animations.
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&classes);
}

int RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL fetched = GetMessageA(&message, nullptr, 0, 0);
        if (fetched == 0 || fetched == -1) {
            return 0;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
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

// A media key acts as a click on the button it stands for.
void MainWindowHost::ClickFor(MediaCommand command) {
    if (const std::optional<int> button = MediaCommandButton(command, window_.IsPlaying())) {
        SendMessageA(window_.Main(), WM_COMMAND, MAKEWPARAM(*button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(window_.Control(*button)));
    }
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
                host->ClickFor(*command);
                return TRUE;
            }
            return DefWindowProcA(window, message, wParam, lParam);
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
        if (const std::optional<intptr_t> result = RouteMessage(*host->player_, routed)) {
            return *result;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tav
