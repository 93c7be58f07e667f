#include "cli/SignalWatcher.h"

#include <pthread.h>

SignalWatcher::SignalWatcher(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGUSR1); // the watcher's own stop signal
    pthread_sigmask(SIG_BLOCK, &set, &previous_);
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
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}
