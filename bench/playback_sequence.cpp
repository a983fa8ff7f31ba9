// Plays files back to back to the default audio output and exits after the last one.
//
//   playback_sequence device [--ticks] FILE...
//       through the player's media device, advancing as the player does: on the success
//       notice close the device, open the next file, play it. --ticks asks for position and
//       length every 100 ms, as the display timer does.
//   playback_sequence reload FILE...
//       the reference: one bare playbin that, at each end of stream, goes back to NULL, takes
//       the next file and plays again.
//   playback_sequence calls FILE...
//       how long each device call keeps its caller waiting: every file is opened, played,
//       sought to its middle while playing, played on, stopped and closed; prints the median
//       and the longest wait of each call.
#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "call_times.h"
#include "linux/audio/gst_device.h"

namespace {

using namespace std::chrono_literals;

class NoticeQueue : public tav::EventPoster {
public:
    void Post(const tav::Message& message) override {
        std::lock_guard guard(lock_);
        queue_.push_back(message);
        arrived_.notify_one();
    }

    // The next notice, or nothing when none came within the timeout.
    bool Next(tav::Message& message, std::chrono::milliseconds timeout) {
        std::unique_lock guard(lock_);
        if (!arrived_.wait_for(guard, timeout, [this] { return !queue_.empty(); })) {
            return false;
        }
        message = queue_.front();
        queue_.pop_front();
        return true;
    }

private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<tav::Message> queue_;
};

int PlayThroughDevice(const std::vector<std::string>& files, bool ticks) {
    NoticeQueue notices;
    tav::GstMediaDevice device(notices);
    for (const std::string& file : files) {
        uint32_t id = 0;
        if (device.Open(file, id) != 0 || device.Play(id) != 0) {
            std::fprintf(stderr, "cannot play %s\n", file.c_str());
            return 1;
        }
        tav::Message notice;
        for (;;) {
            if (!notices.Next(notice, ticks ? 100ms : 3600s)) {
                uint32_t position = 0;
                uint32_t length = 0;
                device.Status(id, tav::StatusItem::Position, position);
                device.Status(id, tav::StatusItem::Length, length);
                continue;
            }
            if (notice.wParam == tav::NotifySuccessful) {
                break;
            }
            if (notice.wParam == tav::NotifyFailure) {
                std::fprintf(stderr, "stream error in %s\n", file.c_str());
                return 1;
            }
        }
        device.Close(id);
    }
    // The success notice comes while the output still plays the file's end.
    std::this_thread::sleep_for(500ms);
    return 0;
}

struct SteadyClockMs {
    static double NowMs() {
        const std::chrono::duration<double, std::milli> now =
            std::chrono::steady_clock::now().time_since_epoch();
        return now.count();
    }
};

int TimeDeviceCalls(const std::vector<std::string>& files) {
    NoticeQueue notices;
    tav::GstMediaDevice device(notices);
    tav::bench::CallTimes<SteadyClockMs> times;
    for (const std::string& file : files) {
        uint32_t id = 0;
        uint32_t length = 0;
        if (times.Time("open", [&] { return device.Open(file, id); }) != 0 ||
            device.Status(id, tav::StatusItem::Length, length) != 0) {
            std::fprintf(stderr, "cannot open %s\n", file.c_str());
            return 1;
        }
        times.Time("play", [&] { return device.Play(id); });
        std::this_thread::sleep_for(150ms);
        times.Time("status", [&] { return device.Status(id, tav::StatusItem::Position, length); });
        times.Time("seek", [&] { return device.Seek(id, length / 2); });
        times.Time("play", [&] { return device.Play(id); });
        std::this_thread::sleep_for(150ms);
        times.Time("stop", [&] { return device.Stop(id); });
        times.Time("close", [&] { return device.Close(id); });
    }
    times.Print();
    return 0;
}

bool SetFile(GstElement* playbin, const std::string& file) {
    gchar* uri = gst_filename_to_uri(file.c_str(), nullptr);
    if (uri == nullptr) {
        return false;
    }
    g_object_set(playbin, "uri", uri, nullptr);
    g_free(uri);
    return gst_element_set_state(playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

int PlayThroughReload(const std::vector<std::string>& files) {
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    GstBus* bus = gst_element_get_bus(playbin);
    int result = 0;
    for (const std::string& file : files) {
        if (!SetFile(playbin, file)) {
            result = 1;
            break;
        }
        const auto kinds = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
        GstMessage* message = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE, kinds);
        const bool ended = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        gst_message_unref(message);
        gst_element_set_state(playbin, GST_STATE_NULL);
        if (!ended) {
            std::fprintf(stderr, "stream error in %s\n", file.c_str());
            result = 1;
            break;
        }
    }
    gst_object_unref(bus);
    gst_object_unref(playbin);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    gst_init(&argc, &argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() < 2 ||
        (arguments[0] != "device" && arguments[0] != "reload" && arguments[0] != "calls")) {
        std::fprintf(stderr,
                     "usage: %s device [--ticks] FILE... | reload FILE... | calls FILE...\n",
                     argv[0]);
        return 2;
    }
    const std::string mode = arguments[0];
    arguments.erase(arguments.begin());
    if (mode == "calls") {
        return TimeDeviceCalls(arguments);
    }
    const bool reload = mode == "reload";
    const bool ticks = !reload && arguments[0] == "--ticks";
    if (ticks) {
        arguments.erase(arguments.begin());
    }
    return reload ? PlayThroughReload(arguments) : PlayThroughDevice(arguments, ticks);
}
