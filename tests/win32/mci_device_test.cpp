// The MCI device on real files, played through Wine's wave output.
#include "win32/mci_device.h"

#include "device_contract/media_device_contract.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

class MciRig : public DeviceRig {
public:
    // Wine's wave output starts and reports its position in steps of its buffers.
    MciRig() {
        device.SetNotifyWindow(window.handle());
        slackMs = 150;
        leadMs = 150;
    }
    MediaDevice& Device() override { return device; }
    // Made at build time from a 600 ms tone, when the tools were there.
    std::optional<Media> Mp3(const TempDir&) override {
        const std::string path = BesideTestProgram("media\\short.mp3");
        return FileExists(path) ? std::optional<Media>(Media{path, 600}) : std::nullopt;
    }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        const auto& notices = window.notices();
        if (!PumpUntil([&] { return notices.size() > taken_; }, timeoutMs)) {
            return std::nullopt;
        }
        const NoticeWindow::Notice& notice = notices[taken_++];
        return Notice{static_cast<uint32_t>(notice.flags),
                      device.NoticeDevice(static_cast<uint32_t>(notice.device)).value_or(0)};
    }
    void Pass(uint32_t ms) override {
        PumpUntil([] { return false; }, ms);
    }
    uint32_t NowMs() override { return GetTickCount(); }

    NoticeWindow window;
    MciDevice device;

private:
    size_t taken_ = 0;
};

std::unique_ptr<DeviceRig> MakeMciRig() {
    return HasWaveOutput() ? std::make_unique<MciRig>() : nullptr;
}

INSTANTIATE_TEST_SUITE_P(Mci, MediaDeviceContract, ::testing::Values(&MakeMciRig));

// Wine's MP3 device names device 0 in its notices; the notice must still close the device
// that played, or it would stay open and crash the process at exit. Once that device is
// closed (a stop came first), a late notice must never name device 0: the core would take it
// for its own idle state and advance.
TEST(MciDeviceTest, Mp3NoticeBelongsToTheDeviceThatPlayedWhileItIsOpen) {
    const auto rig = MakeMciRig();
    const TempDir dir;
    const auto mp3 = rig ? rig->Mp3(dir) : std::nullopt;
    if (!mp3) {
        GTEST_SKIP() << (rig ? "no MP3 test file (sox and lame were not found at build time)"
                             : kNoWaveOutput);
    }
    auto& mci = static_cast<MciRig&>(*rig);
    uint32_t id = 0;
    ASSERT_EQ(mci.device.Open(mp3->path, id), 0U);
    ASSERT_EQ(mci.device.Play(id), 0U);
    EXPECT_EQ(mci.NextNotice(10000), (Notice{NotifySuccessful, id}));
    const auto reported = static_cast<uint32_t>(mci.window.notices()[0].device);
    EXPECT_EQ(mci.device.Stop(id), 0U);
    EXPECT_EQ(mci.device.Close(id), 0U);
    const std::optional<uint32_t> late = mci.device.NoticeDevice(reported);
    EXPECT_TRUE(!late.has_value() || *late == id) << "late notice taken for device " << *late;
}

}  // namespace
}  // namespace tav::test
