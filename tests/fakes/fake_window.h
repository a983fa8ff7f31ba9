#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/window.h"

namespace tav::test {

struct ShownMessage {
    std::string text;
    std::string caption;
};

// A headless main window: records what the core sets and answers what it asks, with the
// behaviour of the Win32 controls where the core relies on it (trackbar clamping, combo
// selection out of range selecting nothing).
class FakeWindow : public Window {
public:
    struct Control {
        std::string text;
        bool enabled = true;
        std::optional<Rect> rect;
        int rangeMin = 0;
        int rangeMax = 100;
        int position = 0;
    };

    void CreateControls() override;
    void Destroy() override;
    void ReleaseResourcesAndQuit(int exitCode) override;
    std::string ControlText(int id) const override;
    void SetControlText(int id, const std::string& text) override;
    void EnableControl(int id, bool enabled) override;
    bool IsControlEnabled(int id) const override;
    void MoveControl(int id, const Rect& rect) override;
    void SetTitle(const std::string& text) override { title = text; }
    std::string Title() const override { return title; }
    Edges WindowEdges() const override { return edges; }
    void MoveWindow(const Rect& outer) override;
    Edges AvailableArea(const Edges&) const override { return availableArea; }
    void InvalidateClient() override { ++invalidations; }
    void CreateStatusBar() override { statusBarCreated = true; }
    void SetStatusParts(const std::array<int, 4>& rightEdges) override { statusParts = rightEdges; }
    void SetStatusText(int part, const std::string& text) override;
    std::string StatusText(int part) const override;
    void ResizeStatusBar(int width, int height) override { statusBarSize = {width, height}; }
    void AddComboItem(const std::string& text) override { comboItems.push_back(text); }
    int ComboSelection() const override { return comboSelection; }
    void SetComboSelection(int index) override;
    void SetTrackbarRange(int id, int minimum, int maximum, bool redraw) override;
    int TrackbarPosition(int id) const override;
    void SetTrackbarPosition(int id, int position, bool redraw) override;
    int ControlIdFromHandle(intptr_t handle) const override { return static_cast<int>(handle); }
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void StartTimer(int id, int periodMs) override { timers[id] = periodMs; }
    void StopTimer(int id) override { timers.erase(id); }

    Control& control(int id) { return controls[id]; }

    std::map<int, Control> controls;
    std::string title;
    Edges edges{100, 100, 900, 736};
    Edges availableArea{0, 0, 1920, 1040};  // one screen less its task bar
    int invalidations = 0;
    bool controlsCreated = false;
    bool destroyed = false;
    std::optional<int> quitCode;
    bool statusBarCreated = false;
    std::array<int, 4> statusParts{};
    std::map<int, std::string> statusTexts;
    std::pair<int, int> statusBarSize{};
    std::vector<std::string> comboItems;
    int comboSelection = -1;
    std::vector<ShownMessage> messages;
    std::map<int, int> timers;
    int statusWrites = 0;
    std::function<void()> onMessage;                // runs inside the "modal loop"
    std::function<void(const Rect&)> onMoveWindow;  // a real window then runs the layout
};

}  // namespace tav::test
