// The GStreamer device on real files, played in real time into a fake sink.
#include <fcntl.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "device_contract/media_device_contract.h"
#include "linux/gst_device.h"

namespace tav::test {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Holds the notices the device posts, from whatever thread posts them.
class GstRig : public DeviceRig, public EventPoster {
public:
    // The measured times stray by the sink's clock, the scheduler and the MP3 encoder's
    // padding; the notice comes up to a short lead before the end is heard.
    explicit GstRig(const std::string& sink = "fakesink sync=true") : device(*this, sink) {
        slackMs = 60;
        leadMs = 120;
    }
    void Post(const Message& message) override {
        EXPECT_EQ(message.id, MM_MCINOTIFY_);
        std::lock_guard guard(lock_);
        notices_.push_back(
            {static_cast<uint32_t>(message.wParam), static_cast<uint32_t>(message.lParam)});
        arrived_.notify_all();
    }
    MediaDevice& Device() override { return device; }
    std::optional<Media> Mp3(const TempDir& dir) override {
        const std::string wav = Wav(dir, "tone.mp3.wav", 2500);
        const std::string mp3 = (dir.Root() / "tone.mp3").string();
        const std::string command = "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return Media{mp3, 2500};
    }
    std::vector<std::string> Undecodable(const TempDir& dir) override {
        std::vector<std::string> paths = DeviceRig::Undecodable(dir);
        std::mt19937 generator(7);
        std::string noise(64 * 1024, '\0');
        for (char& byte : noise) {
            byte = static_cast<char>(generator());
        }
        paths.push_back(dir.AddFile("noise.mp3", noise));
        return paths;
    }
    std::optional<Notice> NextNotice(uint32_t timeoutMs) override {
        std::unique_lock guard(lock_);
        if (!arrived_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                               [&] { return !notices_.empty(); })) {
            return std::nullopt;
        }
        const Notice notice = notices_.front();
        notices_.pop_front();
        return notice;
    }
    void Pass(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    uint32_t NowMs() override {
        const auto now = SteadyClock::now().time_since_epoch();
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    uint32_t OpenOk(const std::string& path) {
        uint32_t id = 0;
        EXPECT_EQ(device.Open(path, id), 0u) << path;
        return id;
    }
    uint32_t Position(uint32_t id) {
        uint32_t position = 0xDEADBEEF;
        EXPECT_EQ(device.Status(id, StatusItem::Position, position), 0u);
        return position;
    }

private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<Notice> notices_;

public:
    GstMediaDevice device;
};

std::unique_ptr<DeviceRig> MakeGstRig() {
    return std::make_unique<GstRig>();
}

INSTANTIATE_TEST_SUITE_P(Gst, MediaDeviceContract, ::testing::Values(&MakeGstRig));

TEST(GstDeviceTest, OpensNamesThatAreNoPlainUriPath) {
    TempDir dir;
    GstRig rig;
    for (const char* name : {"question?.wav", "夜想曲/ピアノ 曲.wav"}) {
        const uint32_t id = rig.OpenOk(rig.Wav(dir, name, 300));
        uint32_t length = 0;
        EXPECT_EQ(rig.device.Status(id, StatusItem::Length, length), 0u);
        EXPECT_NEAR(length, 300, rig.slackMs) << name;
        EXPECT_EQ(rig.device.Close(id), 0u);
    }
}

// Files played back to back, as the player's advance does: on the success notice close the
// device, open the next file and play it.
TEST(GstDeviceTest, NextFileFollowsThePreviousSoundWithoutGapOrOverlap) {
    TempDir dir;
    GstRig rig;
    const uint32_t first = rig.OpenOk(rig.Wav(dir, "1.wav", 800));
    ASSERT_EQ(rig.device.Play(first), 0u);
    ASSERT_EQ(rig.NextNotice(3000), (Notice{NotifySuccessful, first}));
    const uint32_t firstNoticed = rig.NowMs();
    ASSERT_EQ(rig.device.Close(first), 0u);
    const uint32_t second = rig.OpenOk(rig.Wav(dir, "2.wav", 800));
    ASSERT_EQ(rig.device.Play(second), 0u);
    EXPECT_EQ(rig.Position(second), 0u) << "the first file's end plays first";
    ASSERT_EQ(rig.NextNotice(3000), (Notice{NotifySuccessful, second}));
    // Both notices come equally early, so they lie one file's length apart: less when the
    // first file's end was cut off, more when silence came between the files.
    EXPECT_NEAR(rig.NowMs() - firstNoticed, 825, 75);
}

TEST(GstDeviceTest, StopRightAfterTheAdvanceSilencesBothFiles) {
    TempDir dir;
    GstRig rig;
    const uint32_t first = rig.OpenOk(rig.Wav(dir, "1.wav", 600));
    ASSERT_EQ(rig.device.Play(first), 0u);
    ASSERT_EQ(rig.NextNotice(3000), (Notice{NotifySuccessful, first}));
    ASSERT_EQ(rig.device.Close(first), 0u);
    const uint32_t second = rig.OpenOk(rig.Wav(dir, "2.wav", 400));
    ASSERT_EQ(rig.device.Play(second), 0u);
    ASSERT_EQ(rig.device.Stop(second), 0u);
    EXPECT_EQ(rig.NextNotice(1000), (Notice{NotifyAborted, second}));
    EXPECT_EQ(rig.NextNotice(800), std::nullopt);
    EXPECT_EQ(rig.Position(second), 0u) << "never heard";
    const uint32_t start = rig.NowMs();
    ASSERT_EQ(rig.device.Play(second), 0u);
    EXPECT_EQ(rig.NextNotice(1000), (Notice{NotifySuccessful, second}));
    EXPECT_LE(rig.NowMs() - start, 700u) << "right away, waiting for nothing";
}

TEST(GstDeviceFailureTest, PlayFailsWithoutAnAudioOutput) {
    TempDir dir;
    // A sink that cannot open, as without a sound server or an audio device.
    GstRig rig("fakesink state-error=null-to-ready");
    const uint32_t id = rig.OpenOk(rig.Wav(dir, "tone.wav", 300));
    EXPECT_NE(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(500), std::nullopt) << "a refused play posts no notice";
    EXPECT_EQ(rig.device.Close(id), 0u);
}

TEST(GstDeviceFailureTest, StreamErrorInMidFilePostsFailure) {
    TempDir dir;
    // The identity element fails the stream after a few buffers, as a broken file would.
    GstRig rig("identity error-after=5 ! fakesink sync=true");
    const uint32_t id = rig.OpenOk(rig.Wav(dir, "tone.wav", 3000));
    ASSERT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(3000), (Notice{NotifyFailure, id}));
    EXPECT_EQ(rig.device.Stop(id), 0u) << "a broken stream can still be stopped";
    EXPECT_EQ(rig.device.Close(id), 0u);
    EXPECT_EQ(rig.NextNotice(200), std::nullopt);
}

// Whether this process holds the file open.
bool HoldsOpen(const std::filesystem::path& file) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == file) {
            return true;
        }
    }
    return false;
}

