// The requests under the leaderboard (platform/Http.h) against a fake server
// on 127.0.0.1: what arrives there, and what a bad answer becomes. Each
// waits a few seconds at most.
#include "platform/Http.h"
#include "support/FakeHttp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using TestSupport::Answer;
using TestSupport::FakeHttp;
using TestSupport::Seen;

Http::Request Get(std::string url) {
    Http::Request r;
    r.url = std::move(url);
    return r;
}

// Takes the one answer of `client`, waiting at most `limit`.
Http::Response Await(Http::Client& client, std::chrono::milliseconds limit = 5000ms) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        auto taken = client.Take();
        if (!taken.empty()) {
            return taken.front().response;
        }
        std::this_thread::sleep_for(5ms);
    }
    ADD_FAILURE() << "no answer within " << limit.count() << " ms";
    return {};
}

TEST(HttpClient, APostArrivesWholeAndItsAnswerComesBackWithRetryAfter) {
    FakeHttp server([](const Seen& s) {
        return Answer{s.method == "POST" ? 429 : 200, "{\"run\": 1}", {{"Retry-After", " 7 "}}};
    });
    Http::Client client;
    std::string body(300 * 1024, 'x'); // beyond the answer's cap: only answers are capped
    body += "\nend\n";
    Http::Request post = Get(server.Address() + "/api/v1/runs?name=A%20B");
    post.method = "POST";
    post.contentType = "text/plain";
    post.body = body;
    client.Start(post);
    EXPECT_EQ(client.Open(), 1u);
    const auto r = Await(client);
    EXPECT_EQ(r.status, 429);
    EXPECT_EQ(r.retryAfter, 7);
    EXPECT_EQ(r.body, "{\"run\": 1}");
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(client.Open(), 0u);
    const auto seen = server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].target, "/api/v1/runs?name=A%20B");
    EXPECT_EQ(seen[0].contentType, "text/plain");
    EXPECT_EQ(seen[0].body, body);
}

TEST(HttpClient, FailuresComeBackAsErrorsNeverAsAnswers) {
    // nothing listening
    Http::Client client;
    client.Start(Get("http://127.0.0.1:" + std::to_string(FakeHttp::ClosedPort()) + "/"));
    auto r = Await(client);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.error.empty());

    // a redirect elsewhere is reported, not followed
    FakeHttp elsewhere([](const Seen&) { return Answer{200, "{}", {}}; });
    FakeHttp redirecting([&elsewhere](const Seen&) {
        return Answer{302, "", {{"Location", elsewhere.Address() + "/api/v1/runs"}}};
    });
    client.Start(Get(redirecting.Address() + "/api/v1/runs/1"));
    r = Await(client);
    EXPECT_NE(r.error.find("redirected (HTTP 302) to " + elsewhere.Address()), std::string::npos)
        << r.error;
    EXPECT_EQ(elsewhere.Requests().size(), 0u);

    // 100 MB is cut off at the cap and never read whole
    FakeHttp huge([](const Seen&) {
        Answer a;
        a.streamBytes = 100u * 1024 * 1024;
        return a;
    });
    client.Start(Get(huge.Address() + "/"));
    r = Await(client);
    EXPECT_NE(r.error.find("larger than 256 KiB"), std::string::npos) << r.error;
    EXPECT_TRUE(r.body.empty());
    EXPECT_LT(huge.BytesSent(), 32u * 1024 * 1024);
}

TEST(HttpClient, ASlowServerTimesOutAndTheClientCanGoAtOnce) {
    FakeHttp slow([](const Seen&) { return Answer{200, "{}", {}, 10s}; });
    Http::Client client;
    Http::Request request = Get(slow.Address() + "/");
    request.timeoutSeconds = 1;
    const auto t0 = Clock::now();
    client.Start(request);
    const auto r = Await(client, 4000ms);
    EXPECT_LT(Clock::now() - t0, 3s);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.error.find("no answer within 1 s"), std::string::npos) << r.error;

    // a client ended in the middle of a request does not wait it out
    const auto t1 = Clock::now();
    {
        Http::Client leaving;
        leaving.Start(Get(slow.Address() + "/"));
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_LT(Clock::now() - t1, 3s);
}

TEST(HttpClient, RetryAfterIsSecondsOnly) {
    EXPECT_EQ(Http::RetryAfterSeconds("120"), 120);
    EXPECT_EQ(Http::RetryAfterSeconds(" 0\r\n"), 0);
    EXPECT_EQ(Http::RetryAfterSeconds("Wed, 21 Oct 2015 07:28:00 GMT"), -1);
    EXPECT_EQ(Http::RetryAfterSeconds("-5"), -1);
    EXPECT_EQ(Http::RetryAfterSeconds(""), -1);
    EXPECT_EQ(Http::RetryAfterSeconds("99999999999999999999999"), -1);
}

} // namespace
