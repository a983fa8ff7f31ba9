#pragma once

#include <windows.h>

#include "platform/window.h"
#include "win32/window/win32_window.h"

namespace tav {

// The track list on the real sorted list box (LBS_SORT), which keeps the order itself.
class Win32TrackListBox : public TrackListBox {
public:
    explicit Win32TrackListBox(const Win32Window& window) : window_(window) {}

    int32_t Count() const override;
    std::string Text(int32_t index) const override;
    int32_t Selection() const override;
    int32_t Caret() const override;
    void Select(int32_t index) override;
    void Add(const std::string& text) override;
    void Reset() override;

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

    const Win32Window& window_;
};

// The folder browser's callback: preselects `data` (a path text, or 0) once the browser is
// initialised. Always 0.
int CALLBACK OnBrowserEvent(HWND dialog, UINT message, LPARAM, LPARAM data);

// The shell folder browser, owned by the main window.
class ShellFolderBrowser : public FolderBrowser {
public:
    explicit ShellFolderBrowser(const Win32Window& window) : window_(window) {}
    std::optional<std::string> Browse(const std::string& title,
                                      const std::optional<std::string>& initial) override;

private:
    const Win32Window& window_;
};

}  // namespace tav
