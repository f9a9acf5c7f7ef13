// A small web server on 127.0.0.1 for the leaderboard client's tests: each
// request answered as the test's handler says, however badly (late, huge,
// garbled), on an ephemeral port, until it goes out of scope. POSIX only.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace TestSupport {

struct Seen {
    std::string method, target, contentType, body;
};

struct Answer {
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    std::chrono::milliseconds delay{0}; // before anything is sent
    // A body of this many bytes, streamed as the client reads it, in place of `body`.
    std::size_t streamBytes = 0;
};

inline Answer Late(Answer answer, std::chrono::milliseconds delay) {
    answer.delay = delay;
    return answer;
}

class FakeHttp {
  public:
    using Handler = std::function<Answer(const Seen&)>;
    explicit FakeHttp(Handler handler);
    ~FakeHttp();
    FakeHttp(const FakeHttp&) = delete;
    FakeHttp& operator=(const FakeHttp&) = delete;

    int Port() const { return port_; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<Seen> Requests() const;
    std::size_t Count(const std::string& method) const;
    std::size_t BytesSent() const { return sent_; }

    // A port nothing listens on: bound once, then closed.
    static int ClosedPort();

  private:
    void Accept();
    void Serve(int fd);

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> sent_{0};
    mutable std::mutex mutex_;
    std::vector<Seen> seen_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

} // namespace TestSupport
