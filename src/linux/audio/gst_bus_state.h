#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "linux/audio/event_poster.h"
#include "linux/audio/gst_output.h"
#include "platform/media_device.h"

namespace tav::gst {

// What the pipeline reports, shared between the device (GUI thread) and GStreamer's threads.
// The bus handler and the sink's signal hold their own references, so a message posted while
// the pipeline is torn down still finds this alive. The output outlives it: the device ends
// its pipelines first, and the output's end waits for its watcher, the one thread of the
// output's own that may still hold this. (Were it an owner, the output could end on its own
// watcher thread.)
struct BusState {
    BusState(EventPoster& p, uint32_t deviceId, AudioOutput& o)
        : poster(p), id(deviceId), output(&o) {}

    EventPoster& poster;
    const uint32_t id;
    AudioOutput* const output;
    mutable std::mutex lock;
    std::condition_variable changed;
    bool settled = false;       // the last asynchronous state change has completed
    bool failed = false;        // a stream error was reported
    bool outputFailed = false;  // ... by the output, not by the file: a new play can recover
    bool atEnd = false;         // the file's last sound has been queued in the output
    bool endHeard = false;      // the play reached the file's end and posted its success
    bool playPending = false;   // a play waits for its completion notice
    bool feeding = false;       // the output counts this file among its feeds
    uint64_t feed = 0;          // the output's ticket for the current feed
    uint64_t run = 0;           // counts plays, stops and seeks: a late watch finds it moved on
    uint64_t watch = 0;         // the output's ticket for the end watch, 0 for none
    // Where the sound fed since the last start, stop or seek stands: the file position it
    // began at, where it began in the output, and how much of it went in.
    GstClockTime base = 0;
    std::optional<OutputTime> fedFrom;
    GstClockTime fed = 0;

    void PostNotice(NoticeKind kind) const {
        poster.Post(Message{MM_MCINOTIFY_, kind, static_cast<intptr_t>(id)});
    }

    // Ends the pending play, if any, with the given notice; true when there was one.
    bool EndPlay(NoticeKind kind) {
        bool hadPlay = false;
        {
            std::lock_guard guard(lock);
            hadPlay = std::exchange(playPending, false);
            endHeard = endHeard || (hadPlay && kind == NotifySuccessful);
        }
        if (hadPlay) {
            PostNotice(kind);
        }
        return hadPlay;
    }

    // A play, stop or seek begins: the end watch of what went before no longer applies.
    void NewRun() {
        uint64_t oldWatch = 0;
        {
            std::lock_guard guard(lock);
            ++run;
            oldWatch = std::exchange(watch, 0);
        }
        if (oldWatch != 0) {
            output->Unwatch(oldWatch);
        }
    }

    // The file's last sound is in the output. The play succeeds when the output has played
    // up to its notice lead before it; at once when nothing of it went in.
    void DecodedAll(const std::shared_ptr<BusState>& self) {
        std::unique_lock guard(lock);
        atEnd = true;
        if (!playPending || watch != 0) {
            return;
        }
        if (!fedFrom) {
            guard.unlock();
            EndPlay(NotifySuccessful);
            return;
        }
        const GstClockTime end = fedFrom->time + fed;
        const OutputTime from = *fedFrom;
        const uint64_t watchedRun = run;
        std::weak_ptr<BusState> weak = self;
        guard.unlock();
        const GstClockTime lead = output->NoticeLead();
        const OutputTime noticeAt{from.stream, end > lead ? end - lead : 0};
        const uint64_t ticket = output->Watch(noticeAt, [weak, watchedRun](bool reached) {
            if (std::shared_ptr<BusState> state = weak.lock()) {
                state->EndWatched(watchedRun, reached);
            }
        });
        guard.lock();
        if (run == watchedRun) {
            watch = ticket;
            return;
        }
        guard.unlock();
        output->Unwatch(ticket);
    }

    // The end watch of play `watchedRun` fired: reached, or the output failed first.
    void EndWatched(uint64_t watchedRun, bool reached) {
        {
            std::lock_guard guard(lock);
            if (run != watchedRun) {
                return;
            }
            watch = 0;
            if (!reached) {
                failed = outputFailed = true;
            }
        }
        if (!reached) {
            StopFeeding();
        }
        EndPlay(reached ? NotifySuccessful : NotifyFailure);
    }

    void StartFeeding() {
        std::lock_guard guard(lock);
        if (!std::exchange(feeding, true)) {
            feed = output->BeginFeed();
        }
    }

    // True when the file was still feeding the output.
    bool StopFeeding() {
        bool wasFeeding = false;
        {
            std::lock_guard guard(lock);
            wasFeeding = std::exchange(feeding, false);
        }
        if (wasFeeding) {
            output->EndFeed();
        }
        return wasFeeding;
    }

    void Set(bool BusState::*flag, bool value) {
        {
            std::lock_guard guard(lock);
            this->*flag = value;
        }
        changed.notify_all();
    }

    bool Get(bool BusState::*flag) const {
        std::lock_guard guard(lock);
        return this->*flag;
    }
};

}  // namespace tav::gst
