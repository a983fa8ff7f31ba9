#pragma once

#include <cstdint>
#include <optional>

namespace tav {

// Window messages with their Win32 numbers. The Win32 window procedure passes the real ones;
// the Qt front end and the tests synthesise the same.
enum MessageId : uint32_t {
    WM_CREATE_ = 0x0001,
    WM_DESTROY_ = 0x0002,
    WM_SIZE_ = 0x0005,
    WM_CLOSE_ = 0x0010,
    WM_QUERYENDSESSION_ = 0x0011,
    WM_ENDSESSION_ = 0x0016,
    WM_NOTIFY_ = 0x004E,
    WM_COMMAND_ = 0x0111,
    WM_TIMER_ = 0x0113,
    WM_HSCROLL_ = 0x0114,
    MM_MCINOTIFY_ = 0x03B9,
};

// Notification codes.
constexpr uint16_t BN_CLICKED_ = 0;
constexpr uint16_t LBN_SELCHANGE_ = 1;
constexpr uint16_t LBN_DBLCLK_ = 2;
constexpr uint16_t CBN_SELCHANGE_ = 1;
constexpr uint16_t EN_CHANGE_ = 0x0300;
constexpr int32_t NM_CUSTOMDRAW_ = -12;
constexpr int32_t NM_RELEASEDCAPTURE_ = -16;

// Scroll codes of a trackbar's WM_HSCROLL (low word of the first parameter).
enum TrackbarCode : uint16_t {
    TB_LINEUP_ = 0,
    TB_LINEDOWN_ = 1,
    TB_PAGEUP_ = 2,
    TB_PAGEDOWN_ = 3,
    TB_THUMBPOSITION_ = 4,
    TB_THUMBTRACK_ = 5,
    TB_TOP_ = 6,
    TB_BOTTOM_ = 7,
    TB_ENDTRACK_ = 8,
};

// Laid out as Win32's NMHDR, so the window procedure can pass WM_NOTIFY's lParam unchanged.
struct NotifyHeader {
    void* hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    uint32_t code = 0;
};

struct Message {
    uint32_t id = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

constexpr uint16_t LowWord(uintptr_t value) {
    return static_cast<uint16_t>(value & 0xFFFF);
}
constexpr uint16_t HighWord(uintptr_t value) {
    return static_cast<uint16_t>((value >> 16) & 0xFFFF);
}
constexpr uintptr_t MakeParam(uint16_t low, uint16_t high) {
    return static_cast<uintptr_t>(low) | (static_cast<uintptr_t>(high) << 16);
}

}  // namespace tav
