// The simulated device the core tests rely on, held to what the real devices do.
#include "device_contract/media_device_contract.h"

namespace tav::test {
namespace {

struct SimulatedRig : DeviceRig {
    MediaDevice& Device() override { return device; }
    std::string Wav(const std::string& name, uint32_t ms) override {
        const std::string path = DeviceRig::Wav(name, ms);
        device.lengths[path] = ms;
        return path;
    }
    std::vector<std::string> Undecodable() override {
        const std::vector<std::string> paths = DeviceRig::Undecodable();
        device.undecodable.insert(paths.back());  // reads no headers; refuses empty files itself
        return paths;
    }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        for (uint32_t waited = 0; queue.queue.empty() && waited < timeoutMs; waited += 10) {
            device.Advance(10);
        }
        if (queue.queue.empty()) {
            return std::nullopt;
        }
        const Message posted = queue.queue.front();
        queue.queue.pop_front();
        EXPECT_EQ(posted.id, MM_MCINOTIFY_);
        return Notice{static_cast<uint32_t>(posted.wParam), static_cast<uint32_t>(posted.lParam)};
    }
    uint32_t NowMs() override { return clock.ticks; }

    NativeFileSystem files;
    FakeEventQueue queue;
    FakeClock clock;
    SimulatedDevice device{files, queue, clock};
};

std::unique_ptr<DeviceRig> MakeSimulatedRig() {
    return std::make_unique<SimulatedRig>();
}

INSTANTIATE_TEST_SUITE_P(Simulated, MediaDeviceContract, ::testing::Values(&MakeSimulatedRig));

}  // namespace
}  // namespace tav::test
