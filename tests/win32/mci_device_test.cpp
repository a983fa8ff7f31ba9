// The MCI device on real files, played through Wine's wave output.
#include "win32/audio/mci_device.h"

#include "window_rig.h"

namespace tav::test {
namespace {

// Wine's wave device reports the position of the sound it has handed on, up to half a second
// ahead of what is heard, posts its notices as late, and posts none for a play from the end.
// Its MP3 device cannot seek: the contract runs on WAV files only.
struct MciRig : WindowRig {
    MciRig() : WindowRig([] { return std::make_unique<MciDevice>(); }, 20, 150, 600, false) {}
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
    ASSERT_EQ(rig.device->Play(id), 0U);
    ASSERT_EQ(rig.NextNotice(10000), Notice(NotifySuccessful, id));
    const auto reported = static_cast<uint32_t>(rig.notices[0].second);
    EXPECT_EQ(rig.device->Close(id), 0U);
    EXPECT_EQ(rig.device->NoticeDevice(reported).value_or(id), id) << "late notice taken";
}

}  // namespace
}  // namespace tav::test
