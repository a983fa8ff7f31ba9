// What every media device does, checked on each device's own rig.
#include "device_contract/media_device_contract.h"

#include <cmath>
#include <numbers>

namespace tav::test {

std::string DeviceRig::Wav(const std::string& name, uint32_t ms) {
    constexpr uint32_t kRate = 44100;
    const uint32_t size = kRate * ms / 1000 * 2;
    // "RIFF", "WAVE", "fmt " and "data" chunks of 16-bit mono PCM; the test hosts store
    // numbers little-endian, as RIFF does.
    const uint32_t header[] = {0x46464952, 36 + size, 0x45564157, 0x20746D66, 16,  0x00010001,
                               kRate,      kRate * 2, 0x00100002, 0x61746164, size};
    std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
    for (uint32_t i = 0; i < size / 2; ++i) {
        const auto value =
            static_cast<int16_t>(3000 * std::sin(2 * std::numbers::pi * 440 * i / kRate));
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    return dir.AddFile(name, bytes);
}

std::vector<std::string> DeviceRig::Undecodable() {
    return {dir.AddFile("empty.wav", ""), dir.AddFile("text.wav", "RIFF but nothing after")};
}

uint32_t DeviceRig::OpenOk(const std::string& path) {
    uint32_t id = 0;
    EXPECT_EQ(Device().Open(path, id), 0u) << path;
    EXPECT_NE(id, 0u);
    EXPECT_EQ(Device().SetTimeFormatMilliseconds(id), 0u);
    return id;
}

uint32_t DeviceRig::Status(uint32_t id, StatusItem item) {
    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(Device().Status(id, item, value), 0u);
    return value;
}

void MediaDeviceContract::SetUp() {
    rig = GetParam()();
    if (rig == nullptr) {
        GTEST_SKIP() << "this device cannot play here";
    }
}

namespace {

// Checks that a play that began at `start` was heard for `ms` when its notice came.
void ExpectHeardFor(DeviceRig& rig, uint32_t start, uint32_t ms) {
    const uint32_t heard = rig.NowMs() - start;
    EXPECT_GE(heard + rig.leadMs, ms) << "the notice came before the end was heard";
    EXPECT_LE(heard, ms + rig.lateMs) << "the notice came late, or the play began elsewhere";
}

// A play interrupted by a seek or a new play may count as aborted or as superseded.
bool Interrupted(const std::optional<Notice>& notice, uint32_t id) {
    return notice == Notice(NotifyAborted, id) || notice == Notice(NotifySuperseded, id);
}

}  // namespace

TEST_P(MediaDeviceContract, OpensWhatPlaysWithItsLengthAndAnIdThatLastsUntilItsClose) {
    std::vector<std::string> paths = rig->Undecodable();
    paths.insert(paths.end(), {rig->dir.Path() + "missing.wav", rig->dir.AddFolder("dir.wav")});
    for (const std::string& path : paths) {
        uint32_t id = 12345;
        EXPECT_NE(rig->Device().Open(path, id), 0u) << path;
        EXPECT_EQ(id, 12345u) << path;
    }
    const uint32_t first = rig->OpenOk(rig->Wav("tone #1 100%25 % done.wav", 300));
    const uint32_t second = rig->OpenOk(rig->Wav("tone.wav", 300));
    EXPECT_NE(first, second);
    EXPECT_EQ(rig->Device().Close(first), 0u);
    EXPECT_NE(rig->Device().Close(first), 0u);
    uint32_t value = 77;
    EXPECT_NE(rig->Device().Status(first, StatusItem::Length, value), 0u);
    EXPECT_EQ(value, 77u) << "a failed query leaves the value alone";
    EXPECT_NE(rig->Device().Play(first), 0u);
    EXPECT_EQ(rig->Device().Close(second), 0u);
    EXPECT_EQ(rig->NextNotice(200), std::nullopt) << "a refused open or play posts nothing";
    std::vector<DeviceRig::Media> files{{rig->Wav("tone.wav", 1500), 1500}};
    if (const auto mp3 = rig->Mp3()) {
        files.push_back(*mp3);
    }
    for (const auto& [path, ms] : files) {
        const uint32_t id = rig->OpenOk(path);
        const uint32_t length = rig->Status(id, StatusItem::Length);
        EXPECT_NEAR(length, ms, rig->slackMs) << path;
        EXPECT_NEAR(rig->Status(id, StatusItem::Position), 0, rig->slackMs) << path;
        ASSERT_EQ(rig->Device().Seek(id, ms * 7 / 10), 0u);
        EXPECT_NEAR(rig->Status(id, StatusItem::Position), ms * 7 / 10, rig->slackMs) << path;
        if (rig->noticesPlayFromTheEnd) {
            ASSERT_EQ(rig->Device().Seek(id, length), 0u);
            ASSERT_EQ(rig->Device().Play(id), 0u);
            EXPECT_EQ(rig->NextNotice(300 + rig->lateMs), Notice(NotifySuccessful, id)) << path;
        }
        EXPECT_EQ(rig->Device().Close(id), 0u);
    }
}

TEST_P(MediaDeviceContract, PlaySupersedesAPlayAndPostsOneSuccessWhenTheEndIsHeard) {
    const uint32_t id = rig->OpenOk(rig->Wav("tone.wav", 800));
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(0), std::nullopt) << "the notice comes later, never from inside Play";
    const uint32_t start = rig->NowMs();
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_TRUE(Interrupted(rig->NextNotice(1000), id));
    EXPECT_EQ(rig->NextNotice(3000), Notice(NotifySuccessful, id));
    ExpectHeardFor(*rig, start, 800);
    EXPECT_EQ(rig->Status(id, StatusItem::Position), rig->Status(id, StatusItem::Length))
        << "from the notice on the file stands at its end";
    EXPECT_EQ(rig->NextNotice(rig->leadMs + 200), std::nullopt) << "exactly one";
    ASSERT_EQ(rig->Device().Seek(id, 0), 0u);
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(100), std::nullopt);
    EXPECT_EQ(rig->Device().Close(id), 0u);
    EXPECT_EQ(rig->NextNotice(1000), Notice(NotifyAborted, id)) << "closed while playing";
    EXPECT_EQ(rig->NextNotice(1000), std::nullopt) << "nothing follows a closed device";
}

