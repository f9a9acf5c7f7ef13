// Requests to a web server, never waited on by the caller: one
// implementation per system. Linux has libcurl (HttpCurl.cpp), Windows
// WinHTTP (HttpWinHttp.cpp), both run on one background thread of their own
// (HttpWorker.cpp); the page has the browser's fetch (HttpFetch.cpp), as it
// has one thread only.
//
// libcurl rather than cpp-httplib's client (which the server uses): it takes
// the system's certificate store and TLS library as the system keeps them,
// so the game links no OpenSSL of its own and needs no bundle of
// certificates, and it has timeouts over the whole exchange, a cap on what
// it reads and the system's proxy settings built in.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Http {

// An answer larger than this is no answer of a leaderboard's: it is cut
// off there and taken as a failure.
constexpr std::size_t kMaxAnswer = 256 * 1024;
constexpr int kTimeoutSeconds = 12;

struct Request {
    std::string method = "GET"; // GET or POST
    std::string url;
    std::string contentType; // of the body; none when empty
    std::string body;
    // Connecting and the whole exchange together.
    int timeoutSeconds = kTimeoutSeconds;
    std::size_t maxAnswer = kMaxAnswer;
};

struct Response {
    int status = 0; // 0: no answer (or none whole: see error)
    std::string body;
    long retryAfter = -1; // the Retry-After header in seconds, -1 without one
    // Why there is no usable answer: the connection, the timeout, a redirect
    // (never followed), an answer over the cap. Empty when one came whole.
    std::string error;
};

using Id = std::uint64_t;

struct Finished {
    Id id = 0;
    Response response;
};

// Requests are answered one at a time, in the order started. Start and Take
// never wait on the network; destroying a Client gives up the request under
// way at once.
class Client {
  public:
    Client();
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    Id Start(Request request);
    // The requests answered (or failed) since the last call. In the page
    // this is where the browser's answers are taken in, so call it each
    // turn of the host.
    std::vector<Finished> Take();
    // Requests started and not yet taken.
    std::size_t Open() const;

  private:
    struct Impl;
    std::shared_ptr<Impl> impl_; // shared with the background thread
};

// Redirects are failures worth telling: the status and where it pointed.
std::string RedirectError(int status, const std::string& location);
// Retry-After in seconds from its header's text; -1 for none or a date
// (a leaderboard sends seconds).
long RetryAfterSeconds(const std::string& value);

// One request, waited on to its end, or given up soon after `stop` turns
// true: what the background thread runs, one per system. Not in the page.
Response Perform(const Request& request, const std::atomic<bool>& stop);

} // namespace Http
