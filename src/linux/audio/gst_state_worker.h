#pragma once

// The output stream's state changes, run on a thread of their own. A sink's state change waits
// for the sound server without a time-out, so a stalled server (stopped, swapped out, hung)
// holds it for as long as it stalls; the device's callers wait for it only up to a deadline.

#include <gst/gst.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace tav::gst {

using Deadline = std::chrono::steady_clock::time_point;

class StateWorker {
public:
    struct Change;

    StateWorker();
    // Waits a short while for the changes still queued; one that hangs is left to the thread,
    // which ends once it is done.
    ~StateWorker();
    StateWorker(const StateWorker&) = delete;
    StateWorker& operator=(const StateWorker&) = delete;

    // Queues a change of `element` to `state` behind the ones queued before; the element is
    // referenced until the change is done.
    std::shared_ptr<Change> Queue(GstElement* element, GstState state);
    // The change's result once it is done; nothing when it is not done by `deadline`.
    std::optional<GstStateChangeReturn> Wait(const std::shared_ptr<Change>& change,
                                             Deadline deadline);

private:
    struct Shared;
    const std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace tav::gst
