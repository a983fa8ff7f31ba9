// What the exact length of an MP3 without a Xing header costs: a 2-hour file and a 10 MB one
// (a VBR file whose first frames are quiet), both made here by repeating a short file without
// the header, played through the player's media device into a fake sink.
//
//   mpeg_length [FOLDER]     (default /tmp; needs sox and lame)
//
// For each file: the open, what its first length status says against the exact length, when
// the exact length is known after the open, a seek to a minute before the end right after
// the open, and the count alone (libmpg123's scan of every frame, on its own thread).
#include <gst/gst.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "linux/audio/gst_device.h"
#include "linux/audio/mpeg_length.h"

namespace {

using Clock = std::chrono::steady_clock;

struct NoNotices : tav::EventPoster {
    void Post(const tav::Message&) override {}
};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The file made by `make` (sox and lame, writing piece.mp3 in `folder`) repeated until the
// copy holds `bytes`.
std::string Repeated(const std::string& folder, const std::string& name, const std::string& make,
                     long bytes) {
    const std::string path = folder + "/" + name;
    const std::string command =
        "cd '" + folder + "' && " + make + " && : > " + name + " && while [ $(stat -c %s " + name +
        ") -lt " + std::to_string(bytes) + " ]; do cat piece.mp3 >> " + name + "; done";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "could not make %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

uint32_t Length(tav::MediaDevice& device, uint32_t id) {
    uint32_t value = 0;
    device.Status(id, tav::StatusItem::Length, value);
    return value;
}

void Measure(const std::string& path) {
    NoNotices notices;
    tav::GstMediaDevice device(notices, "fakesink sync=true");
    const auto counting = Clock::now();
    tav::gst::MpegLength alone(path);
    alone.Wait(std::chrono::minutes(1));
    const double countMs = MsSince(counting);
    const uint32_t exact = static_cast<uint32_t>(alone.Duration().value_or(0) / GST_MSECOND);

    uint32_t id = 0;
    const auto opening = Clock::now();
    device.Open(path, id);
    const double openMs = MsSince(opening);
    const uint32_t first = Length(device, id);
    const auto waiting = Clock::now();
    while (Length(device, id) != exact && MsSince(waiting) < 60000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double exactAfterMs = openMs + MsSince(waiting);
    device.Close(id);

    device.Open(path, id);
    const auto seeking = Clock::now();
    device.Seek(id, exact - 60000);
    const double seekMs = MsSince(seeking);
    device.Close(id);

    std::printf("%s: %.1f MB, %.1f min\n", path.c_str(), std::filesystem::file_size(path) / 1e6,
                exact / 60000.0);
    std::printf(
        "  open %.1f ms; first length %.3f s (exact %.3f s); exact %.1f ms after the "
        "open's start\n",
        openMs, first / 1000.0, exact / 1000.0, exactAfterMs);
    std::printf("  seek to a minute before the end right after the open: %.1f ms\n", seekMs);
    std::printf("  the count alone: %.1f ms\n", countMs);
}

}  // namespace

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    // 60 s of CBR 128 kbit/s, 120 times: 2 hours, 115.2 MB.
    Measure(Repeated(folder, "two-hours.mp3",
                     "sox -n -r 44100 -c 2 piece.wav synth 60 sine 440 && "
                     "lame --quiet -t -b 128 piece.wav piece.mp3",
                     115'200'000));
    // 30 s of VBR, silence fading into noise, to 10 MB.
    Measure(Repeated(folder, "ten-mb.mp3",
                     "sox -n -r 44100 -c 2 piece.wav synth 30 whitenoise fade t 20 && "
                     "lame --quiet -t -V 2 piece.wav piece.mp3",
                     10'000'000));
    return 0;
}
