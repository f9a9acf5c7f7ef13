#ifndef _WIN32

#include "support/FakeHttp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace TestSupport {

namespace {

constexpr int kSliceMs = 20;
constexpr std::size_t kMostHead = 64 * 1024;
constexpr std::size_t kMostBody = 8 * 1024 * 1024;

int Listen(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        ::listen(fd, 16) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    port = ntohs(at.sin_port);
    return fd;
}

// Waits for `events` on `fd` in short slices, so a stop is seen soon.
bool Ready(int fd, short events, const std::atomic<bool>& stop) {
    pollfd p{fd, events, 0};
    while (!stop) {
        const int n = ::poll(&p, 1, kSliceMs);
        if (n > 0) {
            return true;
        }
        if (n < 0) {
            return false;
        }
    }
    return false;
}

bool SendAll(int fd, const char* data, std::size_t size, const std::atomic<bool>& stop,
             std::atomic<std::size_t>& sent) {
    while (size > 0) {
        if (!Ready(fd, POLLOUT, stop)) {
            return false;
        }
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

} // namespace

FakeHttp::FakeHttp(Handler handler) : handler_(std::move(handler)) {
    listener_ = Listen(port_);
    if (listener_ >= 0) {
        acceptor_ = std::thread([this] { Accept(); });
    }
}

FakeHttp::~FakeHttp() {
    stop_ = true;
    if (acceptor_.joinable()) {
        acceptor_.join();
    }
    for (std::thread& t : connections_) {
        t.join();
    }
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

std::vector<Seen> FakeHttp::Requests() const {
    std::lock_guard lock(mutex_);
    return seen_;
}

std::size_t FakeHttp::Count(const std::string& method) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(
        seen_.begin(), seen_.end(), [&method](const Seen& s) { return s.method == method; }));
}

int FakeHttp::ClosedPort() {
    int port = 0;
    const int fd = Listen(port);
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

void FakeHttp::Accept() {
    while (Ready(listener_, POLLIN, stop_)) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            connections_.emplace_back([this, fd] {
                Serve(fd);
                ::close(fd);
            });
        }
    }
}

void FakeHttp::Serve(int fd) {
    std::string data;
    char buf[16384];
    std::size_t headEnd = std::string::npos;
    std::size_t length = 0;
    Seen seen;
    for (;;) {
        if (headEnd == std::string::npos &&
            (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
            const std::string head = data.substr(0, headEnd);
            const auto space = head.find(' ');
            seen.method = head.substr(0, space);
            seen.target = head.substr(space + 1, head.find(' ', space + 1) - space - 1);
            for (std::size_t at = head.find("\r\n"); at != std::string::npos;
                 at = head.find("\r\n", at + 2)) {
                const std::string line = head.substr(at + 2, head.find("\r\n", at + 2) - at - 2);
                const auto colon = line.find(':');
                const std::string name = Lower(line.substr(0, colon));
                const std::string value = colon == std::string::npos
                                              ? ""
                                              : line.substr(line.find_first_not_of(' ', colon + 1));
                if (name == "content-length") {
                    length =
                        std::min<std::size_t>(std::strtoul(value.c_str(), nullptr, 10), kMostBody);
                } else if (name == "content-type") {
                    seen.contentType = value;
                }
            }
            headEnd += 4;
        }
        if (headEnd != std::string::npos && data.size() >= headEnd + length) {
            break;
        }
        if (data.size() > kMostHead + kMostBody || !Ready(fd, POLLIN, stop_)) {
            return;
        }
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            return;
        }
        data.append(buf, static_cast<std::size_t>(n));
    }
    seen.body = data.substr(headEnd, length);
    {
        std::lock_guard lock(mutex_);
        seen_.push_back(seen);
    }
    const Answer answer = handler_(seen);
    for (auto waited = std::chrono::milliseconds(0); waited < answer.delay && !stop_;
         waited += std::chrono::milliseconds(kSliceMs)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
    }
    const std::size_t size = answer.streamBytes > 0 ? answer.streamBytes : answer.body.size();
    std::string head = "HTTP/1.1 " + std::to_string(answer.status) +
                       " Fake\r\nContent-Length: " + std::to_string(size) +
                       "\r\nConnection: close\r\n";
    for (const auto& [name, value] : answer.headers) {
        head += name + ": " + value + "\r\n";
    }
    head += "\r\n";
    if (!SendAll(fd, head.data(), head.size(), stop_, sent_)) {
        return;
    }
    if (answer.streamBytes == 0) {
        SendAll(fd, answer.body.data(), answer.body.size(), stop_, sent_);
        return;
    }
    const std::string chunk(64 * 1024, '{');
    for (std::size_t left = size; left > 0;) {
        const std::size_t n = std::min(left, chunk.size());
        if (!SendAll(fd, chunk.data(), n, stop_, sent_)) {
            return;
        }
        left -= n;
    }
}

} // namespace TestSupport

#endif
