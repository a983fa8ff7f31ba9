// The player's own stream volume: the channel mapping, a clean failure without a server, and
// (in a private PipeWire session) the stream's volume against the sink's and another
// application's.
#include <gtest/gtest.h>
#include <pulse/volume.h>
#include <signal.h>
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

TEST(PulseWaveVolume, WithoutAServerReadsFailAndWritesDoNothing) {
    const char* server = std::getenv("PULSE_SERVER");
    const std::string kept = server == nullptr ? "" : server;
    setenv("PULSE_SERVER", "unix:/nonexistent/tavrello-test/native", 1);
    PulseWaveVolume volume;
    EXPECT_FALSE(volume.Read().has_value());
    volume.Write(0x80008000);  // must simply return
    EXPECT_FALSE(volume.Read().has_value());
    server == nullptr ? unsetenv("PULSE_SERVER") : setenv("PULSE_SERVER", kept.c_str(), 1);
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

using Channels = std::pair<double, double>;  // linear volumes, left and right

// The volume pactl lists for the stream of process `pid` ("Volume: front-left: 52016 / ...");
// nothing while it has no stream.
std::optional<Channels> StreamOf(pid_t pid) {
    const std::string list = Output("pactl list sink-inputs");
    const size_t at = list.find("application.process.id = \"" + std::to_string(pid) + "\"");
    const size_t left = list.find("front-left:", list.rfind("Sink Input #", at));
    const size_t right = list.find("front-right:", left);
    if (at == std::string::npos || right == std::string::npos) {
        return std::nullopt;
    }
    const auto linear = [&](size_t from) {
        const auto value = std::stoul(list.substr(list.find(':', from) + 1));
        return pa_sw_volume_to_linear(static_cast<pa_volume_t>(value));
    };
    return Channels{linear(left), linear(right)};
}

bool Near(const std::optional<Channels>& shown, Channels wanted) {
    return shown && std::abs(shown->first - wanted.first) < 0.001 &&
           std::abs(shown->second - wanted.second) < 0.001;
}

// Waits up to five seconds for the process's stream to play at the wanted volume (the server
// may apply a restored volume a moment after the stream appears), or without one to be gone.
bool StreamBecomes(pid_t pid, std::optional<Channels> wanted) {
    for (int i = 0; i < 100; ++i) {
        if (wanted ? Near(StreamOf(pid), *wanted) : !StreamOf(pid)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Another application playing silence, for the scope.
struct OtherPlayer {
    ~OtherPlayer() { kill(pid, SIGTERM); }
    const pid_t pid = std::stoi(Output("pacat /dev/zero >/dev/null 2>&1 & echo $!"));
};

class NoPoster : public EventPoster {
public:
    void Post(const Message&) override {}
};

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
    ASSERT_TRUE(StreamBecomes(other.pid, Channels{1, 1})) << "no pacat stream";
    const std::string sinkBefore = Output("pactl get-sink-volume @DEFAULT_SINK@");
    TempDir dir;
    const std::string file = dir.Path() + "silence.wav";  // 30 s
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 -b 16 '" + file + "' trim 0 30").c_str()), 0);
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
    EXPECT_TRUE(StreamBecomes(getpid(), Channels{0.5, 0.5}));

    // Set while it plays, with a balance.
    volume.Write(Packed(65535, 16384));
    EXPECT_TRUE(Near(StreamOf(getpid()), {1.0, 0.25}));
    ExpectPackedNear(volume.Read(), Packed(65535, 16384));

    // Neither the device nor another application changes.
    EXPECT_EQ(Output("pactl get-sink-volume @DEFAULT_SINK@"), sinkBefore);
    EXPECT_TRUE(Near(StreamOf(other.pid), {1.0, 1.0}));

    // Stopped and closed, then a new run: the volume reads back and comes back with the stream.
    EXPECT_EQ(device.Stop(id), 0u);
    EXPECT_EQ(device.Close(id), 0u);
    ASSERT_TRUE(StreamBecomes(getpid(), std::nullopt));
    PulseWaveVolume nextRun;
    ExpectPackedNear(nextRun.Read(), Packed(65535, 16384));
    id = play();
    EXPECT_TRUE(StreamBecomes(getpid(), Channels{1.0, 0.25}));
    device.Close(id);
}

}  // namespace
}  // namespace tav::test
