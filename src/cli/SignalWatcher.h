#pragma once
// Ctrl-C, SIGTERM and SIGHUP are taken by one thread with sigwait, so what
// they cause runs as ordinary code, never inside a signal handler. The
// signals are blocked in every thread started after the watcher, and stay
// blocked after it (one arriving then is dropped): it lives until the end of
// the command.

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

class SignalWatcher {
public:
    /// `onSignal(count)` runs on the watcher's thread for each signal, with
    /// how many have arrived so far.
    explicit SignalWatcher(std::function<void(int count)> onSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    bool interrupted() const { return count_.load() > 0; }

private:
    std::function<void(int)> onSignal_;
    std::atomic<int> count_{0};
    std::thread thread_;
};
