#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window.h"
#include "player/control_table.h"

namespace tav::test {

struct ShownMessage {
    std::string text;
    std::string caption;
};

// A headless main window: records what the core sets and answers what it asks, with the
// behaviour of the Win32 controls the core relies on (trackbar clamping, a combo selection
// out of range selecting nothing).
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

    void CreateControls() override {
        for (const ControlSpec& row : ControlTable()) {
            controls[row.id] = {row.text, true, row.rect};
        }
    }
    void Destroy() override { destroyed = true; }
    void ReleaseResourcesAndQuit(int exitCode) override { quitCode = exitCode; }
    std::string ControlText(int id) const override { return Find(id).text; }
    void SetControlText(int id, const std::string& text) override { controls[id].text = text; }
    void EnableControl(int id, bool enabled) override { controls[id].enabled = enabled; }
    bool IsControlEnabled(int id) const override { return Find(id).enabled; }
    void MoveControl(int id, const Rect& rect) override { controls[id].rect = rect; }
    void SetTitle(const std::string& text) override { title = text; }
    std::string Title() const override { return title; }
    Edges WindowEdges() const override { return edges; }
    void MoveWindow(const Rect& r) override { edges = {r.x, r.y, r.x + r.width, r.y + r.height}; }
    // One screen less its task bar.
    Edges AvailableArea(const Edges&) const override { return {0, 0, 1920, 1040}; }
    void InvalidateClient() override { ++invalidations; }
    void CreateStatusBar() override {}
    void SetStatusParts(const std::array<int, 4>& rightEdges) override { statusParts = rightEdges; }
    void SetStatusText(int part, const std::string& text) override { statusTexts[part] = text; }
    std::string StatusText(int part) const override {
        return statusTexts.contains(part) ? statusTexts.at(part) : std::string();
    }
    void ResizeStatusBar(int, int) override {}
    void AddComboItem(const std::string& text) override { comboItems.push_back(text); }
    int ComboSelection() const override { return comboSelection; }
    void SetComboSelection(int index) override {
        comboSelection = index >= 0 && index < static_cast<int>(comboItems.size()) ? index : -1;
    }
    void SetTrackbarRange(int id, int minimum, int maximum, bool) override {
        Control& bar = controls[id];
        bar.rangeMin = minimum;
        bar.rangeMax = maximum;
        bar.position = std::clamp(bar.position, minimum, maximum);
    }
    int TrackbarPosition(int id) const override { return Find(id).position; }
    void SetTrackbarPosition(int id, int position, bool) override {
        Control& bar = controls[id];
        bar.position = std::clamp(position, bar.rangeMin, bar.rangeMax);
    }
    int ControlIdFromHandle(intptr_t handle) const override { return static_cast<int>(handle); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption});
    }
    void StartTimer(int id, int periodMs) override { timers[id] = periodMs; }
    void StopTimer(int id) override { timers.erase(id); }

    std::map<int, Control> controls;
    std::string title;
    Edges edges{100, 100, 900, 736};
    int invalidations = 0;
    bool destroyed = false;
    std::optional<int> quitCode;
    std::array<int, 4> statusParts{};
    std::map<int, std::string> statusTexts;
    std::vector<std::string> comboItems;
    int comboSelection = -1;
    std::vector<ShownMessage> messages;
    std::map<int, int> timers;

private:
    Control Find(int id) const { return controls.contains(id) ? controls.at(id) : Control(); }
};

}  // namespace tav::test
