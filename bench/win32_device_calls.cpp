// How long each call of a Windows media device keeps its caller (the UI thread) waiting, run
// under Wine by run-wine-playback-bench.sh: every file is opened, played, sought to its middle
// while playing, played on, stopped and closed; prints the median and the longest wait of each
// call.
//
//   win32_device_calls mf|mci FILE...
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "call_times.h"
#include "win32/audio/mci_device.h"
#include "win32/audio/mf_device.h"

namespace {

// Waits while the notices that come are dispatched (and dropped).
void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}

struct PerformanceCounterMs {
    static double NowMs() {
        LARGE_INTEGER frequency;
        LARGE_INTEGER now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart) * 1000 / static_cast<double>(frequency.QuadPart);
    }
};

int TimeCalls(tav::MediaDevice& device, const std::vector<std::string>& files) {
    tav::bench::CallTimes<PerformanceCounterMs> times;
    for (const std::string& file : files) {
        uint32_t id = 0;
        uint32_t length = 0;
        if (times.Time("open", [&] { return device.Open(file, id); }) != 0 ||
            device.SetTimeFormatMilliseconds(id) != 0 ||
            device.Status(id, tav::StatusItem::Length, length) != 0) {
            std::fprintf(stderr, "cannot open %s\n", file.c_str());
            return 1;
        }
        times.Time("play", [&] { return device.Play(id); });
        Pump(150);
        times.Time("status", [&] { return device.Status(id, tav::StatusItem::Position, length); });
        times.Time("seek", [&] { return device.Seek(id, length / 2); });
        times.Time("play", [&] { return device.Play(id); });
        Pump(150);
        times.Time("stop", [&] { return device.Stop(id); });
        times.Time("close", [&] { return device.Close(id); });
    }
    times.Print();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() < 2 || (arguments[0] != "mf" && arguments[0] != "mci")) {
        std::fprintf(stderr, "usage: %s mf|mci FILE...\n", argv[0]);
        return 2;
    }
    std::unique_ptr<tav::Win32MediaDevice> device;
    if (arguments[0] == "mci") {
        device = std::make_unique<tav::MciDevice>();
    } else if (std::unique_ptr<tav::MediaFoundation> library = tav::MediaFoundation::Load()) {
        device = std::make_unique<tav::MfMediaDevice>(std::move(library));
    } else {
        std::fprintf(stderr, "Media Foundation does not load\n");
        return 1;
    }
    // Notices go to a hidden window of this thread.
    const HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    device->SetNotifyWindow(window);
    Pump(1000);  // a user's first click comes a moment after the window shows
    const int status =
        TimeCalls(*device, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    device.reset();
    DestroyWindow(window);
    return status;
}
