// The GStreamer device on real files, played in real time into a fake sink.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "fakes/test_player.h"
#include "linux/gst_device.h"

namespace tav {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kTimedSink = "fakesink sync=true";
// How far a measured time may stray from the expected one: the sink's clock, the scheduler
// and the MP3 encoder's padding.
constexpr uint32_t kToleranceMs = 60;
// The success notice comes when the output has played a file up to a short lead before its
// end: at most this long before the end is heard.
constexpr auto kLead = 120ms;

// A posted message as (message id, wParam, lParam), comparable and printable.
using Posted = std::tuple<uint32_t, uintptr_t, intptr_t>;

// Collects the posted notices, from whatever thread posts them.
class RecordingPoster : public EventPoster {
public:
    void Post(const Message& message) override {
        std::lock_guard guard(lock_);
        messages_.emplace_back(message.id, message.wParam, message.lParam);
        arrived_.notify_all();
    }

    // Waits until at least `count` messages have arrived; returns all of them.
    std::vector<Posted> WaitFor(size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock guard(lock_);
        arrived_.wait_for(guard, timeout, [&] { return messages_.size() >= count; });
        return messages_;
    }

    std::vector<Posted> Taken() {
        std::lock_guard guard(lock_);
        return std::exchange(messages_, {});
    }

private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<Posted> messages_;
};

Posted Notice(NoticeKind kind, uint32_t id) {
    return {MM_MCINOTIFY_, kind, static_cast<intptr_t>(id)};
}

// A 16-bit mono WAV with a sine tone.
std::string ToneWav(uint32_t milliseconds, double frequency = 440.0) {
    constexpr uint32_t rate = 44100;
    const uint32_t samples = rate * milliseconds / 1000;
    std::string bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    bytes += "RIFF";
    put(36 + samples * 2, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(rate, 4);
    put(rate * 2, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const double value = 12000.0 * std::sin(2.0 * M_PI * frequency * i / rate);
        put(static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
    }
    return bytes;
}

class GstDeviceTest : public ::testing::Test {
protected:
    std::string AddWav(const std::string& name, uint32_t milliseconds) {
        return dir.AddFile(name, ToneWav(milliseconds));
    }

    std::string AddMp3(const std::string& name, uint32_t milliseconds) {
        const std::string wav = AddWav(name + ".source.wav", milliseconds);
        const std::string mp3 = (dir.Root() / name).string();
        const std::string command = "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return mp3;
    }

    uint32_t OpenOk(const std::string& path) {
        uint32_t id = 0;
        EXPECT_EQ(device.Open(path, id), 0u) << path;
        EXPECT_NE(id, 0u);
        return id;
    }

    uint32_t Status(uint32_t id, StatusItem item) {
        uint32_t value = 0xFFFFFFFF;
        EXPECT_EQ(device.Status(id, item, value), 0u);
        return value;
    }

    test::TempDir dir;
    RecordingPoster poster;
    GstMediaDevice device{poster, kTimedSink};
};

TEST_F(GstDeviceTest, OpenFailsForWhatCannotPlay) {
    std::mt19937 generator(7);
    std::string noise(64 * 1024, '\0');
    for (char& byte : noise) {
        byte = static_cast<char>(generator());
    }
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"missing file", (dir.Root() / "missing.wav").string()},
        {"folder", dir.AddFolder("folder.wav")},
        {"zero-byte WAV", dir.AddFile("empty.wav", "")},
        {"random bytes as MP3", dir.AddFile("noise.mp3", noise)},
        {"text as WAV", dir.AddFile("text.wav", "RIFF but nothing after it")},
    };
    for (const auto& c : cases) {
        uint32_t id = 12345;
        EXPECT_NE(device.Open(c.path, id), 0u) << c.what;
        EXPECT_EQ(id, 12345u) << c.what;
    }
    EXPECT_TRUE(poster.WaitFor(1, 200ms).empty());
}

TEST_F(GstDeviceTest, OpensNamesThatNeedEscaping) {
    const char* names[] = {"with space.wav", "sharp#1.wav", "100%25 % done.wav",
                           "夜想曲/ピアノ 曲.wav", "question?.wav"};
    for (const char* name : names) {
        const uint32_t id = OpenOk(AddWav(name, 300));
        EXPECT_NEAR(Status(id, StatusItem::Length), 300, kToleranceMs) << name;
        EXPECT_EQ(device.Close(id), 0u);
    }
}

TEST_F(GstDeviceTest, ReportsLengthAndPositionInMilliseconds) {
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"WAV", AddWav("tone.wav", 2500)},
        {"MP3", AddMp3("tone.mp3", 2500)},
    };
    for (const auto& c : cases) {
        const uint32_t id = OpenOk(c.path);
        EXPECT_EQ(device.SetTimeFormatMilliseconds(id), 0u);
        EXPECT_NEAR(Status(id, StatusItem::Length), 2500, kToleranceMs) << c.what;
        EXPECT_NEAR(Status(id, StatusItem::Position), 0, kToleranceMs) << c.what;
        EXPECT_EQ(device.Seek(id, 1800), 0u);
        EXPECT_NEAR(Status(id, StatusItem::Position), 1800, kToleranceMs) << c.what;
        EXPECT_EQ(device.Close(id), 0u);
    }
    EXPECT_TRUE(poster.Taken().empty());
}

