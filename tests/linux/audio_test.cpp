// The Linux audio output: the GStreamer device on real files, played in real time into a fake
// sink, and the player's own stream volume, in a private PipeWire session against the sink's
// and another application's.
#include <fcntl.h>
#include <pulse/volume.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "device_contract/media_device_contract.h"
#include "linux/audio/gst_device.h"
#include "linux/audio/pulse_volume.h"

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

// How many descriptors the process holds open: each pipeline holds some (its bus's wake-up),
// so a pipeline kept alive after its close shows here.
std::ptrdiff_t OpenDescriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
}

// Files played back to back as the player's advance does: on the success notice close, open the
// next file, play it. The output (here a file) stays open for a next file, then closes. Nothing
// of a closed file or of a stopped output stream stays.
TEST(GstDeviceTest, NextFileFollowsWithoutGapOrOverlapAndAStopRightAfterSilencesBoth) {
    const TempDir output;
    const std::filesystem::path written = output.Root() / "output.raw";
    GstRig rig("filesink sync=true location=" + written.string());
    const uint32_t first = rig.OpenOk(rig.Wav("1.wav", 800));
    ASSERT_EQ(rig.device.Play(first), 0u);
    ASSERT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, first));
    const uint32_t firstNoticed = rig.NowMs();
    ASSERT_EQ(rig.device.Close(first), 0u);
    const std::ptrdiff_t held = OpenDescriptors();  // the output's stream and the test's own
    const uint32_t second = rig.OpenOk(rig.Wav("2.wav", 800));
    ASSERT_EQ(rig.device.Play(second), 0u);
    // Slow builds (the sanitizers) may open the next file after the lead has played out.
    EXPECT_LE(rig.Status(second, StatusItem::Position), 20u) << "the first file's end plays first";
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
    EXPECT_EQ(OpenDescriptors(), held) << "two more files played, the stream was stopped";
    EXPECT_EQ(rig.NextNotice(1500), std::nullopt);
    EXPECT_FALSE(HoldsOpen(written));
}

