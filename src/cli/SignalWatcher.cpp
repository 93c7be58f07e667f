#include "cli/SignalWatcher.h"

#include <pthread.h>

SignalWatcher::SignalWatcher(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGUSR1); // the watcher's own stop signal
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    thread_ = std::thread([this, set] {
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0 || sig == SIGUSR1)
                return;
            onSignal_(++count_);
        }
    });
}

SignalWatcher::~SignalWatcher() {
    pthread_kill(thread_.native_handle(), SIGUSR1);
    thread_.join();
    // The signals stay blocked: the command is on its way out, and a late
    // second Ctrl-C must not end it by default action half-way through its
    // clean-up, nor change the status it has decided on.
}