TEST_F(GstDeviceTest, GivesEachOpenDeviceItsOwnId) {
    const std::string path = AddWav("tone.wav", 200);
    const uint32_t first = OpenOk(path);
    const uint32_t second = OpenOk(path);
    EXPECT_NE(first, second);
    EXPECT_EQ(device.Close(first), 0u);
    EXPECT_NE(device.Close(first), 0u);
    uint32_t value = 77;
    EXPECT_NE(device.Status(first, StatusItem::Length, value), 0u);
    EXPECT_EQ(value, 77u);
    EXPECT_NE(device.Play(first), 0u);
    EXPECT_EQ(device.Close(second), 0u);
}

TEST_F(GstDeviceTest, PlayToTheEndPostsOneSuccess) {
    const uint32_t id = OpenOk(AddWav("tone.wav", 1000));
    const auto start = Clock::now();
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_TRUE(poster.Taken().empty()) << "the notice comes later, never from inside Play";
    EXPECT_EQ(poster.WaitFor(1), std::vector{Notice(NotifySuccessful, id)});
    const auto noticed = Clock::now() - start;
    EXPECT_GE(noticed, 1000ms - kLead) << "the notice follows what has been heard";
    EXPECT_LE(noticed, 1000ms + std::chrono::milliseconds(kToleranceMs));
    EXPECT_EQ(Status(id, StatusItem::Position), Status(id, StatusItem::Length))
        << "from the notice on the file stands at its end";
    std::this_thread::sleep_for(kLead);
    EXPECT_EQ(poster.Taken(), std::vector{Notice(NotifySuccessful, id)}) << "exactly one";
    EXPECT_EQ(device.Close(id), 0u);
}

TEST_F(GstDeviceTest, PlayFromTheEndSucceedsAtOnce) {
    const uint32_t id = OpenOk(AddWav("tone.wav", 300));
    ASSERT_EQ(device.Play(id), 0u);
    ASSERT_EQ(poster.WaitFor(1).size(), 1u);
    poster.Taken();
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_EQ(poster.WaitFor(1, 200ms), std::vector{Notice(NotifySuccessful, id)});
}

TEST_F(GstDeviceTest, StopAbortsThePlayAndKeepsThePosition) {
    const uint32_t id = OpenOk(AddWav("tone.wav", 800));
    ASSERT_EQ(device.Play(id), 0u);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(device.Stop(id), 0u);
    const uint32_t stoppedAt = Status(id, StatusItem::Position);
    EXPECT_NEAR(stoppedAt, 300, 150);
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(poster.Taken(), std::vector{Notice(NotifyAborted, id)});
    EXPECT_EQ(Status(id, StatusItem::Position), stoppedAt);
    EXPECT_EQ(device.Stop(id), 0u) << "stopping a stopped device";
    EXPECT_TRUE(poster.Taken().empty());
}

