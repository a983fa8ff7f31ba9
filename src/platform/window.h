#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/geometry.h"

namespace tav {

// The main window and its child controls, addressed by control id. Texts are byte strings in
// the system encoding (CP932 on Windows, UTF-8 on Linux); the core never converts them.
// Every method runs on the UI thread.
class Window {
public:
    virtual ~Window() = default;

    // Creates the controls of the control table, in id order, each with the shared font.
    virtual void CreateControls() = 0;
    // Destroys the main window at once; the front end then routes WM_DESTROY.
    virtual void Destroy() = 0;
    // Releases the font and brush and posts the quit message with the given exit code.
    virtual void ReleaseResourcesAndQuit(int exitCode) = 0;

    // Text of any control (edits, labels, buttons) and of the main window title.
    virtual std::string ControlText(int id) const = 0;
    virtual void SetControlText(int id, const std::string& text) = 0;
    virtual void EnableControl(int id, bool enabled) = 0;
    virtual bool IsControlEnabled(int id) const = 0;
    virtual void MoveControl(int id, const Rect& rect) = 0;  // without repaint
    virtual void SetTitle(const std::string& text) = 0;
    virtual std::string Title() const = 0;

    // Outer rectangle of the main window in screen coordinates.
    virtual Edges WindowEdges() const = 0;
    virtual void MoveWindow(const Rect& outer) = 0;  // without repaint; runs the layout
    // Available area (the screen less task bars and docks) of the screen that shows most of
    // the outer rectangle, or of the screen nearest to it when none shows any.
    virtual Edges AvailableArea(const Edges& outer) const = 0;
    virtual void InvalidateClient() = 0;  // repaint once, without erasing

    // Status bar (id 70): created with no text; parts given by their right edges.
    virtual void CreateStatusBar() = 0;
    virtual void SetStatusParts(const std::array<int, 4>& rightEdges) = 0;
    virtual void SetStatusText(int part, const std::string& text) = 0;
    virtual std::string StatusText(int part) const = 0;
    virtual void ResizeStatusBar(int width, int height) = 0;

    // Unit combo box (drop-down list, unsorted). Selection -1 means none.
    virtual void AddComboItem(const std::string& text) = 0;
    virtual int ComboSelection() const = 0;
    virtual void SetComboSelection(int index) = 0;  // out of range selects nothing

    // Trackbars.
    virtual void SetTrackbarRange(int id, int minimum, int maximum, bool redraw) = 0;
    virtual int TrackbarPosition(int id) const = 0;
    virtual void SetTrackbarPosition(int id, int position, bool redraw) = 0;
    // Maps the handle that WM_HSCROLL carries to the sending control's id (0 when unknown).
    virtual int ControlIdFromHandle(intptr_t handle) const = 0;

    // Modal message box with an OK button only; its loop still delivers notices and ticks.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

    // Window timers; ticks arrive later as WM_TIMER through the event queue.
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void StopTimer(int id) = 0;
};

// The track list: a sorted list box (LBS_SORT). Positions are places in its sorted order.
class TrackListBox {
public:
    virtual ~TrackListBox() = default;
    virtual int32_t Count() const = 0;
    virtual std::string Text(int32_t index) const = 0;  // empty when out of range
    virtual int32_t Selection() const = 0;              // -1 when none
    virtual int32_t Caret() const = 0;
    virtual void Select(int32_t index) = 0;  // out of range clears the selection
    virtual void Add(const std::string& text) = 0;
    virtual void Reset() = 0;
};

// The shell folder browser. Modal; returns the confirmed file-system folder, or nothing.
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    virtual std::optional<std::string> Browse(const std::string& title,
                                              const std::optional<std::string>& initial) = 0;
};

}  // namespace tav
