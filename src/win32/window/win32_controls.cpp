#include "win32/window/win32_controls.h"

#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include "player/control_table.h"

namespace tav {
int CALLBACK OnBrowserEvent(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

LRESULT Win32TrackListBox::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(window_.Control(TrackList), message, wParam, lParam);
}

int32_t Win32TrackListBox::Count() const {
    return static_cast<int32_t>(Send(LB_GETCOUNT, 0, 0));
}

std::string Win32TrackListBox::Text(int32_t index) const {
    const auto wParam = static_cast<WPARAM>(index);
    const LRESULT length = Send(LB_GETTEXTLEN, wParam, 0);
    if (length == LB_ERR) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = Send(LB_GETTEXT, wParam, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

int32_t Win32TrackListBox::Selection() const {
    return static_cast<int32_t>(Send(LB_GETCURSEL, 0, 0));
}

int32_t Win32TrackListBox::Caret() const {
    return static_cast<int32_t>(Send(LB_GETCARETINDEX, 0, 0));
}

void Win32TrackListBox::Select(int32_t index) {
    // An index past the end clears the selection, as -1 does.
    const int32_t target = index >= 0 && index < Count() ? index : -1;
    Send(LB_SETCURSEL, static_cast<WPARAM>(target), 0);
}

void Win32TrackListBox::Add(const std::string& text) {
    Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32TrackListBox::Reset() {
    Send(LB_RESETCONTENT, 0, 0);
}

std::optional<std::string> ShellFolderBrowser::Browse(const std::string& title,
                                                      const std::optional<std::string>& initial) {
    const HRESULT com = CoInitialize(nullptr);
    BROWSEINFOA info{};
    info.hwndOwner = window_.Main();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = OnBrowserEvent;
    info.lParam = initial.has_value() ? reinterpret_cast<LPARAM>(initial->c_str()) : 0;
    std::optional<std::string> chosen;
    if (const PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info); item != nullptr) {
        char path[MAX_PATH + 4] = {};
        if (SHGetPathFromIDListA(item, path) != 0) {
            chosen = path;
        }
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return chosen;
}

}  // namespace tav