TEST_F(GstDeviceTest, SeekInterruptsThePlayAndPlaysOnFromThere) {
    const uint32_t id = OpenOk(AddWav("tone.wav", 2000));
    ASSERT_EQ(device.Play(id), 0u);
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(device.Seek(id, 1500), 0u);
    const auto interrupted = poster.Taken();
    ASSERT_EQ(interrupted.size(), 1u);
    EXPECT_TRUE(interrupted[0] == Notice(NotifyAborted, id) ||
                interrupted[0] == Notice(NotifySuperseded, id));
    EXPECT_NEAR(Status(id, StatusItem::Position), 1500, kToleranceMs);

    const auto start = Clock::now();
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_EQ(poster.WaitFor(1), std::vector{Notice(NotifySuccessful, id)});
    const auto played = Clock::now() - start;
    EXPECT_GE(played, 500ms - kLead);
    EXPECT_LE(played, 900ms) << "played from the new position, not from the old one";
}

TEST_F(GstDeviceTest, SeekToTheEndThenPlaySucceeds) {
    const uint32_t id = OpenOk(AddMp3("tone.mp3", 1000));
    const uint32_t length = Status(id, StatusItem::Length);
    ASSERT_EQ(device.Seek(id, length), 0u);
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_EQ(poster.WaitFor(1, 1s), std::vector{Notice(NotifySuccessful, id)});
}

TEST_F(GstDeviceTest, PlayWhilePlayingSupersedesTheEarlierPlay) {
    const uint32_t id = OpenOk(AddWav("tone.wav", 500));
    ASSERT_EQ(device.Play(id), 0u);
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_EQ(poster.WaitFor(2),
              (std::vector{Notice(NotifySuperseded, id), Notice(NotifySuccessful, id)}));
}

TEST_F(GstDeviceTest, CloseWhilePlayingAbortsAndNothingFollows) {
    const uint32_t id = OpenOk(AddWav("tone.wav", 400));
    ASSERT_EQ(device.Play(id), 0u);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(device.Close(id), 0u);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(poster.Taken(), std::vector{Notice(NotifyAborted, id)});
}

// Files played back to back, as the player's advance does: on the success notice close the
// device, open the next file and play it.
TEST_F(GstDeviceTest, NextFileFollowsThePreviousSoundWithoutGapOrOverlap) {
    const uint32_t first = OpenOk(AddWav("1.wav", 800));
    ASSERT_EQ(device.Play(first), 0u);
    ASSERT_EQ(poster.WaitFor(1), std::vector{Notice(NotifySuccessful, first)});
    const auto firstNoticed = Clock::now();
    poster.Taken();
    ASSERT_EQ(device.Close(first), 0u);
    const uint32_t second = OpenOk(AddWav("2.wav", 800));
    ASSERT_EQ(device.Play(second), 0u);
    EXPECT_EQ(Status(second, StatusItem::Position), 0u) << "the first file's end plays first";
    ASSERT_EQ(poster.WaitFor(1), std::vector{Notice(NotifySuccessful, second)});
    // Both notices come equally early, so they lie one file's length apart: less when the
    // first file's end was cut off, more when silence came between the files.
    const auto apart = Clock::now() - firstNoticed;
    EXPECT_GE(apart, 750ms);
    EXPECT_LE(apart, 900ms);
}

TEST_F(GstDeviceTest, StopRightAfterTheAdvanceSilencesBothFiles) {
    const uint32_t first = OpenOk(AddWav("1.wav", 600));
    ASSERT_EQ(device.Play(first), 0u);
    ASSERT_EQ(poster.WaitFor(1), std::vector{Notice(NotifySuccessful, first)});
    poster.Taken();
    ASSERT_EQ(device.Close(first), 0u);
    const uint32_t second = OpenOk(AddWav("2.wav", 400));
    ASSERT_EQ(device.Play(second), 0u);
    ASSERT_EQ(device.Stop(second), 0u);
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(poster.Taken(), std::vector{Notice(NotifyAborted, second)});
    EXPECT_EQ(Status(second, StatusItem::Position), 0u) << "never heard";
    const auto start = Clock::now();
    ASSERT_EQ(device.Play(second), 0u);
    EXPECT_EQ(poster.WaitFor(1, 1s), std::vector{Notice(NotifySuccessful, second)});
    EXPECT_LE(Clock::now() - start, 700ms) << "right away, waiting for nothing";
}

