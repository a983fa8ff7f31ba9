#include "win32/window/win32_window.h"

#include <commctrl.h>

#include <algorithm>

namespace tav {
namespace {

constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP;

// The one font of every control: 12 pixels, Shift_JIS, as the program has always drawn.
HFONT CreateControlFont() {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY,
                       FF_SWISS | DEFAULT_PITCH, "ＭＳ Ｐゴシック");
}

LPARAM TextParam(const std::string& text) {
    return reinterpret_cast<LPARAM>(text.c_str());
}

}  // namespace

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

Win32Window::~Win32Window() {
    DeleteResources();
}

void Win32Window::CreateResources() {
    font_ = CreateControlFont();
    brush_ = CreateSolidBrush(GetSysColor(COLOR_3DFACE));
}

void Win32Window::DeleteResources() {
    if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    if (brush_ != nullptr) {
        DeleteObject(brush_);
        brush_ = nullptr;
    }
}

HWND Win32Window::Control(int id) const {
    if (id == StatusBarId) {
        return statusBar_;
    }
    const int index = id - kFirstControlId;
    return index >= 0 && index < kControlCount ? controls_[static_cast<std::size_t>(index)]
                                               : nullptr;
}

void Win32Window::CreateControls() {
    for (const ControlSpec& row : ControlTable()) {
        const HWND control = CreateWindowExA(
            row.exStyle, row.className, row.text, row.style, row.rect.x, row.rect.y, row.rect.width,
            row.rect.height, main_, reinterpret_cast<HMENU>(static_cast<intptr_t>(row.id)),
            instance_, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        controls_[static_cast<std::size_t>(row.id - kFirstControlId)] = control;
    }
    // The window order is the order of Tab and of screen readers, which name a control by
    // the label just before it: the reading order, not the table's.
    HWND previous = HWND_TOP;
    for (const int id : ReadingOrder()) {
        SetWindowPos(Control(id), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = Control(id);
    }
}

void Win32Window::Destroy() {
    DestroyWindow(main_);
}

void Win32Window::ReleaseResourcesAndQuit(int exitCode) {
    DeleteResources();
    PostQuitMessage(exitCode);
}

std::string Win32Window::ControlText(int id) const {
    const HWND control = Control(id);
    return control != nullptr ? WindowText(control) : std::string();
}

void Win32Window::SetControlText(int id, const std::string& text) {
    SetWindowTextA(Control(id), text.c_str());
}

void Win32Window::EnableControl(int id, bool enabled) {
    EnableWindow(Control(id), enabled ? TRUE : FALSE);
}

bool Win32Window::IsControlEnabled(int id) const {
    return IsWindowEnabled(Control(id)) != 0;
}

void Win32Window::MoveControl(int id, const Rect& rect) {
    ::MoveWindow(Control(id), rect.x, rect.y, rect.width, rect.height, FALSE);
}

void Win32Window::SetTitle(const std::string& text) {
    SetWindowTextA(main_, text.c_str());
}

std::string Win32Window::Title() const {
    return WindowText(main_);
}

Edges Win32Window::WindowEdges() const {
    RECT rect{};
    GetWindowRect(main_, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Window::MoveWindow(const Rect& outer) {
    ::MoveWindow(main_, outer.x, outer.y, outer.width, outer.height, FALSE);
}

Edges Win32Window::AvailableArea(const Edges& outer) const {
    const RECT rect{outer.left, outer.top, outer.right, outer.bottom};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info) == 0) {
        return outer;
    }
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

void Win32Window::InvalidateClient() {
    InvalidateRect(main_, nullptr, FALSE);
}

void Win32Window::CreateStatusBar() {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, kStatusBarStyle, 0, 0, 0, 0, main_,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(StatusBarId)),
                                 instance_, nullptr);
}

void Win32Window::SetStatusParts(const std::array<int, 4>& rightEdges) {
    SendMessageA(statusBar_, SB_SETPARTS, rightEdges.size(),
                 reinterpret_cast<LPARAM>(rightEdges.data()));
}

void Win32Window::SetStatusText(int part, const std::string& text) {
    // The part index with drawing type 0: the default sunken border.
    SendMessageA(statusBar_, SB_SETTEXTA, static_cast<WPARAM>(part), TextParam(text));
}

std::string Win32Window::StatusText(int part) const {
    const auto length =
        LOWORD(SendMessageA(statusBar_, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(statusBar_, SB_GETTEXTA, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

void Win32Window::ResizeStatusBar(int width, int height) {
    SendMessageA(statusBar_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
}

void Win32Window::AddComboItem(const std::string& text) {
    SendMessageA(Control(UnitCombo), CB_ADDSTRING, 0, TextParam(text));
}

int Win32Window::ComboSelection() const {
    return static_cast<int>(SendMessageA(Control(UnitCombo), CB_GETCURSEL, 0, 0));
}

void Win32Window::SetComboSelection(int index) {
    SendMessageA(Control(UnitCombo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The arrows step a twentieth of the range; a page is a fifth, as the trackbar sets it.
void Win32Window::SetTrackbarRange(int id, int minimum, int maximum, bool redraw) {
    SendMessageA(Control(id), TBM_SETRANGE, redraw ? TRUE : FALSE, MAKELPARAM(minimum, maximum));
    SendMessageA(Control(id), TBM_SETLINESIZE, 0, std::max((maximum - minimum) / 20, 1));
}

int Win32Window::TrackbarPosition(int id) const {
    return static_cast<int>(SendMessageA(Control(id), TBM_GETPOS, 0, 0));
}

void Win32Window::SetTrackbarPosition(int id, int position, bool redraw) {
    SendMessageA(Control(id), TBM_SETPOS, redraw ? TRUE : FALSE, position);
}

int Win32Window::ControlIdFromHandle(intptr_t handle) const {
    const auto control = reinterpret_cast<HWND>(handle);
    return IsChild(main_, control) ? GetDlgCtrlID(control) : 0;
}

void Win32Window::ShowMessage(const std::string& text, const std::string& caption) {
    MessageBoxA(main_, text.c_str(), caption.c_str(), MB_OK);
}

void Win32Window::StartTimer(int id, int periodMs) {
    SetTimer(main_, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
}

void Win32Window::StopTimer(int id) {
    KillTimer(main_, static_cast<UINT_PTR>(id));
}

}  // namespace tav
