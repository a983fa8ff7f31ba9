#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "device_contract/media_device_contract.h"
#include "win32/audio/win32_media_device.h"
#include "win32_test_support.h"

namespace tav::test {

// A Windows media device as the contract drives it: notices go to a hidden window and are
// taken in order, naming the device they stand for.
struct WindowRig : DeviceRig {
    // The window comes first: Wine may fail to make a process's first window while a device's
    // thread starts.
    WindowRig(const std::function<std::unique_ptr<Win32MediaDevice>()>& make, uint32_t slack,
              uint32_t lead, uint32_t late, bool fromEnd)
        : DeviceRig(slack, lead, late, fromEnd) {
        window.reset(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                     nullptr));
        SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        const WNDPROC record = [](HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message != MM_MCINOTIFY) {
                return DefWindowProcA(handle, message, wParam, lParam);
            }
            reinterpret_cast<WindowRig*>(GetWindowLongPtrA(handle, GWLP_USERDATA))
                ->notices.emplace_back(wParam, lParam);
            return LRESULT{0};
        };
        SetWindowLongPtrA(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record));
        device = make();
        device->SetNotifyWindow(window.get());
    }
    ~WindowRig() override { device.reset(); }  // closed before the window goes
    MediaDevice& Device() override { return *device; }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        if (!PumpUntil([&] { return notices.size() > taken; }, timeoutMs)) {
            return std::nullopt;
        }
        const auto [flags, id] = notices[taken++];
        return Notice{static_cast<uint32_t>(flags),
                      device->NoticeDevice(static_cast<uint32_t>(id)).value_or(0)};
    }
    uint32_t NowMs() override { return GetTickCount(); }

    std::vector<std::pair<WPARAM, LPARAM>> notices;
    std::unique_ptr<HWND__, decltype(&DestroyWindow)> window{nullptr, &DestroyWindow};
    std::unique_ptr<Win32MediaDevice> device;
    size_t taken = 0;
};

}  // namespace tav::test
