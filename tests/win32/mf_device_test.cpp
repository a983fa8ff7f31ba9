// The Media Foundation device on real files, played through Wine's WASAPI into the session's
// sound server.
#include "win32/audio/mf_device.h"

#include <cmath>
#include <numbers>

#include "win32/audio/pcm_converter.h"
#include "win32/audio/session_volume.h"
#include "win32/audio/timed_worker.h"
#include "window_rig.h"

namespace tav::test {
namespace {

// The tolerances of the GStreamer device: lengths and positions at rest within 60 ms, notices
// up to 120 ms before the end is heard (the lead) and 60 ms after it.
struct MfRig : WindowRig {
    explicit MfRig(std::unique_ptr<MediaFoundation> library)
        : WindowRig([&] { return std::make_unique<MfMediaDevice>(std::move(library)); }, 60, 120,
                    60, true) {}
    // Made at build time by lame from a 2.5 s tone.
    std::optional<Media> Mp3() override {
        return Media{BesideTestProgram("media\\tone.mp3"), 2500};
    }
};

std::unique_ptr<DeviceRig> MakeMfRig() {
    std::unique_ptr<MediaFoundation> library = MediaFoundation::Load();
    return HasWaveOutput() && library != nullptr && !PlayableMp3().empty()
               ? std::make_unique<MfRig>(std::move(library))
               : nullptr;
}

INSTANTIATE_TEST_SUITE_P(MediaFoundation, MediaDeviceContract, ::testing::Values(&MakeMfRig));

// Files played back to back as the player's advance does: on the success notice close, open
// the next file, play it. Equally early notices lie one file apart when the second follows
// without a gap; a stop right after silences both.
TEST(MfDeviceTest, NextFileFollowsWithoutGapAndAStopRightAfterSilencesBoth) {
    std::unique_ptr<DeviceRig> made = MakeMfRig();
    if (made == nullptr) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    DeviceRig& rig = *made;
    const uint32_t first = rig.OpenOk(rig.Wav("1.wav", 800));
    ASSERT_EQ(rig.Device().Play(first), 0u);
    ASSERT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, first));
    const uint32_t firstNoticed = rig.NowMs();
    ASSERT_EQ(rig.Device().Close(first), 0u);
    const uint32_t second = rig.OpenOk(rig.Wav("2.wav", 800));
    ASSERT_EQ(rig.Device().Play(second), 0u);
    EXPECT_LT(rig.Status(second, StatusItem::Position), 60u) << "the first file's end plays first";
    ASSERT_EQ(rig.NextNotice(3000), Notice(NotifySuccessful, second));
    EXPECT_NEAR(rig.NowMs() - firstNoticed, 800, 60);
    ASSERT_EQ(rig.Device().Close(second), 0u);
    const uint32_t third = rig.OpenOk(rig.Wav("3.wav", 400));
    ASSERT_EQ(rig.Device().Play(third), 0u);
    ASSERT_EQ(rig.Device().Stop(third), 0u);
    EXPECT_EQ(rig.NextNotice(1000), Notice(NotifyAborted, third));
    EXPECT_EQ(rig.NextNotice(800), std::nullopt);
    EXPECT_EQ(rig.Device().Close(third), 0u);
}

