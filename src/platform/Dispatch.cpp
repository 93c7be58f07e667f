#include "platform/Dispatch.h"

namespace platform {

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {
    thread_ = std::thread([this] { run(); });
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void SerialQueue::async(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    cv_.notify_one();
}

void SerialQueue::run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            cv_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty())
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

MainQueue& MainQueue::shared() {
    static MainQueue queue;
    return queue;
}

void MainQueue::async(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
        if (postObserver_)
            postObserver_();
    }
    cv_.notify_all();
}

void MainQueue::setPostObserver(std::function<void()> observer) {
    std::lock_guard<std::mutex> lock(mutex_);
    postObserver_ = std::move(observer);
}

size_t MainQueue::drain() {
    size_t n = 0;
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (tasks_.empty())
                return n;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        ++n;
    }
}

void MainQueue::runUntil(const std::function<bool()>& done) {
    while (!done()) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            cv_.wait(lock, [this] { return !tasks_.empty(); });
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

} // namespace platform
