#include "dialog_presser.h"

#include <algorithm>

#include "win32/win32_window.h"

namespace tav::test {
namespace {

constexpr UINT kTickMs = 100;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == "#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(WindowText(child));
    return TRUE;
}

}  // namespace

DialogPresser* DialogPresser::active_ = nullptr;

DialogPresser::DialogPresser(int button) : button_(button) {
    active_ = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, OnTick);
}

DialogPresser::~DialogPresser() {
    KillTimer(nullptr, timer_);
    active_ = nullptr;
}

bool DialogPresser::ShowedText(const std::string& text) const {
    return std::find(texts_.begin(), texts_.end(), text) != texts_.end();
}

void CALLBACK DialogPresser::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (active_ != nullptr && !active_->pressed_ && dialog != nullptr) {
        active_->Press(dialog);
    }
}

void DialogPresser::Press(HWND dialog) {
    pressed_ = true;
    caption_ = WindowText(dialog);
    EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&texts_));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
}

}  // namespace tav::test
