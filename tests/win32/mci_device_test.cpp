#include "win32/mci_device.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/test_player.h"
#include "win32_test_support.h"

namespace tav::test {
namespace {

constexpr uint32_t kUnset = 0xDEADBEEF;

class MciDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasWaveOutput()) {
            GTEST_SKIP() << kNoWaveOutput;
        }
        device.SetNotifyWindow(notices.handle());
    }

    // Opens the file with milliseconds as the time format; the device id, or 0.
    uint32_t OpenTimed(const std::string& path) {
        uint32_t id = 0;
        EXPECT_EQ(device.Open(path, id), 0U) << path;
        EXPECT_NE(id, 0U);
        EXPECT_EQ(device.SetTimeFormatMilliseconds(id), 0U);
        return id;
    }
    bool WaitForNotice(DWORD timeoutMs = 10000) {
        return PumpUntil([&] { return !notices.notices().empty(); }, timeoutMs);
    }

    TempDir dir;
    NoticeWindow notices;
    MciDevice device;
};

TEST_F(MciDeviceTest, WavPlaysToItsEndAndNotifiesTheWindow) {
    const std::string path = dir.Path() + "tone.wav";
    WriteToneWav(path, 400);
    const uint32_t id = OpenTimed(path);
    uint32_t length = kUnset;
    ASSERT_EQ(device.Status(id, StatusItem::Length, length), 0U);
    EXPECT_NEAR(length, 400, 20);

    const DWORD start = GetTickCount();
    ASSERT_EQ(device.Play(id), 0U);
    ASSERT_TRUE(WaitForNotice()) << "no completion notice";
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_EQ(notices.notices().size(), 1U);
    EXPECT_EQ(notices.notices()[0].flags, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(device.NoticeDevice(static_cast<uint32_t>(notices.notices()[0].device)), id);
    EXPECT_GE(elapsed, 250U) << "the notice came before the sound could have played";
    uint32_t position = kUnset;
    EXPECT_EQ(device.Status(id, StatusItem::Position, position), 0U);
    EXPECT_NEAR(position, length, 20);
    EXPECT_EQ(device.Close(id), 0U);
}

TEST_F(MciDeviceTest, StopAbortsThePlayAndSeekMovesThePosition) {
    const std::string path = dir.Path() + "long.wav";
    WriteToneWav(path, 3000);
    const uint32_t id = OpenTimed(path);
    ASSERT_EQ(device.Play(id), 0U);
    ASSERT_EQ(device.Stop(id), 0U);
    ASSERT_TRUE(WaitForNotice());
    EXPECT_EQ(notices.notices()[0].flags, static_cast<WPARAM>(MCI_NOTIFY_ABORTED));

    ASSERT_EQ(device.Seek(id, 2800), 0U);
    uint32_t position = kUnset;
    ASSERT_EQ(device.Status(id, StatusItem::Position, position), 0U);
    EXPECT_NEAR(position, 2800, 20);
    ASSERT_EQ(device.Play(id), 0U);  // plays the rest from there
    ASSERT_TRUE(PumpUntil([&] { return notices.notices().size() == 2; }, 5000));
    EXPECT_EQ(notices.notices()[1].flags, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(device.Close(id), 0U);
}

TEST_F(MciDeviceTest, OpenFailsForWhatCannotBePlayed) {
    dir.AddFile("empty.wav", "");
    for (const std::string& path :
         {dir.Path() + "missing.wav", dir.Path() + "empty.wav", dir.Path()}) {
        uint32_t id = kUnset;
        EXPECT_NE(device.Open(path, id), 0U) << path;
        EXPECT_EQ(id, kUnset) << path;
    }
}

// Wine's MP3 device names device 0 in its notices; the notice must still close the device
// that played, or it would stay open and crash the process at exit. Once that device is
// closed (a stop came first), a late notice must never name device 0: the core would take it
// for its own idle state and advance.
TEST_F(MciDeviceTest, Mp3NoticeBelongsToTheDeviceThatPlayedWhileItIsOpen) {
    const std::string path = BesideTestProgram("media\\short.mp3");
    if (!FileExists(path)) {
        GTEST_SKIP() << "no MP3 test file (sox and lame were not found at build time)";
    }
    const uint32_t id = OpenTimed(path);
    ASSERT_EQ(device.Play(id), 0U);
    ASSERT_TRUE(WaitForNotice());
    EXPECT_EQ(notices.notices()[0].flags, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    const auto reported = static_cast<uint32_t>(notices.notices()[0].device);
    EXPECT_EQ(device.NoticeDevice(reported), id);
    EXPECT_EQ(device.Stop(id), 0U);
    EXPECT_EQ(device.Close(id), 0U);
    const std::optional<uint32_t> late = device.NoticeDevice(reported);
    EXPECT_TRUE(!late.has_value() || *late == id) << "late notice taken for device " << *late;
}

}  // namespace
}  // namespace tav::test