// The output's stream (here a file sink) stays open for a next file, and closes once nothing
// has followed the last one: no sound-server stream is left running while stopped.
TEST(GstDeviceOutputTest, OutputClosesItsStreamWhenNothingFollows) {
    TempDir dir;
    const std::filesystem::path written = dir.Root() / "output.raw";
    GstRig rig("filesink sync=true location=" + written.string());
    const uint32_t id = rig.OpenOk(rig.Wav(dir, "tone.wav", 300));
    ASSERT_EQ(rig.device.Play(id), 0u);
    ASSERT_EQ(rig.NextNotice(3000), (Notice{NotifySuccessful, id}));
    ASSERT_EQ(rig.device.Close(id), 0u);
    EXPECT_TRUE(HoldsOpen(written)) << "kept for a next file";
    rig.Pass(1500);
    EXPECT_FALSE(HoldsOpen(written));
}

// The sound server going away in mid-play and coming back, played by a file descriptor that
// takes every write (/dev/null), then refuses them (/dev/full), then takes them again.
TEST(GstDeviceFailureTest, SeekAfterTheOutputFailedPlaysOnANewOutput) {
    TempDir dir;
    const int server = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(server, 0);
    auto redirect = [server](const char* to) {
        const int target = open(to, O_WRONLY | O_CLOEXEC);
        ASSERT_EQ(dup2(target, server), server);
        close(target);
    };
    GstRig rig("fdsink sync=true fd=" + std::to_string(server));
    const uint32_t id = rig.OpenOk(rig.Wav(dir, "tone.wav", 1500));
    ASSERT_EQ(rig.device.Play(id), 0u);
    rig.Pass(200);
    redirect("/dev/full");
    EXPECT_EQ(rig.NextNotice(3000), (Notice{NotifyFailure, id}));
    redirect("/dev/null");
    ASSERT_EQ(rig.device.Seek(id, 1000), 0u) << "the output is opened anew";
    EXPECT_NEAR(rig.Position(id), 1000, rig.slackMs);
    ASSERT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(3000), (Notice{NotifySuccessful, id}));
    EXPECT_EQ(rig.device.Close(id), 0u);
    close(server);
}

}  // namespace
}  // namespace tav::test