// The session keeps its volume while no stream is open: a volume made later (the next start of
// the window in this process) reads what was written, the louder channel on both.
TEST(SessionVolumeTest, KeepsTheVolumeWithoutAStream) {
    std::unique_ptr<DeviceRig> rig = MakeMfRig();  // its device keeps the apartment
    if (rig == nullptr) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    SessionVolume().Write(0x4000'8000);
    EXPECT_EQ(SessionVolume().Read(), std::optional<uint32_t>(0x8000'8000));
    SessionVolume().Write(0xFFFF'FFFF);
    EXPECT_EQ(SessionVolume().Read(), std::optional<uint32_t>(0xFFFF'FFFF));
}

// A call that hangs fails its caller after the limit; the calls queued behind it, and those
// that come later, run on without it, in order. A caller whose call ends is woken at once (not
// at its limit), and the worker's end waits for the calls posted before it.
TEST(TimedWorkerTest, AHangingCallHoldsUpNeitherItsCallerNorTheCallsAfterIt) {
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto order = std::make_shared<std::string>();
    DWORD start = 0;
    {
        TimedWorker worker;
        worker.Post([order] { *order += "a"; });
        start = GetTickCount();
        EXPECT_TRUE(worker.Run([order] { *order += "b"; }, std::chrono::milliseconds(2000)));
        EXPECT_LT(GetTickCount() - start, 1000u);
        worker.Post([release] { WaitForSingleObject(release, INFINITE); });
        worker.Post([order] { *order += "c"; });
        start = GetTickCount();
        EXPECT_FALSE(worker.Run([order] { *order += "d"; }, std::chrono::milliseconds(300)));
        EXPECT_GE(GetTickCount() - start, 280u);
        EXPECT_TRUE(worker.Run([order] { *order += "e"; }, std::chrono::milliseconds(2000)));
        worker.Post([order] {
            Sleep(50);
            *order += "f";
        });
        start = GetTickCount();
    }
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(*order, "abcdef");
    SetEvent(release);  // the forsaken thread ends
    CloseHandle(release);
}

// A feed whose decoder hangs holds up the output's thread: the output tells so from the
// longest wait on, and a start or a forget that needs the thread fails after it, not later.
TEST(WasapiOutputTest, AFeedThatHangsHoldsUpNoCallBeyondTheLongestWait) {
    struct HangingFeed : Feed {
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ~HangingFeed() override { CloseHandle(release); }
        bool Pull(PcmFormat, uint32_t, std::vector<float>&, bool& ended) override {
            WaitForSingleObject(release, INFINITE);
            ended = true;
            return true;
        }
        void Finished(bool) override {}
    } hanging, other;
    if (!HasWaveOutput()) {
        GTEST_SKIP() << kNoWaveOutput;
    }
    WasapiOutput output;
    DWORD start = GetTickCount();
    ASSERT_EQ(output.Start(hanging), 0u);
    while (!output.Hangs() && GetTickCount() - start < 8000) {
        Sleep(50);
    }
    EXPECT_GE(GetTickCount() - start, 4400u);
    EXPECT_TRUE(output.Hangs());
    start = GetTickCount();
    EXPECT_EQ(output.Start(other), static_cast<uint32_t>(MCIERR_HARDWARE));
    EXPECT_FALSE(output.Forget(hanging));
    EXPECT_LT(GetTickCount() - start, 11000u);  // two waits of 4.5 s
    SetEvent(hanging.release);
    EXPECT_TRUE(output.Forget(hanging));
    EXPECT_FALSE(output.Hangs());
}

// The frequency of a tone, from its upward zero crossings.
double ToneFrequency(const std::vector<float>& samples, uint32_t channels, uint32_t channel,
                     uint32_t rate) {
    int crossings = 0;
    for (size_t i = channels + channel; i < samples.size(); i += channels) {
        crossings += samples[i - channels] < 0 && samples[i] >= 0 ? 1 : 0;
    }
    return crossings * static_cast<double>(rate) / static_cast<double>(samples.size() / channels);
}

// A 440 Hz tone of any rate and channels keeps its pitch and length in the stream's format,
// however it is cut into the decoder's pieces.
TEST(PcmConverterTest, KeepsPitchAndLengthAcrossRatesAndChannels) {
    struct Case {
        PcmFormat from, to;
    } cases[] = {{{22050, 1}, {48000, 2}},
                 {{48000, 2}, {44100, 2}},
                 {{44100, 2}, {44100, 6}},
                 {{96000, 6}, {44100, 1}},
                 {{8000, 2}, {48000, 2}}};
    for (const auto& [from, to] : cases) {
        PcmConverter converter(from, to);
        std::vector<float> out;
        for (uint32_t piece = 0; piece < 10; ++piece) {  // 1 s in pieces of 100 ms
            std::vector<float> in;
            for (uint32_t i = piece * from.rate / 10; i < (piece + 1) * from.rate / 10; ++i) {
                const auto value = static_cast<float>(
                    0.5 * std::sin(2 * std::numbers::pi * 440 * (i + 0.5) / from.rate));
                in.insert(in.end(), from.channels, value);
            }
            converter.Convert(in, out);
        }
        const std::string name = std::to_string(from.rate) + "/" + std::to_string(from.channels) +
                                 " to " + std::to_string(to.rate) + "/" +
                                 std::to_string(to.channels);
        ASSERT_EQ(out.size() % to.channels, 0u) << name;
        // The last input frame waits for the next piece, to interpolate towards.
        EXPECT_NEAR(static_cast<double>(out.size() / to.channels), to.rate, to.rate / from.rate + 1)
            << name;
        for (uint32_t channel = 0; channel < std::min(to.channels, 2U); ++channel) {
            EXPECT_NEAR(ToneFrequency(out, to.channels, channel, to.rate), 440, 2) << name;
        }
        if (to.channels > 2) {
            EXPECT_EQ(out[to.channels * 100 + 2], 0.0F) << name << ": only the front pair sounds";
        }
    }
}

}  // namespace
}  // namespace tav::test
