// The GStreamer device on real files, played in real time into a fake sink.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>

#include "device_contract/media_device_contract.h"
#include "linux/gst_device.h"

namespace tav::test {
namespace {

using std::chrono::milliseconds;

// Notices come from whatever thread posts them. Times stray by the sink's clock, the scheduler
// and the MP3 encoder's padding; the notice comes a short lead before the end is heard.
struct GstRig : DeviceRig, EventPoster {
    explicit GstRig(const std::string& sink = "fakesink sync=true")
        : DeviceRig(60, 120, 60), device(*this, sink) {}
    void Post(const Message& message) override {
        EXPECT_EQ(message.id, MM_MCINOTIFY_);
        std::lock_guard guard(lock);
        notices.push_back(
            {static_cast<uint32_t>(message.wParam), static_cast<uint32_t>(message.lParam)});
        arrived.notify_all();
    }
    MediaDevice& Device() override { return device; }
    // Every file in a folder whose name a file URI must escape.
    std::string Wav(const std::string& name, uint32_t ms) override {
        return DeviceRig::Wav("夜想曲 #1?/" + name, ms);
    }
    std::optional<Media> Mp3() override {
        const std::string wav = Wav("tone.mp3.wav", 2500);
        const std::string mp3 = wav.substr(0, wav.size() - 4);
        EXPECT_EQ(std::system(("lame --quiet -b 128 '" + wav + "' '" + mp3 + "'").c_str()), 0);
        return Media{mp3, 2500};
    }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        std::unique_lock guard(lock);
        if (!arrived.wait_for(guard, milliseconds(timeoutMs), [&] { return !notices.empty(); })) {
            return std::nullopt;
        }
        const Notice notice = notices.front();
        notices.pop_front();
        return notice;
    }
    uint32_t NowMs() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(std::chrono::duration_cast<milliseconds>(now).count());
    }

    std::mutex lock;
    std::condition_variable arrived;
    std::deque<Notice> notices;
    GstMediaDevice device;  // last: gone before what its notices go to
};

std::unique_ptr<DeviceRig> MakeGstRig() {
    return std::make_unique<GstRig>();
}

INSTANTIATE_TEST_SUITE_P(Gst, MediaDeviceContract, ::testing::Values(&MakeGstRig));

// Whether this process holds the file open.
bool HoldsOpen(const std::filesystem::path& file) {
    std::error_code error;
    return std::ranges::any_of(std::filesystem::directory_iterator("/proc/self/fd"),
                               [&](const auto& fd) { return read_symlink(fd, error) == file; });
}

// Files played back to back as the player's advance does: on the success notice close, open the
// next file, play it. The output (here a file) stays open for a next file, then closes.
TEST(GstDeviceTest, NextFileFollowsWithoutGapOrOverlapAndAStopRightAfterSilencesBoth) {
    const TempDir output;
    const std::filesystem::path written = output.Root() / "output.raw";
    GstRig rig("filesink sync=true location=" + written.string());
    const uint32_t first = rig.OpenOk(rig.Wav("1.wav", 800));
    ASSERT_EQ(rig.device.Play(first), 0u);
    ASSERT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, first));
    const uint32_t firstNoticed = rig.NowMs();
    ASSERT_EQ(rig.device.Close(first), 0u);
    const uint32_t second = rig.OpenOk(rig.Wav("2.wav", 800));
    ASSERT_EQ(rig.device.Play(second), 0u);
    EXPECT_EQ(rig.Status(second, StatusItem::Position), 0u) << "the first file's end plays first";
    ASSERT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, second));
    // Equally early notices lie one file apart: less if its end was cut, more after silence.
    EXPECT_NEAR(rig.NowMs() - firstNoticed, 825, 75);
    ASSERT_EQ(rig.device.Close(second), 0u);
    const uint32_t third = rig.OpenOk(rig.Wav("3.wav", 400));
    ASSERT_EQ(rig.device.Play(third), 0u);
    ASSERT_EQ(rig.device.Stop(third), 0u);
    EXPECT_EQ(rig.NextNotice(1000), Notice(NotifyAborted, third));
    EXPECT_EQ(rig.NextNotice(800), std::nullopt);
    EXPECT_EQ(rig.Status(third, StatusItem::Position), 0u) << "never heard";
    const uint32_t start = rig.NowMs();
    ASSERT_EQ(rig.device.Play(third), 0u);
    EXPECT_EQ(rig.NextNotice(1000), Notice(NotifySuccessful, third));
    EXPECT_LE(rig.NowMs() - start, 700u) << "right away, waiting for nothing";
    ASSERT_EQ(rig.device.Close(third), 0u);
    EXPECT_TRUE(HoldsOpen(written)) << "kept for a next file";
    EXPECT_EQ(rig.NextNotice(1500), std::nullopt);
    EXPECT_FALSE(HoldsOpen(written));
}

TEST(GstDeviceFailureTest, PlayFailsWithoutAnAudioOutput) {
    // A sink that cannot open, as without a sound server or an audio device.
    GstRig rig("fakesink state-error=null-to-ready");
    const uint32_t id = rig.OpenOk(rig.Wav("tone.wav", 300));
    EXPECT_NE(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(500), std::nullopt) << "a refused play posts no notice";
}

// The sound server going away in mid-play (a stream error: failure) and coming back, played by a
// file descriptor that takes every write (/dev/null), then refuses them (/dev/full), then
// takes them again.
TEST(GstDeviceFailureTest, SeekAfterTheOutputFailedPlaysOnANewOutput) {
    const int server = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(server, 0);
    auto redirect = [server](const char* to) {
        const int target = open(to, O_WRONLY | O_CLOEXEC);
        ASSERT_EQ(dup2(target, server), server);
        close(target);
    };
    GstRig rig("fdsink sync=true fd=" + std::to_string(server));
    const uint32_t id = rig.OpenOk(rig.Wav("tone.wav", 1500));
    ASSERT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(200), std::nullopt);
    redirect("/dev/full");
    EXPECT_EQ(rig.NextNotice(3000), Notice(NotifyFailure, id));
    redirect("/dev/null");
    ASSERT_EQ(rig.device.Seek(id, 1000), 0u) << "the output is opened anew";
    EXPECT_NEAR(rig.Status(id, StatusItem::Position), 1000, rig.slackMs);
    ASSERT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, id));
    EXPECT_EQ(rig.device.Close(id), 0u);
    close(server);
}

}  // namespace
}  // namespace tav::test
