#pragma once
// Serial work queues: one worker thread per conversion, and the process-wide
// main queue on which every report runs; the host (command line, UI, test)
// drains the main queue on its own thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

/// Runs submitted tasks one at a time, in order, on its own thread. The
/// destructor lets queued tasks finish, then joins the thread.
class SerialQueue {
public:
    explicit SerialQueue(std::string label);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(std::function<void()> task);
    const std::string& label() const { return label_; }

private:
    void run();
    std::string label_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::thread thread_;
};

/// The main queue: tasks posted from any thread, run by whoever drains it.
class MainQueue {
public:
    static MainQueue& shared();

    void async(std::function<void()> task);
    /// Runs every task posted so far; returns how many ran.
    size_t drain();
    /// Runs tasks as they arrive until `done()` is true (checked after each task).
    void runUntil(const std::function<bool()>& done);
    /// Called after every post, on the posting thread and under the queue's
    /// lock (so it never runs once replaced): a host with an event loop of
    /// its own uses it to schedule a drain there. It must not post or drain.
    void setPostObserver(std::function<void()> observer);

private:
    std::mutex mutex_;
    std::function<void()> postObserver_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> tasks_;
};

} // namespace platform