// Without an output (a sink that cannot open, as without a sound server or device) a play fails.
// The sound server going away in mid-play (a stream error: failure) and coming back, played by a
// descriptor that takes every write (/dev/null), refuses them (/dev/full), then takes them again.
TEST(GstDeviceFailureTest, PlayFailsWithoutAnOutputAndASeekAfterItFailedOpensANewOne) {
    GstRig silent("fakesink state-error=null-to-ready");
    const uint32_t refused = silent.OpenOk(silent.Wav("tone.wav", 300));
    EXPECT_NE(silent.device.Play(refused), 0u);
    EXPECT_EQ(silent.NextNotice(500), std::nullopt) << "a refused play posts no notice";
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

TEST(PulseWaveVolume, ChannelsAreAmplitudeFactorsAndWithoutAServerReadsFail) {
    EXPECT_EQ(ServerVolumeFromChannel(0), PA_VOLUME_MUTED);
    EXPECT_EQ(ServerVolumeFromChannel(65535), PA_VOLUME_NORM);
    // waveOutSetVolume's middle is half the amplitude: -6 dB.
    EXPECT_NEAR(pa_sw_volume_to_dB(ServerVolumeFromChannel(32767)), -6.02, 0.01);
    EXPECT_EQ(ChannelFromServerVolume(PA_VOLUME_NORM * 3 / 2), 65535);  // boosted reads full
    for (uint32_t channel = 0; channel <= 65535; ++channel) {
        const int back = ChannelFromServerVolume(ServerVolumeFromChannel(channel));
        ASSERT_LE(std::abs(back - static_cast<int>(channel)), 2) << channel;
    }
    // Without a server reads fail and writes do nothing.
    const char* server = std::getenv("PULSE_SERVER");
    const std::string kept = server == nullptr ? "" : server;
    setenv("PULSE_SERVER", "unix:/nonexistent/tavrello-test/native", 1);
    PulseWaveVolume volume;
    EXPECT_FALSE(volume.Read().has_value());
    volume.Write(0x80008000);  // must simply return
    EXPECT_FALSE(volume.Read().has_value());
    server == nullptr ? unsetenv("PULSE_SERVER") : setenv("PULSE_SERVER", kept.c_str(), 1);
}

std::string Output(const std::string& command) {
    QProcess shell;
    shell.start("sh", {"-c", QString::fromStdString(command)});
    shell.waitForFinished();
    return shell.readAllStandardOutput().toStdString();
}

// Runs the command in the folder; what it printed.
std::string OutputIn(const TempDir& dir, const std::string& command) {
    return Output("cd '" + dir.Root().string() + "' && " + command);
}

// MPEG audio without a Xing header, as older encoders, VBR encoders told to leave it out and MP3
// in RIFF make it: the first status after the open gives the decoded length (ffmpeg's count of
// the samples), and a seek right after the open lands, what plays from there being the rest.
TEST(GstDeviceTest, MpegWithoutXingHeaderHasItsLengthAtOnceAndSeeksLand) {
    struct Case {
        const char* make;  // from sox's tone to `file` in the folder
        const char* file;
        double rate;
        double frame;  // samples per frame
    };
    const Case cases[] = {
        {"sox -n -r 44100 in.wav synth 4 sine 440 && lame --quiet -t -b 128 in.wav f.mp3", "f.mp3",
         44100, 1152},
        // Silence first: the first frames' bitrate is far below the whole file's.
        {"sox -n -r 44100 in.wav synth 4 whitenoise fade t 3 && lame --quiet -t -V 2 in.wav f.mp3",
         "f.mp3", 44100, 1152},
        {"sox -n -r 8000 in.wav synth 4 sine 440 && lame --quiet -t -b 16 in.wav f.mp3", "f.mp3",
         8000, 576},
        {"sox -n -r 48000 in.wav synth 4 sine 440 && "
         "ffmpeg -loglevel error -i in.wav -c:a libmp3lame -b:a 128k -f wav f.wav",
         "f.wav", 48000, 1152},
    };
    constexpr uint32_t kSeekMs = 3000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.make);
        const TempDir dir;
        ASSERT_EQ(OutputIn(dir, c.make + std::string(" && echo made")), "made\n");
        const std::string file = (dir.Root() / c.file).string();
        const std::string decode =
            "ffmpeg -loglevel error -i " + std::string(c.file) + " -ac 1 -f s16le - | wc -c";
        const double samples = std::stod(OutputIn(dir, decode)) / 2;  // 16-bit mono
        const double decodedMs = samples * 1000 / c.rate;
        const double frameMs = c.frame * 1000 / c.rate;
        const std::filesystem::path written = dir.Root() / "output.raw";
        GstRig rig("filesink sync=true location=" + written.string());
        const uint32_t id = rig.OpenOk(file);
        EXPECT_NEAR(rig.Status(id, StatusItem::Length), decodedMs, frameMs);
        ASSERT_EQ(rig.device.Seek(id, kSeekMs), 0u);
        ASSERT_EQ(rig.device.Play(id), 0u);
        EXPECT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, id));
        EXPECT_NEAR(rig.Status(id, StatusItem::Length), decodedMs, frameMs) << "and stays";
        ASSERT_EQ(rig.device.Close(id), 0u);
        for (int i = 0; i < 40 && HoldsOpen(written); ++i) {
            std::this_thread::sleep_for(milliseconds(50));
        }
        // The output plays 48 kHz stereo floats.
        const double playedMs = std::filesystem::file_size(written) / 8.0 / 48.0;
        EXPECT_NEAR(playedMs, decodedMs - kSeekMs, frameMs);
    }
}

// The tests below need the private session of scripts/with-audio-session.sh.

// The linear volumes of the left and right channel of process `pid`'s stream as pactl lists
// them ("front-left: 52016 / ..."), to three places: "1.000 0.250"; "" while it has none.
std::string StreamOf(pid_t pid) {
    const std::string list = Output("pactl list sink-inputs");
    const size_t at = list.find("application.process.id = \"" + std::to_string(pid) + "\"");
    const size_t left = list.find("front-left:", list.rfind("Sink Input #", at));
    const size_t right = list.find("front-right:", left);
    if (at == std::string::npos || right == std::string::npos) {
        return "";
    }
    const auto linear = [&](size_t from) {
        return pa_sw_volume_to_linear(std::stoi(list.substr(list.find(':', from) + 1)));
    };
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.3f %.3f", linear(left), linear(right));
    return shown;
}

// Waits up to five seconds for the process's stream to show `wanted` (the server may apply a
// restored volume a moment after the stream appears); returns what it showed last.
std::string WaitForStream(pid_t pid, const std::string& wanted) {
    std::string shown;
    for (int i = 0; i < 100 && (shown = StreamOf(pid)) != wanted; ++i) {
        std::this_thread::sleep_for(milliseconds(50));
    }
    return shown;
}

