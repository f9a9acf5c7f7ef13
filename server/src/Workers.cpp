#include "Workers.h"

#include <iostream>
#include <optional>

namespace Server {

namespace {

// An idle worker looks for jobs of other servers (or lapsed claims) this often.
constexpr auto kIdleLook = std::chrono::milliseconds(500);
// After the server's own trouble (no verifier, a database error), a pause
// before the next try, so a broken set-up does not spin.
constexpr auto kTroublePause = std::chrono::seconds(2);

} // namespace

Workers::Workers(Storage& storage, VerifierSetup setup, std::string name, unsigned count,
                 std::chrono::seconds lease)
    : storage_(storage), setup_(std::move(setup)), name_(std::move(name)), lease_(lease) {
    for (unsigned i = 0; i < count; ++i) {
        threads_.emplace_back([this, i] { Work(i); });
    }
}

Workers::~Workers() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) {
        t.join();
    }
}

void Workers::Wake() {
    {
        const std::lock_guard lock(mutex_);
        ++woken_;
    }
    wake_.notify_one();
}

void Workers::Work(unsigned index) {
    const std::string me = name_ + "/" + std::to_string(index);
    while (!stopping_) {
        std::chrono::milliseconds pause = kIdleLook;
        std::uint64_t seen = 0;
        {
            const std::lock_guard lock(mutex_);
            seen = woken_;
        }
        std::optional<std::int64_t> held;
        try {
            if (auto job = storage_.Claim(me, lease_)) {
                held = job->run;
                const Outcome outcome =
                    Judge(RunVerifier(setup_, job->recording, stopping_), job->game, job->claimed);
                if (outcome.retry) {
                    if (!stopping_) {
                        std::cerr << "run " << job->run << ": " << outcome.reason
                                  << "; tried again later\n";
                    }
                    storage_.Release(job->run, me);
                    pause = kTroublePause;
                } else {
                    if (outcome.code == "desync") {
                        // A build and this server disagree about the game: worth a look
                        std::cerr << "run " << job->run << " desync: " << outcome.reason << "\n";
                    }
                    storage_.Finish(job->run, me, outcome);
                    continue;
                }
            }
        } catch (const std::exception& e) {
            std::cerr << "worker " << me << ": " << e.what() << "\n";
            pause = kTroublePause;
            // No temporary folder or pipe to be had: the job waits for another try
            if (held) {
                try {
                    storage_.Release(*held, me);
                } catch (const std::exception&) {
                    // the database is away too: the claim lapses with its lease
                }
            }
        }
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, pause, [&] { return stopping_ || woken_ != seen; });
    }
}

} // namespace Server
