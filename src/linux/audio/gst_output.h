#pragma once

// The media device's one audio stream. Every playing file feeds its decoded sound into it, so
// that one file follows another without the start-up of a new sound-server stream between
// them (which costs tens of milliseconds and up to a whole server period of silence).

#include <gst/gst.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "linux/audio/gst_state_worker.h"

namespace tav::gst {

// The format every file is decoded to before it enters the output.
constexpr int kOutputRate = 48000;
constexpr int kOutputChannels = 2;
constexpr const char* kOutputCaps =
    "audio/x-raw, format=(string)F32LE, layout=(string)interleaved, rate=(int)48000, "
    "channels=(int)2";

// The longest any call waits for the output (or for a decoder), so that with the work around
// the waits it returns within the 5 s its callers are promised, even on a stalled sound server.
constexpr auto kLongestWait = std::chrono::milliseconds(4500);

// A moment of the output: which stream (a new one starts after every stop) and its time.
struct OutputTime {
    uint64_t stream = 0;
    GstClockTime time = 0;
};

class AudioOutput {
public:
    explicit AudioOutput(std::string sinkDescription);
    ~AudioOutput();  // closes the stream
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // A file starts or stops feeding sound. While none does, the output plays out what it
    // holds and then closes its stream; a feed that begins before then follows on without a
    // gap. BeginFeed returns the feed's ticket for Push.
    uint64_t BeginFeed();
    void EndFeed();
    // Makes sure a stream is open to take the next sound: false when none can be opened
    // (no sound server, no audio device) or it did not start by `deadline`.
    bool Prepare(Deadline deadline);
    // Queues decoded sound behind what the output holds, opening the stream when there is
    // none; blocks while the output holds enough. `first` tells the first buffer of a feed.
    // `at` receives when the buffer will play. Takes the buffer. FLUSHING when the output was
    // stopped since the feed began, ERROR when it failed.
    GstFlowReturn Push(GstBuffer* buffer, uint64_t feed, bool first, OutputTime& at);
    // How long before a file's end has been heard its end notice should come, so that the
    // player can start the next file and its first sound still follows on without a gap.
    GstClockTime NoticeLead();
    // What the output has played so far; nothing while no stream is open.
    std::optional<OutputTime> Played();
    // Silences the output at once and closes its stream: false when the stream was not closed
    // by `deadline` (it closes later, on its own).
    bool Stop(Deadline deadline);
    // Holds the stream where it is heard, or lets it go on, keeping it open and what it
    // holds: false when the stream did not change by `deadline`.
    bool Hold(bool held, Deadline deadline);

    // Calls `reached(true)` from the output's own thread once the output has played up to
    // `at`, or `reached(false)` when that stream fails first. A stream that is stopped drops
    // its watches. Returns a ticket for Unwatch; after Unwatch returns, the call may still be
    // under way but none begins.
    uint64_t Watch(OutputTime at, std::function<void(bool reached)> reached);
    void Unwatch(uint64_t ticket);

private:
    struct Stream;
    struct PendingWatch {
        OutputTime at;
        std::function<void(bool)> reached;
    };

    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer data);
    GstFlowReturn OpenStream(std::unique_lock<std::mutex>& guard, bool replaceFailed,
                             Deadline deadline);
    // Whether the stream started by `deadline`; gives up early once a stop leaves it unwanted.
    bool AwaitStart(const std::shared_ptr<StateWorker::Change>& start, Deadline deadline,
                    uint64_t stops);
    // Hands the stream to the worker to be closed; the change tells when it is.
    std::shared_ptr<StateWorker::Change> Retire(std::unique_ptr<Stream> stream);
    // Learns from how much was still to play when a following file's first sound came.
    void AdaptLead(GstClockTime slack);
    // The stream `number` has played out its end, or failed.
    void Finish(uint64_t number, bool failed);
    // The watcher thread: fires the watches and ends a stream that nothing feeds any more.
    void WatchLoop();
    // Fires the watches that are due at `played`; how long until the next one is, if any.
    std::optional<GstClockTime> FireDue(std::unique_lock<std::mutex>& guard,
                                        const std::optional<OutputTime>& played);
    std::optional<GstClockTime> EndIdleStream(const std::optional<OutputTime>& played);

    const std::string sinkDescription_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::condition_variable watchesChanged_;
    std::unique_ptr<Stream> current_;
    uint64_t lastStream_ = 0;
    int feeding_ = 0;
    uint64_t stops_ = 0;  // feeds begun before the last stop are refused
    GstClockTime extraLead_ = 0;
    std::map<uint64_t, PendingWatch> watches_;
    uint64_t lastWatch_ = 0;
    bool quitting_ = false;
    StateWorker worker_;
    std::thread watcher_;  // last: started when everything else is in place
};

}  // namespace tav::gst
