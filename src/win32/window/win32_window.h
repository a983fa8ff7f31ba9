#pragma once

#include <windows.h>

#include <array>

#include "platform/window.h"
#include "player/control_table.h"

namespace tav {

// The main window and its child controls on real Win32 windows. The main window itself is
// created by the host; this object learns its handle at the start of creation (Attach) and
// then creates and drives the controls.
class Win32Window : public Window {
public:
    explicit Win32Window(HINSTANCE instance) : instance_(instance) {}
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // The shared control font and the face brush of the window class.
    void CreateResources();
    HBRUSH FaceBrush() const { return brush_; }
    void Attach(HWND main) { main_ = main; }
    HWND Main() const { return main_; }
    // The control with this id (70 for the status bar); null for any other id.
    HWND Control(int id) const;

    void CreateControls() override;
    void Destroy() override;
    void ReleaseResourcesAndQuit(int exitCode) override;
    std::string ControlText(int id) const override;
    void SetControlText(int id, const std::string& text) override;
    void EnableControl(int id, bool enabled) override;
    bool IsControlEnabled(int id) const override;
    void MoveControl(int id, const Rect& rect) override;
    void SetTitle(const std::string& text) override;
    std::string Title() const override;
    Edges WindowEdges() const override;
    void MoveWindow(const Rect& outer) override;
    Edges AvailableArea(const Edges& outer) const override;
    void InvalidateClient() override;
    void CreateStatusBar() override;
    void SetStatusParts(const std::array<int, 4>& rightEdges) override;
    void SetStatusText(int part, const std::string& text) override;
    std::string StatusText(int part) const override;
    void ResizeStatusBar(int width, int height) override;
    void AddComboItem(const std::string& text) override;
    int ComboSelection() const override;
    void SetComboSelection(int index) override;
    void SetTrackbarRange(int id, int minimum, int maximum, bool redraw) override;
    int TrackbarPosition(int id) const override;
    void SetTrackbarPosition(int id, int position, bool redraw) override;
    int ControlIdFromHandle(intptr_t handle) const override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;

private:
    void DeleteResources();

    HINSTANCE instance_;
    HWND main_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    HWND statusBar_ = nullptr;
};

// The text of any window, however long.
std::string WindowText(HWND window);

}  // namespace tav