// Another application playing silence, for the scope.
struct OtherPlayer {
    ~OtherPlayer() { kill(pid, SIGTERM); }
    const pid_t pid = std::stoi(Output("pacat /dev/zero >/dev/null 2>&1 & echo $!"));
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
    GstRig rig("autoaudiosink");  // the default output, as the program plays
    const std::string file = rig.Wav("tone.wav", 30000);

    // Set while no stream is open: the stream gets it when it appears.
    PulseWaveVolume volume;
    volume.Write(0x7FFF7FFF);  // half the amplitude
    uint32_t id = rig.OpenOk(file);
    EXPECT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(WaitForStream(getpid(), "0.500 0.500"), "0.500 0.500");
    // On a session that starts cold the session manager may restore a new stream's volume a
    // second time, a moment after the first, and undo a write made in between.
    std::this_thread::sleep_for(milliseconds(1000));

    // Set while it plays, with a balance.
    volume.Write(0x4000FFFF);  // left full, right a quarter
    EXPECT_EQ(WaitForStream(getpid(), "1.000 0.250"), "1.000 0.250");
    ExpectReads(volume, 65535, 16384);

    // Neither the device nor another application changes; the mixer shows the installed icon.
    EXPECT_EQ(Output("pactl get-sink-volume @DEFAULT_SINK@"), sinkBefore);
    EXPECT_NE(
        Output("pactl list sink-inputs").find("application.icon_name = \"org.tavrello.Tavrello\""),
        std::string::npos);
    EXPECT_EQ(StreamOf(other.pid), "1.000 1.000");

    // Paused, the stream stays open past the time an idle one is kept.
    EXPECT_EQ(rig.device.Pause(id), 0u);
    std::this_thread::sleep_for(milliseconds(1000));
    EXPECT_EQ(StreamOf(getpid()), "1.000 0.250");

    // Stopped and closed, then a new run: the volume reads back and comes back with the stream.
    EXPECT_EQ(rig.device.Stop(id), 0u);
    EXPECT_EQ(rig.device.Close(id), 0u);
    ASSERT_EQ(WaitForStream(getpid(), ""), "");
    PulseWaveVolume nextRun;
    ExpectReads(nextRun, 65535, 16384);
    id = rig.OpenOk(file);
    EXPECT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(WaitForStream(getpid(), "1.000 0.250"), "1.000 0.250");
    rig.device.Close(id);
}

// One kind of WAV file a Windows user's collection holds: as sox writes it, or lame's MP3 in a
// RIFF WAV as Windows' MP3 codec writes it (then `sox` is null).
struct WavCodec {
    const char* name;
    const char* sox;
    uint32_t rate;
    uint32_t hz;  // one pitch per row, so a row played by another row's file shows
    uint32_t mpegKbps = 0;
    bool oddData = false;
};

constexpr uint32_t kToneMs = 400;
constexpr uint32_t kRecordRate = 48000;

void Run(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

void AppendLittleEndian(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i, value >>= 8) {
        bytes.push_back(static_cast<char>(value & 0xFF));
    }
}

// MPEGLAYER3WAVEFORMAT (format tag, channels, rate, bytes a second, block align, bits, extra
// size, ID, flags, block size, frames a block, codec delay), a fact chunk and the data chunk
// with the pad byte an odd size takes.
std::string MpegInRiff(const std::string& mp3, const WavCodec& codec, uint32_t samples) {
    const std::pair<uint32_t, int> fields[] = {
        {0x55, 2},       {1, 2},
        {codec.rate, 4}, {codec.mpegKbps * 125, 4},
        {1, 2},          {0, 2},
        {12, 2},         {1, 2},
        {2, 4},          {codec.mpegKbps * 144000 / codec.rate, 2},
        {1, 2},          {1393, 2}};
    std::string fmt;
    for (const auto& [value, size] : fields) {
        AppendLittleEndian(fmt, value, size);
    }
    std::string body = "WAVEfmt ";
    AppendLittleEndian(body, static_cast<uint32_t>(fmt.size()), 4);
    body += fmt + "fact";
    AppendLittleEndian(body, 4, 4);
    AppendLittleEndian(body, samples, 4);
    body += "data";
    AppendLittleEndian(body, static_cast<uint32_t>(mp3.size()), 4);
    body += mp3 + std::string(mp3.size() % 2, '\0');
    std::string riff = "RIFF";
    AppendLittleEndian(riff, static_cast<uint32_t>(body.size()), 4);
    return riff + body;
}