TEST(GstDeviceFailureTest, PlayFailsWithoutAnAudioOutput) {
    test::TempDir dir;
    RecordingPoster poster;
    // A sink that cannot open, as without a sound server or an audio device.
    GstMediaDevice device(poster, "fakesink state-error=null-to-ready");
    uint32_t id = 0;
    ASSERT_EQ(device.Open(dir.AddFile("tone.wav", ToneWav(300)), id), 0u)
        << "the file itself decodes";
    EXPECT_NE(device.Play(id), 0u);
    EXPECT_TRUE(poster.WaitFor(1, 500ms).empty()) << "a refused play posts no notice";
    EXPECT_EQ(device.Close(id), 0u);
}

TEST(GstDeviceFailureTest, StreamErrorInMidFilePostsFailure) {
    test::TempDir dir;
    RecordingPoster poster;
    // The identity element fails the stream after a few buffers, as a broken file would.
    GstMediaDevice device(poster, "identity error-after=5 ! fakesink sync=true");
    uint32_t id = 0;
    ASSERT_EQ(device.Open(dir.AddFile("tone.wav", ToneWav(3000)), id), 0u);
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_EQ(poster.WaitFor(1), std::vector{Notice(NotifyFailure, id)});
    EXPECT_EQ(device.Stop(id), 0u) << "a broken stream can still be stopped";
    EXPECT_EQ(device.Close(id), 0u);
    EXPECT_EQ(poster.WaitFor(2, 200ms).size(), 1u);
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
    test::TempDir dir;
    RecordingPoster poster;
    const std::filesystem::path written = dir.Root() / "output.raw";
    GstMediaDevice device(poster, "filesink sync=true location=" + written.string());
    uint32_t id = 0;
    ASSERT_EQ(device.Open(dir.AddFile("tone.wav", ToneWav(300)), id), 0u);
    ASSERT_EQ(device.Play(id), 0u);
    ASSERT_EQ(poster.WaitFor(1), std::vector{Notice(NotifySuccessful, id)});
    ASSERT_EQ(device.Close(id), 0u);
    EXPECT_TRUE(HoldsOpen(written)) << "kept for a next file";
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(HoldsOpen(written));
}

// The sound server going away in mid-play and coming back, played by a file descriptor that
// takes every write (/dev/null), then refuses them (/dev/full), then takes them again.
TEST(GstDeviceFailureTest, SeekAfterTheOutputFailedPlaysOnANewOutput) {
    test::TempDir dir;
    RecordingPoster poster;
    const int server = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(server, 0);
    auto redirect = [server](const char* to) {
        const int target = open(to, O_WRONLY | O_CLOEXEC);
        ASSERT_EQ(dup2(target, server), server);
        close(target);
    };
    GstMediaDevice device(poster, "fdsink sync=true fd=" + std::to_string(server));
    uint32_t id = 0;
    ASSERT_EQ(device.Open(dir.AddFile("tone.wav", ToneWav(1500)), id), 0u);
    ASSERT_EQ(device.Play(id), 0u);
    std::this_thread::sleep_for(200ms);
    redirect("/dev/full");
    EXPECT_EQ(poster.WaitFor(1), std::vector{Notice(NotifyFailure, id)});
    redirect("/dev/null");
    ASSERT_EQ(device.Seek(id, 1000), 0u) << "the output is opened anew";
    uint32_t position = 0;
    EXPECT_EQ(device.Status(id, StatusItem::Position, position), 0u);
    EXPECT_NEAR(position, 1000, kToleranceMs);
    ASSERT_EQ(device.Play(id), 0u);
    EXPECT_EQ(poster.WaitFor(2),
              (std::vector{Notice(NotifyFailure, id), Notice(NotifySuccessful, id)}));
    EXPECT_EQ(device.Close(id), 0u);
    close(server);
}

}  // namespace
}  // namespace tav
