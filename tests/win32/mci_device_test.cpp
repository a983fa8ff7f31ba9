// The MCI device on real files, played through Wine's wave output.
#include "win32/audio/mci_device.h"

#include "device_contract/media_device_contract.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

// Wine's wave device reports the position of the sound it has handed on, up to half a second
// ahead of what is heard, posts its notices as late, and posts none for a play from the end.
// Its MP3 device cannot seek: the contract runs on WAV files only. Notices go to a hidden window.
struct MciRig : DeviceRig {
    MciRig() : DeviceRig(20, 150, 600, false) {
        window.reset(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                     nullptr));
        SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        const WNDPROC record = [](HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message != MM_MCINOTIFY) {
                return DefWindowProcA(handle, message, wParam, lParam);
            }
            reinterpret_cast<MciRig*>(GetWindowLongPtrA(handle, GWLP_USERDATA))
                ->notices.emplace_back(wParam, lParam);
            return LRESULT{0};
        };
        SetWindowLongPtrA(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record));
        device.SetNotifyWindow(window.get());
    }
    MediaDevice& Device() override { return device; }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        if (!PumpUntil([&] { return notices.size() > taken; }, timeoutMs)) {
            return std::nullopt;
        }
        const auto [flags, id] = notices[taken++];
        return Notice{static_cast<uint32_t>(flags),
                      device.NoticeDevice(static_cast<uint32_t>(id)).value_or(0)};
    }
    uint32_t NowMs() override { return GetTickCount(); }

    std::vector<std::pair<WPARAM, LPARAM>> notices;
    std::unique_ptr<HWND__, decltype(&DestroyWindow)> window{nullptr, &DestroyWindow};
    MciDevice device;  // closed before the window goes
    size_t taken = 0;
};

std::unique_ptr<DeviceRig> MakeMciRig() {
    return HasWaveOutput() ? std::make_unique<MciRig>() : nullptr;
}

INSTANTIATE_TEST_SUITE_P(Mci, MediaDeviceContract, ::testing::Values(&MakeMciRig));

// Wine's MP3 device names device 0 in its notices: the notice must still close the device that
// played (or the process crashes at exit), and once that is closed (a stop or the next file came
// first) a late notice must never name device 0, which the core takes for idle and advances.
TEST(MciDeviceTest, Mp3NoticeBelongsToTheDeviceThatPlayedWhileItIsOpen) {
    const std::string mp3 = PlayableMp3();
    if (mp3.empty()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    MciRig rig;
    const uint32_t id = rig.OpenOk(mp3);
    ASSERT_EQ(rig.device.Play(id), 0U);
    ASSERT_EQ(rig.NextNotice(10000), Notice(NotifySuccessful, id));
    const auto reported = static_cast<uint32_t>(rig.notices[0].second);
    EXPECT_EQ(rig.device.Close(id), 0U);
    EXPECT_EQ(rig.device.NoticeDevice(reported).value_or(id), id) << "late notice taken";
}

}  // namespace
}  // namespace tav::test
