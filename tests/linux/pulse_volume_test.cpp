// The player's own stream volume: the channel mapping, a clean failure without a server, and
// (in a private PipeWire session) the stream's volume against the sink's and another
// application's.
#include <gtest/gtest.h>
#include <pulse/volume.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "fakes/test_player.h"
#include "linux/gst_device.h"
#include "linux/pulse_volume.h"

extern char** environ;

namespace tav::test {
namespace {

TEST(PulseVolumeMapping, ChannelsAreAmplitudeFactors) {
    EXPECT_EQ(ServerVolumeFromChannel(0), PA_VOLUME_MUTED);
    EXPECT_EQ(ServerVolumeFromChannel(65535), PA_VOLUME_NORM);
    // waveOutSetVolume's middle is half the amplitude: -6 dB.
    EXPECT_NEAR(pa_sw_volume_to_dB(ServerVolumeFromChannel(32767)), -6.02, 0.01);
    EXPECT_NEAR(pa_sw_volume_to_dB(ServerVolumeFromChannel(6553)), -20.0, 0.01);
    EXPECT_EQ(ChannelFromServerVolume(PA_VOLUME_NORM * 3 / 2), 65535);  // boosted reads full
    for (uint32_t channel = 0; channel <= 65535; ++channel) {
        const int back = ChannelFromServerVolume(ServerVolumeFromChannel(channel));
        ASSERT_LE(std::abs(back - static_cast<int>(channel)), 2) << channel;
    }
}

// Points the client library at a socket that does not exist, for the scope.
class NoServer {
public:
    NoServer() {
        if (const char* value = std::getenv("PULSE_SERVER")) {
            previous_ = value;
        }
        setenv("PULSE_SERVER", "unix:/nonexistent/tavrello-test/native", 1);
    }
    ~NoServer() {
        if (previous_) {
            setenv("PULSE_SERVER", previous_->c_str(), 1);
        } else {
            unsetenv("PULSE_SERVER");
        }
    }
    NoServer(const NoServer&) = delete;
    NoServer& operator=(const NoServer&) = delete;

private:
    std::optional<std::string> previous_;
};

TEST(PulseWaveVolume, WithoutAServerReadsFailAndWritesDoNothing) {
    const NoServer noServer;
    PulseWaveVolume volume;
    EXPECT_FALSE(volume.Read().has_value());
    volume.Write(0x80008000);  // must simply return
    EXPECT_FALSE(volume.Read().has_value());
}

// The tests below need the private session of scripts/with-audio-session.sh.

std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        while (size_t got = fread(chunk, 1, sizeof chunk, pipe)) {
            output.append(chunk, got);
        }
        pclose(pipe);
    }
    return output;
}

// A stream's linear volume per channel, as pactl reports it.
struct StreamVolume {
    double left = -1;
    double right = -1;
};

// The first volume line from `from` on in pactl's listing: "Volume: front-left: 52016 / ...".
std::optional<StreamVolume> VolumeAfter(const std::string& listing, size_t from) {
    const size_t line = listing.find("Volume: front-left:", from);
    const size_t right = listing.find("front-right:", line);
    if (line == std::string::npos || right == std::string::npos) {
        return std::nullopt;
    }
    const auto linear = [&](size_t at) {
        return pa_sw_volume_to_linear(
            static_cast<pa_volume_t>(std::stoul(listing.substr(listing.find(':', at) + 1))));
    };
    return StreamVolume{linear(line + 8), linear(right)};
}

// The volume of the sink input whose process is `pid`; nothing while it has none.
std::optional<StreamVolume> StreamOf(pid_t pid) {
    const std::string listing = Output("pactl list sink-inputs");
    const std::string mark = "application.process.id = \"" + std::to_string(pid) + "\"";
    const size_t at = listing.find(mark);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return VolumeAfter(listing, listing.rfind("Sink Input #", at));
}

bool Near(const std::optional<StreamVolume>& volume, double left, double right) {
    return volume && std::abs(volume->left - left) < 0.001 &&
           std::abs(volume->right - right) < 0.001;
}

