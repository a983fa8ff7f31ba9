// The player's own stream volume: the channel mapping, no server, and in a private PipeWire
// session the stream's volume against the sink's and another application's.
#include <gtest/gtest.h>
#include <pulse/volume.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
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
    QProcess shell;
    shell.start("sh", {"-c", QString::fromStdString(command)});
    shell.waitForFinished();
    return shell.readAllStandardOutput().toStdString();
}

// The linear volumes of the left and right channel of process `pid`'s stream as pactl lists
// them ("Volume: front-left: 52016 / ..."), to three places: "1.000 0.250"; "" while it has
// no stream.
std::string StreamOf(pid_t pid) {
    const std::string list = Output("pactl list sink-inputs");
    const size_t at = list.find("application.process.id = \"" + std::to_string(pid) + "\"");
    const size_t left = list.find("front-left:", list.rfind("Sink Input #", at));
    const size_t right = list.find("front-right:", left);
    if (at == std::string::npos || right == std::string::npos) {
        return "";
    }
    const auto linear = [&](size_t from) {
        const auto value = std::stoul(list.substr(list.find(':', from) + 1));
        return pa_sw_volume_to_linear(static_cast<pa_volume_t>(value));
    };
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.3f %.3f", linear(left), linear(right));
    return shown;
}

// Waits up to five seconds for the process's stream to show `wanted` (the server may apply a
// restored volume a moment after the stream appears); returns what it showed last.
std::string WaitForStream(pid_t pid, const std::string& wanted) {
    std::string shown = StreamOf(pid);
    for (int i = 0; i < 100 && shown != wanted; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        shown = StreamOf(pid);
    }
    return shown;
}

// Another application playing silence, for the scope.
struct OtherPlayer {
    ~OtherPlayer() { kill(pid, SIGTERM); }
    const pid_t pid = std::stoi(Output("pacat /dev/zero >/dev/null 2>&1 & echo $!"));
};

struct NoPoster : EventPoster {
    void Post(const Message&) override {}
};

void ExpectReads(PulseWaveVolume& volume, int left, int right) {
    const uint32_t read = volume.Read().value_or(0);  // none fails as silence
    EXPECT_NEAR(read & 0xFFFF, left, 2);
    EXPECT_NEAR(read >> 16, right, 2);
}

TEST(PulseVolumeInSession, TheBarSetsThePlayersOwnStreamAndItOutlivesTheStream) {
    const OtherPlayer other;
    ASSERT_EQ(WaitForStream(other.pid, "1.000 1.000"), "1.000 1.000") << "no pacat stream";
    const std::string sinkBefore = Output("pactl get-sink-volume @DEFAULT_SINK@");
    TempDir dir;
    const std::string file = dir.Path() + "silence.wav";  // 30 s
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 -b 16 '" + file + "' trim 0 30").c_str()), 0);
    NoPoster poster;
    GstMediaDevice device(poster);  // the default output, as the program plays
    uint32_t id = 0;

    // Set while no stream is open: the stream gets it when it appears.
    PulseWaveVolume volume;
    volume.Write(0x7FFF7FFF);  // half the amplitude
    ASSERT_EQ(device.Open(file, id), 0u);
    EXPECT_EQ(device.Play(id), 0u);
    EXPECT_EQ(WaitForStream(getpid(), "0.500 0.500"), "0.500 0.500");

    // Set while it plays, with a balance.
    volume.Write(0x4000FFFF);  // left full, right a quarter
    EXPECT_EQ(StreamOf(getpid()), "1.000 0.250");
    ExpectReads(volume, 65535, 16384);

    // Neither the device nor another application changes.
    EXPECT_EQ(Output("pactl get-sink-volume @DEFAULT_SINK@"), sinkBefore);
    EXPECT_EQ(StreamOf(other.pid), "1.000 1.000");

    // Stopped and closed, then a new run: the volume reads back and comes back with the stream.
    EXPECT_EQ(device.Stop(id), 0u);
    EXPECT_EQ(device.Close(id), 0u);
    ASSERT_EQ(WaitForStream(getpid(), ""), "");
    PulseWaveVolume nextRun;
    ExpectReads(nextRun, 65535, 16384);
    ASSERT_EQ(device.Open(file, id), 0u);
    EXPECT_EQ(device.Play(id), 0u);
    EXPECT_EQ(WaitForStream(getpid(), "1.000 0.250"), "1.000 0.250");
    device.Close(id);
}

}  // namespace
}  // namespace tav::test
