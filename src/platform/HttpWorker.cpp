// The native Client: requests handed to one background thread of its own,
// which runs the system's Perform on them in turn.
#include "platform/Http.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace Http {

struct Client::Impl {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<Id, Request>> queue;
    std::vector<Finished> done;
    std::size_t open = 0;
    Id next = 1;
    std::atomic<bool> stop{false};
    bool ended = false; // the thread has left its loop
    std::thread thread;

    void Run() {
        std::unique_lock lock(mutex);
        while (!stop) {
            if (queue.empty()) {
                wake.wait(lock);
                continue;
            }
            auto [id, request] = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            Response response = Perform(request, stop);
            lock.lock();
            done.push_back({id, std::move(response)});
        }
        ended = true;
        wake.notify_all();
    }
};

Client::Client() : impl_(std::make_shared<Impl>()) {}

Client::~Client() {
    if (!impl_->thread.joinable()) {
        return;
    }
    std::unique_lock lock(impl_->mutex);
    impl_->stop = true;
    impl_->wake.notify_all();
    // Perform gives up within a second or so; a system call that holds on
    // longer keeps the thread, not the game, which goes on without it.
    if (impl_->wake.wait_for(lock, std::chrono::seconds(2), [this] { return impl_->ended; })) {
        lock.unlock();
        impl_->thread.join();
    } else {
        impl_->thread.detach();
    }
}

Id Client::Start(Request request) {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->thread.joinable()) {
        // The thread owns a share of the state, so it may outlive the Client
        impl_->thread = std::thread([state = impl_] { state->Run(); });
    }
    const Id id = impl_->next++;
    impl_->queue.emplace_back(id, std::move(request));
    ++impl_->open;
    impl_->wake.notify_all();
    return id;
}

std::vector<Finished> Client::Take() {
    std::lock_guard lock(impl_->mutex);
    std::vector<Finished> taken = std::move(impl_->done);
    impl_->done.clear();
    impl_->open -= taken.size();
    return taken;
}

std::size_t Client::Open() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->open;
}

} // namespace Http
