#include "linux/audio/gst_state_worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace tav::gst {

namespace {

// How long the worker's end waits for the changes still queued (closing streams) to be done.
constexpr auto kLongestDrain = std::chrono::seconds(2);

}  // namespace

struct StateWorker::Change {
    GstElement* element;
    GstState state;
    std::optional<GstStateChangeReturn> result;  // under Shared::lock
};

// Shared with the thread, which may outlive the worker when a change hangs.
struct StateWorker::Shared {
    std::mutex lock;
    std::condition_variable queued;
    std::condition_variable done;
    std::deque<std::shared_ptr<Change>> changes;
    bool busy = false;
    bool ending = false;

    void Run() {
        std::unique_lock guard(lock);
        for (;;) {
            queued.wait(guard, [this] { return !changes.empty() || ending; });
            if (changes.empty()) {
                return;
            }
            const std::shared_ptr<Change> change = std::move(changes.front());
            changes.pop_front();
            busy = true;
            guard.unlock();
            const GstStateChangeReturn result =
                gst_element_set_state(change->element, change->state);
            gst_object_unref(change->element);
            guard.lock();
            change->element = nullptr;
            change->result = result;
            busy = false;
            done.notify_all();
        }
    }
};

StateWorker::StateWorker()
    : shared_(std::make_shared<Shared>()), thread_([shared = shared_] { shared->Run(); }) {}

StateWorker::~StateWorker() {
    std::unique_lock guard(shared_->lock);
    shared_->ending = true;
    shared_->queued.notify_all();
    const bool drained = shared_->done.wait_for(
        guard, kLongestDrain, [this] { return shared_->changes.empty() && !shared_->busy; });
    guard.unlock();
    if (drained) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

std::shared_ptr<StateWorker::Change> StateWorker::Queue(GstElement* element, GstState state) {
    auto change =
        std::make_shared<Change>(Change{GST_ELEMENT(gst_object_ref(element)), state, std::nullopt});
    {
        std::lock_guard guard(shared_->lock);
        shared_->changes.push_back(change);
    }
    shared_->queued.notify_all();
    return change;
}

std::optional<GstStateChangeReturn> StateWorker::Wait(const std::shared_ptr<Change>& change,
                                                      Deadline deadline) {
    std::unique_lock guard(shared_->lock);
    shared_->done.wait_until(guard, deadline, [&] { return change->result.has_value(); });
    return change->result;
}

}  // namespace tav::gst