// A tone of kToneMs at the row's pitch, in the row's format.
std::string CodecFile(const TempDir& dir, const WavCodec& codec) {
    const std::string path = (dir.Root() / (std::to_string(codec.hz) + ".wav")).string();
    const std::string tone = " synth " + std::to_string(kToneMs / 1000.0) + " sine " +
                             std::to_string(codec.hz) + " vol 0.5";
    const std::string rate = " -r " + std::to_string(codec.rate) + " ";
    if (codec.sox != nullptr) {
        Run("sox -n" + rate + codec.sox + " '" + path + "'" + tone);
        return path;
    }
    Run("sox -V1 -n" + rate + "-c 1 -b 16 -t wav - " + tone + " | lame --quiet -b " +
        std::to_string(codec.mpegKbps) + " - '" + path + ".mp3'");
    std::ifstream in(path + ".mp3", std::ios::binary);
    const std::string mp3{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(mp3.size() % 2 == 1, codec.oddData) << codec.name << ": " << mp3.size();
    std::ofstream(path, std::ios::binary) << MpegInRiff(mp3, codec, codec.rate * kToneMs / 1000);
    return path;
}

// The null sink's monitor, recorded mono into a file while it lives.
struct Recording {
    explicit Recording(const std::filesystem::path& to) : file(to) {
        parec.setStandardOutputFile(QString::fromStdString(to.string()));
        parec.start("parec", {"--latency-msec=20", "-d", "tavtest.monitor", "--format=s16le",
                              "--rate=" + QString::number(kRecordRate), "--channels=1", "--raw"});
        EXPECT_TRUE(parec.waitForStarted());
        std::this_thread::sleep_for(milliseconds(300));  // connected before the first sound
    }
    // The sounds heard: each one's length in milliseconds and its pitch in Hz.
    std::vector<std::pair<uint32_t, uint32_t>> Sounds() {
        std::this_thread::sleep_for(milliseconds(300));  // the last sound's tail
        parec.terminate();
        parec.waitForFinished();
        std::istringstream lines(Output("python3 '" TAV_TONE_ANALYSIS "' sounds '" + file.string() +
                                        "' " + std::to_string(kRecordRate)));
        std::vector<std::pair<uint32_t, uint32_t>> sounds;
        for (uint32_t ms = 0, hz = 0; lines >> ms >> hz;) {
            sounds.emplace_back(ms, hz);
        }
        return sounds;
    }
    const std::filesystem::path file;
    QProcess parec;
};

// Every WAV codec a Windows user's files hold plays on the session's server, at its pitch and
// for its length as heard. ADPCM needs the bad plug-ins' decoder; MP3 in RIFF with an odd data
// size (and its pad byte) is refused by GStreamer 1.22's WAV parser unless helped. Each file
// starts after a pause, on the output's stream that ran dry meanwhile.
TEST(GstDeviceInSession, EveryWavCodecPlaysAtItsPitchForItsLength) {
    const WavCodec codecs[] = {
        {"PCM 8-bit", "-c 1 -b 8 -e unsigned", 11025, 300},
        {"PCM 16-bit", "-c 2 -b 16 -e signed", 44100, 350},
        {"PCM 24-bit", "-c 2 -b 24 -e signed", 48000, 400},
        {"PCM 32-bit", "-c 1 -b 32 -e signed", 96000, 450},
        {"float 32-bit", "-c 2 -b 32 -e floating-point", 44100, 500},
        {"float 64-bit", "-c 1 -b 64 -e floating-point", 22050, 550},
        {"A-law", "-c 1 -e a-law", 8000, 600},
        {"u-law", "-c 1 -e u-law", 8000, 650},
        {"IMA ADPCM", "-c 2 -e ima-adpcm", 22050, 700},
        {"Microsoft ADPCM", "-c 2 -e ms-adpcm", 22050, 750},
        {"GSM 6.10", "-c 1 -e gsm-full-rate", 8000, 800},
        {"MP3 in RIFF", nullptr, 44100, 850, 128, false},
        {"MP3 in RIFF, odd size", nullptr, 44100, 900, 32, true},
    };
    GstRig rig("autoaudiosink");
    Recording recording(rig.dir.Root() / "recording.raw");
    std::vector<const WavCodec*> played;
    for (const WavCodec& codec : codecs) {
        uint32_t id = 0;
        if (rig.device.Open(CodecFile(rig.dir, codec), id) != 0u) {
            ADD_FAILURE() << codec.name << ": refused";
            continue;
        }
        played.push_back(&codec);
        ASSERT_EQ(rig.device.Play(id), 0u) << codec.name;
        EXPECT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, id)) << codec.name;
        rig.device.Close(id);
        // A silence before the next file, which the idle stream, still open, must not cut. (The
        // notice comes up to 300 ms early: the output takes the pause for a late file.)
        std::this_thread::sleep_for(milliseconds(400));
    }
    const auto sounds = recording.Sounds();
    std::ostringstream table;
    for (size_t i = 0; i < std::max(played.size(), sounds.size()); ++i) {
        table << (i < played.size() ? played[i]->name : "?") << ": heard "
              << (i < sounds.size() ? std::to_string(sounds[i].first) + " ms " +
                                          std::to_string(sounds[i].second) + " Hz"
                                    : "nothing")
              << "\n";
    }
    SCOPED_TRACE(table.str());
    ASSERT_EQ(sounds.size(), played.size());
    for (size_t i = 0; i < sounds.size(); ++i) {
        EXPECT_NEAR(sounds[i].first, kToneMs, 25) << played[i]->name;
        EXPECT_NEAR(sounds[i].second, played[i]->hz, played[i]->hz / 50) << played[i]->name;
    }
}