TEST_P(MediaDeviceContract, StopAndSeekInterruptThePlayAndSetThePosition) {
    const uint32_t id = rig->OpenOk(rig->Wav("tone.wav", 2000));
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(300), std::nullopt);
    ASSERT_EQ(rig->Device().Stop(id), 0u);
    const uint32_t stoppedAt = rig->Status(id, StatusItem::Position);
    EXPECT_NEAR(stoppedAt, 300, rig->leadMs + rig->lateMs);
    EXPECT_EQ(rig->NextNotice(1000), Notice(NotifyAborted, id));
    EXPECT_EQ(rig->Device().Stop(id), 0u) << "stopping a stopped device";
    EXPECT_EQ(rig->NextNotice(2000), std::nullopt) << "a stopped play never ends";
    EXPECT_EQ(rig->Status(id, StatusItem::Position), stoppedAt);
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(200), std::nullopt);
    ASSERT_EQ(rig->Device().Seek(id, 1500), 0u);
    EXPECT_TRUE(Interrupted(rig->NextNotice(1000), id));
    EXPECT_NEAR(rig->Status(id, StatusItem::Position), 1500, rig->slackMs);
    const uint32_t start = rig->NowMs();
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(3000), Notice(NotifySuccessful, id));
    ExpectHeardFor(*rig, start, 500);
    EXPECT_EQ(rig->Device().Close(id), 0u);
}

// A paused play is held where it was heard: no success comes while it is held, and the play
// that resumes it goes on from there to one success at the end.
TEST_P(MediaDeviceContract, PauseHoldsThePlayWhereItWasHeard) {
    const uint32_t id = rig->OpenOk(rig->Wav("tone.wav", 1000));
    EXPECT_EQ(rig->Device().Pause(id), 0u) << "pausing a device that does not play";
    ASSERT_EQ(rig->Device().Play(id), 0u);
    EXPECT_EQ(rig->NextNotice(300), std::nullopt);
    ASSERT_EQ(rig->Device().Pause(id), 0u);
    const uint32_t pausedAt = rig->Status(id, StatusItem::Position);
    EXPECT_NEAR(pausedAt, 300, rig->leadMs + rig->lateMs);
    std::optional<Notice> notice = rig->NextNotice(1500);
    EXPECT_TRUE(notice == std::nullopt || Interrupted(notice, id));
    EXPECT_EQ(rig->Status(id, StatusItem::Position), pausedAt) << "held while paused";
    const uint32_t start = rig->NowMs();
    ASSERT_EQ(rig->Device().Play(id), 0u);
    notice = rig->NextNotice(3000);
    if (Interrupted(notice, id)) {
        notice = rig->NextNotice(3000);  // the held play, superseded by the resuming one
    }
    EXPECT_EQ(notice, Notice(NotifySuccessful, id));
    ExpectHeardFor(*rig, start, 1000 - pausedAt);
    EXPECT_EQ(rig->Device().Close(id), 0u);
}

}  // namespace tav::test
