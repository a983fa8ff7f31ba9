// The MCI device on real files, played through Wine's wave output.
#include "win32/mci_device.h"

#include "device_contract/media_device_contract.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

// Wine's wave device reports the position of the sound it has handed on, up to half a second
// ahead of what is heard, posts its notices as late, and posts none for a play from the end.
// Its MP3 device cannot seek: the contract runs on WAV files only.
struct MciRig : DeviceRig {
    MciRig() : DeviceRig(20, 150, 600, false) { device.SetNotifyWindow(window.handle()); }
    MediaDevice& Device() override { return device; }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        const auto& notices = window.notices();
        if (!PumpUntil([&] { return notices.size() > taken; }, timeoutMs)) {
            return std::nullopt;
        }
        const NoticeWindow::Notice& notice = notices[taken++];
        return Notice{static_cast<uint32_t>(notice.flags),
                      device.NoticeDevice(static_cast<uint32_t>(notice.device)).value_or(0)};
    }
    uint32_t NowMs() override { return GetTickCount(); }

    NoticeWindow window;
    MciDevice device;
    size_t taken = 0;
};

std::unique_ptr<DeviceRig> MakeMciRig() {
    return HasWaveOutput() ? std::make_unique<MciRig>() : nullptr;
}

INSTANTIATE_TEST_SUITE_P(Mci, MediaDeviceContract, ::testing::Values(&MakeMciRig));

// Wine's MP3 device names device 0 in its notices; the notice must still close the device
// that played, or it would stay open and crash the process at exit. Once that device is
// closed (a stop or the next file came first), a late notice must never name device 0: the core
// would take it for its own idle state and advance.
TEST(MciDeviceTest, Mp3NoticeBelongsToTheDeviceThatPlayedWhileItIsOpen) {
    // Made at build time from a 600 ms tone, when the tools were there.
    const std::string mp3 = BesideTestProgram("media\\short.mp3");
    if (!HasWaveOutput() || !FileExists(mp3)) {
        GTEST_SKIP() << kNoWaveOutput << "; or no MP3 file (no sox and lame at build time)";
    }
    MciRig rig;
    const uint32_t id = rig.OpenOk(mp3);
    ASSERT_EQ(rig.device.Play(id), 0U);
    EXPECT_EQ(rig.NextNotice(10000), Notice(NotifySuccessful, id));
    const auto reported = static_cast<uint32_t>(rig.window.notices()[0].device);
    EXPECT_EQ(rig.device.Close(id), 0U);
    EXPECT_EQ(rig.device.NoticeDevice(reported).value_or(id), id) << "late notice taken";
}

}  // namespace
}  // namespace tav::test