// Sends the signal to the session's sound server (pipewire and pipewire-pulse).
void SignalServer(int signal) {
    const char* pids = std::getenv("TAV_SOUND_SERVER_PIDS");
    ASSERT_NE(pids, nullptr) << "not in the private session";
    std::istringstream list(pids);
    for (pid_t pid = 0; list >> pid;) {
        ASSERT_EQ(kill(pid, signal), 0) << pid;
    }
}

// Plays a long file to the session's server, until its sound is under way.
uint32_t PlayingLong(GstRig& rig) {
    const uint32_t id = rig.OpenOk(rig.Wav("long.wav", 30000));
    EXPECT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(500), std::nullopt);
    EXPECT_GT(rig.Status(id, StatusItem::Position), 0u);
    return id;
}

// The device's calls run on the UI thread and return within 5 s, even on a hung stream.
template <typename Call>
uint32_t WithinPromise(Call call) {
    const auto start = std::chrono::steady_clock::now();
    const uint32_t result = call();
    EXPECT_LE(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    return result;
}

// The sound server stalls (stopped, as a swapped-out or hung server) while a file plays: Stop
// and Play give up on it and fail; once it goes on the device plays again.
TEST(GstDeviceInSession, AStalledServerFailsStopAndPlayInTimeAndTheDevicePlaysWhenItGoesOn) {
    GstRig rig("autoaudiosink");
    const uint32_t id = PlayingLong(rig);
    SignalServer(SIGSTOP);
    EXPECT_EQ(rig.NextNotice(300), std::nullopt);  // the output fills up and waits
    EXPECT_NE(WithinPromise([&] { return rig.device.Stop(id); }), 0u);
    EXPECT_EQ(rig.NextNotice(0), Notice(NotifyAborted, id));
    EXPECT_NE(WithinPromise([&] { return rig.device.Play(id); }), 0u);
    SignalServer(SIGCONT);
    ASSERT_EQ(rig.device.Seek(id, 29500), 0u);
    ASSERT_EQ(rig.device.Play(id), 0u);
    EXPECT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, id));
    EXPECT_EQ(rig.device.Close(id), 0u);
}

// The sound server dies while a file plays: its play fails, with one notice. (Run in a session
// of its own, as nothing plays there afterwards.)
TEST(GstDeviceInSession, WhenTheServerDiesThePlayFailsWithOneNotice) {
    GstRig rig("autoaudiosink");
    const uint32_t id = PlayingLong(rig);
    SignalServer(SIGKILL);
    EXPECT_EQ(rig.NextNotice(3000), Notice(NotifyFailure, id));
    EXPECT_EQ(rig.NextNotice(1000), std::nullopt);
    WithinPromise([&] { return rig.device.Close(id); });
}

}  // namespace
}  // namespace tav::test
