// The sound server's volume: the channel mapping, and a clean failure without a server.
#include <gtest/gtest.h>
#include <pulse/volume.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "linux/pulse_volume.h"

namespace tav::test {
namespace {

TEST(PulseVolumeMapping, EndsAndMiddleMapOntoTheServerScale) {
    struct Case {
        uint16_t channel;
        uint32_t server;
    };
    const Case cases[] = {{0, PA_VOLUME_MUTED}, {65535, PA_VOLUME_NORM}, {32768, 32769}};
    for (const Case& c : cases) {
        EXPECT_EQ(ServerVolumeFromChannel(c.channel), c.server) << c.channel;
        EXPECT_EQ(ChannelFromServerVolume(c.server), c.channel) << c.channel;
    }
    // A sink boosted past 100 % reads as full volume.
    EXPECT_EQ(ChannelFromServerVolume(PA_VOLUME_NORM * 3 / 2), 65535);
}

TEST(PulseVolumeMapping, EveryChannelValueSurvivesTheRoundTrip) {
    for (uint32_t channel = 0; channel <= 65535; ++channel) {
        const auto value = static_cast<uint16_t>(channel);
        ASSERT_EQ(ChannelFromServerVolume(ServerVolumeFromChannel(value)), value) << channel;
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

}  // namespace
}  // namespace tav::test
