// What every media device does, checked on each device's rig: the simulated one on a virtual
// clock, the real ones on real files in real time.
#include "device_contract/media_device_contract.h"

#include <cmath>
#include <numbers>

namespace tav::test {

std::string ToneWav(uint32_t ms) {
    constexpr uint32_t kRate = 44100;
    const uint32_t samples = kRate * ms / 1000;
    std::string bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    bytes += "RIFF";
    put(36 + samples * 2, 4);
    bytes += "WAVEfmt ";
    for (const uint32_t field : {16, 1 | (1 << 16)}) {  // header size; PCM, mono
        put(field, 4);
    }
    put(kRate, 4);
    put(kRate * 2, 4);
    put(2 | (16 << 16), 4);  // bytes per frame, bits per sample
    bytes += "data";
    put(samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const double value = 3000.0 * std::sin(2.0 * std::numbers::pi * 440.0 * i / kRate);
        put(static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
    }
    return bytes;
}

void MediaDeviceContract::SetUp() {
    rig = GetParam()();
    if (rig == nullptr) {
        GTEST_SKIP() << "this device cannot play here";
    }
}

uint32_t MediaDeviceContract::OpenOk(const std::string& path) {
    uint32_t id = 0;
    EXPECT_EQ(rig->Device().Open(path, id), 0u) << path;
    EXPECT_NE(id, 0u);
    EXPECT_EQ(rig->Device().SetTimeFormatMilliseconds(id), 0u);
    return id;
}

uint32_t MediaDeviceContract::Status(uint32_t id, StatusItem item) {
    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(rig->Device().Status(id, item, value), 0u);
    return value;
}

namespace {

constexpr std::optional<Notice> kNone;

Notice Of(NoticeKind kind, uint32_t id) {
    return {kind, id};
}

}  // namespace

TEST_P(MediaDeviceContract, OpenFailsForWhatCannotPlay) {
    std::vector<std::string> paths = rig->Undecodable(dir);
    paths.push_back(dir.Path() + "missing.wav");
    paths.push_back(dir.AddFolder("folder.wav"));
    for (const std::string& path : paths) {
        uint32_t id = 12345;
        EXPECT_NE(rig->Device().Open(path, id), 0u) << path;
        EXPECT_EQ(id, 12345u) << path;
    }
    EXPECT_EQ(rig->NextNotice(200), kNone);
}

TEST_P(MediaDeviceContract, EachOpenHasItsOwnIdUntilClosed) {
    const std::string path = rig->Wav(dir, "tone #1 100%25 % done.wav", 300);
    const uint32_t first = OpenOk(path);
    const uint32_t second = OpenOk(path);
    EXPECT_NE(first, second);
    EXPECT_EQ(rig->Device().Close(first), 0u);
    EXPECT_NE(rig->Device().Close(first), 0u);
    uint32_t value = 77;
    EXPECT_NE(rig->Device().Status(first, StatusItem::Length, value), 0u);
    EXPECT_EQ(value, 77u) << "a failed query leaves the value alone";
    EXPECT_NE(rig->Device().Play(first), 0u);
    EXPECT_NE(rig->Device().Seek(first, 0), 0u);
    EXPECT_EQ(rig->Device().Close(second), 0u);
    EXPECT_EQ(rig->NextNotice(200), kNone) << "a refused play posts nothing";
}

TEST_P(MediaDeviceContract, ReportsLengthAndPositionAndPlaysFromTheEndAtOnce) {
    std::vector<DeviceRig::Media> files{{rig->Wav(dir, "tone.wav", 1500), 1500}};
    if (const auto mp3 = rig->Mp3(dir)) {
        files.push_back(*mp3);
    }
    for (const auto& [path, ms] : files) {
        const uint32_t id = OpenOk(path);
        const uint32_t length = Status(id, StatusItem::Length);
        EXPECT_NEAR(length, ms, rig->slackMs) << path;
        EXPECT_NEAR(Status(id, StatusItem::Position), 0, rig->slackMs) << path;
        ASSERT_EQ(rig->Device().Seek(id, ms * 7 / 10), 0u);
        EXPECT_NEAR(Status(id, StatusItem::Position), ms * 7 / 10, rig->slackMs) << path;
        EXPECT_EQ(rig->NextNotice(0), kNone) << "nothing played, nothing to notice";
        ASSERT_EQ(rig->Device().Seek(id, length), 0u);
        ASSERT_EQ(rig->Device().Play(id), 0u);
        EXPECT_EQ(rig->NextNotice(300 + rig->slackMs), Of(NotifySuccessful, id)) << path;
        EXPECT_EQ(rig->Device().Close(id), 0u);
    }
}

TEST_P(MediaDeviceContract, PlayToTheEndPostsOneSuccessWhenTheEndIsHeard) {
    const uint32_t id = OpenOk(rig->Wav(dir, "tone.wav", 800));
    const uint32_t start = rig->NowMs();
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(0), kNone) << "the notice comes later, never from inside Play";
    EXPECT_EQ(rig->NextNotice(3000), Of(NotifySuccessful, id));
    const uint32_t heard = rig->NowMs() - start;
    EXPECT_GE(heard + rig->leadMs, 800u) << "the notice came before the end was heard";
    EXPECT_LE(heard, 800u + rig->slackMs);
    EXPECT_EQ(Status(id, StatusItem::Position), Status(id, StatusItem::Length))
        << "from the notice on the file stands at its end";
    EXPECT_EQ(rig->NextNotice(rig->leadMs + 200), kNone) << "exactly one";
    EXPECT_EQ(rig->Device().Close(id), 0u);
}

TEST_P(MediaDeviceContract, StopAbortsThePlayAndKeepsThePosition) {
    const uint32_t id = OpenOk(rig->Wav(dir, "tone.wav", 1000));
    ASSERT_EQ(rig->Device().Play(id), 0u);
    rig->Pass(300);
    ASSERT_EQ(rig->Device().Stop(id), 0u);
    const uint32_t stoppedAt = Status(id, StatusItem::Position);
    EXPECT_NEAR(stoppedAt, 300, rig->slackMs + rig->leadMs);
    EXPECT_EQ(rig->NextNotice(1000), Of(NotifyAborted, id));
    EXPECT_EQ(rig->NextNotice(800), kNone) << "the end of a stopped play is never noticed";
    EXPECT_EQ(Status(id, StatusItem::Position), stoppedAt);
    EXPECT_EQ(rig->Device().Stop(id), 0u) << "stopping a stopped device";
    EXPECT_EQ(rig->NextNotice(200), kNone);
    EXPECT_EQ(rig->Device().Close(id), 0u);
}

TEST_P(MediaDeviceContract, SeekInterruptsThePlayWhichThenPlaysOnFromThere) {
    const uint32_t id = OpenOk(rig->Wav(dir, "tone.wav", 2000));
    ASSERT_EQ(rig->Device().Play(id), 0u);
    rig->Pass(200);
    ASSERT_EQ(rig->Device().Seek(id, 1500), 0u);
    const auto interrupted = rig->NextNotice(1000);
    EXPECT_TRUE(interrupted == Of(NotifyAborted, id) || interrupted == Of(NotifySuperseded, id))
        << (interrupted ? interrupted->kind : 0);
    EXPECT_NEAR(Status(id, StatusItem::Position), 1500, rig->slackMs);
    const uint32_t start = rig->NowMs();
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(3000), Of(NotifySuccessful, id));
    const uint32_t heard = rig->NowMs() - start;
    EXPECT_GE(heard + rig->leadMs, 500u);
    EXPECT_LE(heard, 500u + rig->slackMs) << "played from the new position, not the old one";
    EXPECT_EQ(rig->Device().Close(id), 0u);
}

TEST_P(MediaDeviceContract, PlayWhilePlayingSupersedesTheEarlierPlay) {
    const uint32_t id = OpenOk(rig->Wav(dir, "tone.wav", 500));
    ASSERT_EQ(rig->Device().Play(id), 0u);
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(1000), Of(NotifySuperseded, id));
    EXPECT_EQ(rig->NextNotice(3000), Of(NotifySuccessful, id));
    EXPECT_EQ(rig->Device().Close(id), 0u);
}

TEST_P(MediaDeviceContract, CloseWhilePlayingAbortsAndNothingFollows) {
    const uint32_t id = OpenOk(rig->Wav(dir, "tone.wav", 400));
    ASSERT_EQ(rig->Device().Play(id), 0u);
    rig->Pass(100);
    EXPECT_EQ(rig->Device().Close(id), 0u);
    EXPECT_EQ(rig->NextNotice(1000), Of(NotifyAborted, id));
    EXPECT_EQ(rig->NextNotice(500), kNone);
}

}  // namespace tav::test
