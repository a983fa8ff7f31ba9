#include "win32/audio/timed_worker.h"

#include <windows.h>

#include <objbase.h>

#include <thread>
#include <utility>

namespace tav {

// What a thread works through; shared with the thread, which may outlive the worker.
struct TimedWorker::Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::function<void()>> calls;
    bool quit = false;
    bool ended = false;

    void Work() {
        // Media Foundation's objects made here are used from the other threads too.
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        std::unique_lock guard(lock);
        for (;;) {
            changed.wait(guard, [&] { return quit || !calls.empty(); });
            if (calls.empty()) {
                break;
            }
            std::function<void()> call = std::move(calls.front());
            calls.pop_front();
            guard.unlock();
            call();
            call = nullptr;  // what it held goes here, not under the lock
            guard.lock();
            changed.notify_all();
        }
        guard.unlock();
        CoUninitialize();
        // Last: the worker's owner may unload Media Foundation once this is seen.
        guard.lock();
        ended = true;
        changed.notify_all();
    }
};

TimedWorker::TimedWorker() {
    Start();
}

TimedWorker::~TimedWorker() {
    std::unique_lock guard(queue_->lock);
    queue_->quit = true;
    queue_->changed.notify_all();
    queue_->changed.wait_for(guard, kLongestLastWait, [&] { return queue_->ended; });
}

void TimedWorker::Start() {
    queue_ = std::make_shared<Queue>();
    std::thread([queue = queue_] { queue->Work(); }).detach();
}

void TimedWorker::Post(std::function<void()> call) {
    std::lock_guard guard(queue_->lock);
    queue_->calls.push_back(std::move(call));
    queue_->changed.notify_all();
}

bool TimedWorker::Run(std::function<void()> call, std::chrono::milliseconds limit) {
    auto done = std::make_shared<bool>(false);
    const std::shared_ptr<Queue> queue = queue_;
    std::unique_lock guard(queue->lock);
    queue->calls.push_back([call = std::move(call), done, queue] {
        call();
        std::lock_guard ended(queue->lock);
        *done = true;
    });
    queue->changed.notify_all();
    if (queue->changed.wait_for(guard, limit, [&] { return *done; })) {
        return true;
    }
    // The thread hangs in this call or one before it: what was posted after it moves on to a
    // new thread, and this one ends once its call returns, if ever.
    std::deque<std::function<void()>> later;
    while (!queue->calls.empty()) {
        later.push_front(std::move(queue->calls.back()));
        queue->calls.pop_back();
    }
    queue->quit = true;
    guard.unlock();
    Start();
    for (std::function<void()>& next : later) {
        Post(std::move(next));
    }
    return false;
}

}  // namespace tav
