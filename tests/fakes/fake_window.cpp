#include "fakes/fake_window.h"

#include <algorithm>

#include "player/control_table.h"

namespace tav::test {

void FakeWindow::CreateControls() {
    for (const ControlSpec& row : ControlTable()) {
        Control& created = controls[row.id];
        created.text = row.text;
        created.rect = row.rect;
    }
    controlsCreated = true;
}

void FakeWindow::Destroy() {
    destroyed = true;
}

void FakeWindow::ReleaseResourcesAndQuit(int exitCode) {
    quitCode = exitCode;
}

std::string FakeWindow::ControlText(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? std::string() : found->second.text;
}

void FakeWindow::SetControlText(int id, const std::string& text) {
    controls[id].text = text;
}

void FakeWindow::EnableControl(int id, bool enabled) {
    controls[id].enabled = enabled;
}

bool FakeWindow::IsControlEnabled(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() || found->second.enabled;
}

void FakeWindow::MoveControl(int id, const Rect& rect) {
    controls[id].rect = rect;
}

void FakeWindow::MoveWindow(const Rect& outer) {
    edges = {outer.x, outer.y, outer.x + outer.width, outer.y + outer.height};
    if (onMoveWindow) {
        onMoveWindow(outer);
    }
}

void FakeWindow::SetStatusText(int part, const std::string& text) {
    statusTexts[part] = text;
    ++statusWrites;
}

std::string FakeWindow::StatusText(int part) const {
    const auto found = statusTexts.find(part);
    return found == statusTexts.end() ? std::string() : found->second;
}

void FakeWindow::SetComboSelection(int index) {
    comboSelection = index >= 0 && index < static_cast<int>(comboItems.size()) ? index : -1;
}

void FakeWindow::SetTrackbarRange(int id, int minimum, int maximum, bool /*redraw*/) {
    Control& bar = controls[id];
    bar.rangeMin = minimum;
    bar.rangeMax = maximum;
    bar.position = std::clamp(bar.position, minimum, maximum);
}

int FakeWindow::TrackbarPosition(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? 0 : found->second.position;
}

void FakeWindow::SetTrackbarPosition(int id, int position, bool /*redraw*/) {
    Control& bar = controls[id];
    bar.position = std::clamp(position, bar.rangeMin, bar.rangeMax);
}

void FakeWindow::ShowMessage(const std::string& text, const std::string& caption) {
    messages.push_back({text, caption});
    if (onMessage) {
        onMessage();
    }
}

}  // namespace tav::test
