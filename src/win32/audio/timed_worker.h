#pragma once

// Calls into a decoder that may hang (a file on a stalled share or disk, a broken decoder) run
// on a thread of their own, so that the caller waits for them no longer than it is promised.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>  // and std::chrono: <chrono> itself holds a literal CP932 cannot spell

namespace tav {

class TimedWorker {
public:
    TimedWorker();
    // Waits up to `kLongestLastWait` for the calls posted before; a thread still busy then is
    // left to end on its own.
    ~TimedWorker();
    TimedWorker(const TimedWorker&) = delete;
    TimedWorker& operator=(const TimedWorker&) = delete;

    // Runs `call` after those posted before it; false when it has not ended within `limit`.
    // The call then goes on (or hangs) on its own, so it must own what it touches, and the
    // calls after it go to a new thread.
    bool Run(std::function<void()> call, std::chrono::milliseconds limit);
    // Runs `call` after those posted before it, without waiting for it.
    void Post(std::function<void()> call);

private:
    struct Queue;
    void Start();

    std::shared_ptr<Queue> queue_;
};

constexpr auto kLongestLastWait = std::chrono::milliseconds(2000);

}  // namespace tav