// Waits up to five seconds for the process's stream to play at the given linear volumes (the
// server may apply a restored volume a moment after the stream appears); with no volumes given,
// for it to be gone. Returns what the stream showed last.
std::optional<StreamVolume> WaitForStream(pid_t pid, std::optional<StreamVolume> wanted) {
    std::optional<StreamVolume> shown;
    for (int i = 0; i < 100; ++i) {
        shown = StreamOf(pid);
        if (wanted ? Near(shown, wanted->left, wanted->right) : !shown) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return shown;
}

// Another application playing silence, for the scope.
class OtherPlayer {
public:
    OtherPlayer() {
        char program[] = "pacat";
        char input[] = "/dev/zero";
        char* argv[] = {program, input, nullptr};
        if (posix_spawnp(&pid_, program, nullptr, nullptr, argv, environ) != 0) {
            pid_ = 0;
        }
    }
    ~OtherPlayer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    OtherPlayer(const OtherPlayer&) = delete;
    OtherPlayer& operator=(const OtherPlayer&) = delete;
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = 0;
};

class NoPoster : public EventPoster {
public:
    void Post(const Message&) override {}
};

// 30 s of 8 kHz mono silence.
std::string SilentWav() {
    constexpr uint32_t kBytes = 8000 * 2 * 30;
    std::string bytes = "RIFF";
    const auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    put(36 + kBytes, 4);
    bytes += "WAVEfmt ";
    for (const auto& [value, size] :
         {std::pair{16U, 4}, {1U, 2}, {1U, 2}, {8000U, 4}, {16000U, 4}, {2U, 2}, {16U, 2}}) {
        put(value, size);
    }
    bytes += "data";
    put(kBytes, 4);
    bytes.append(kBytes, '\0');
    return bytes;
}

constexpr uint32_t Packed(uint16_t left, uint16_t right) {
    return left | (uint32_t{right} << 16);
}

void ExpectPackedNear(std::optional<uint32_t> read, uint32_t expected) {
    ASSERT_TRUE(read.has_value());
    EXPECT_NEAR(*read & 0xFFFF, expected & 0xFFFF, 2);
    EXPECT_NEAR(*read >> 16, expected >> 16, 2);
}

TEST(PulseVolumeInSession, TheBarSetsThePlayersOwnStreamAndItOutlivesTheStream) {
    const OtherPlayer other;
    ASSERT_TRUE(Near(WaitForStream(other.Pid(), StreamVolume{1, 1}), 1, 1)) << "no pacat stream";
    const std::string sinkBefore = Output("pactl get-sink-volume @DEFAULT_SINK@");
    TempDir dir;
    const std::string file = dir.AddFile("silence.wav", SilentWav());
    NoPoster poster;
    GstMediaDevice device(poster);  // the default output, as the program plays
    const auto play = [&] {
        uint32_t id = 0;
        EXPECT_EQ(device.Open(file, id), 0u);
        EXPECT_EQ(device.Play(id), 0u);
        return id;
    };

    // Set while no stream is open: the stream gets it when it appears.
    PulseWaveVolume volume;
    volume.Write(Packed(32767, 32767));
    uint32_t id = play();
    EXPECT_TRUE(Near(WaitForStream(getpid(), StreamVolume{0.5, 0.5}), 0.5, 0.5));

    // Set while it plays, with a balance.
    volume.Write(Packed(65535, 16384));
    EXPECT_TRUE(Near(StreamOf(getpid()), 1.0, 0.25));
    ExpectPackedNear(volume.Read(), Packed(65535, 16384));

    // Neither the device nor another application changes.
    EXPECT_EQ(Output("pactl get-sink-volume @DEFAULT_SINK@"), sinkBefore);
    EXPECT_TRUE(Near(StreamOf(other.Pid()), 1.0, 1.0));

    // Stopped and closed, then a new run: the volume reads back and comes back with the stream.
    EXPECT_EQ(device.Stop(id), 0u);
    EXPECT_EQ(device.Close(id), 0u);
    ASSERT_FALSE(WaitForStream(getpid(), std::nullopt).has_value());
    PulseWaveVolume nextRun;
    ExpectPackedNear(nextRun.Read(), Packed(65535, 16384));
    id = play();
    EXPECT_TRUE(Near(WaitForStream(getpid(), StreamVolume{1.0, 0.25}), 1.0, 0.25));
    device.Close(id);
}

}  // namespace
}  // namespace tav::test
