// Perform on Linux: libcurl, with the system's certificates, TLS library and
// proxy settings (http_proxy, https_proxy, no_proxy).
#include "platform/Http.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace Http {

namespace {

struct Transfer {
    const Request* request = nullptr;
    const std::atomic<bool>* stop = nullptr;
    Response response;
    std::string location;
    bool tooLarge = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (t.response.body.size() + bytes > t.request->maxAnswer) {
        t.tooLarge = true;
        return 0; // curl gives up the transfer: the rest is never read
    }
    t.response.body.append(data, bytes);
    return bytes;
}

// Each header line as it comes; a new status line (after a 100 Continue)
// starts the headers over.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    const std::string line(data, bytes);
    if (line.starts_with("HTTP/")) {
        t.response.retryAfter = -1;
        t.location.clear();
        return bytes;
    }
    const auto colon = line.find(':');
    if (colon == std::string::npos) {
        return bytes;
    }
    std::string name = line.substr(0, colon);
    for (char& c : name) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    const std::string value = line.substr(colon + 1);
    if (name == "retry-after") {
        t.response.retryAfter = RetryAfterSeconds(value);
    } else if (name == "location") {
        const auto from = value.find_first_not_of(" \t");
        const auto to = value.find_last_not_of(" \t\r\n");
        t.location = from == std::string::npos ? "" : value.substr(from, to + 1 - from);
    }
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->stop->load() ? 1 : 0;
}

struct CurlFree {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

Response Perform(const Request& request, const std::atomic<bool>& stop) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    Transfer t;
    t.request = &request;
    t.stop = &stop;
    const std::unique_ptr<CURL, CurlFree> curl(curl_easy_init());
    if (!curl) {
        t.response.error = "libcurl could not start a transfer";
        return t.response;
    }
    CURL* c = curl.get();
    char reason[CURL_ERROR_SIZE] = {};
    const long timeoutMs = 1000L * request.timeoutSeconds;
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L); // on a thread: no SIGALRM for name look-ups
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxAnswer));
    curl_easy_setopt(c, CURLOPT_USERAGENT, "morvek");
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    // No "Expect: 100-continue": it only delays a body the server reads anyway
    std::unique_ptr<curl_slist, CurlFree> headers(curl_slist_append(nullptr, "Expect:"));
    if (!request.contentType.empty()) {
        headers.reset(
            curl_slist_append(headers.release(), ("Content-Type: " + request.contentType).c_str()));
    }
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    if (request.method == "POST") {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
    }

    const CURLcode result = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    Response& r = t.response;
    if (t.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        r.body.clear();
        r.error = "the answer is larger than " + std::to_string(request.maxAnswer / 1024) +
                  " KiB and was cut off";
        return r;
    }
    if (result != CURLE_OK) {
        r = Response{};
        if (result == CURLE_OPERATION_TIMEDOUT) {
            r.error = "no answer within " + std::to_string(request.timeoutSeconds) + " s";
        } else if (result == CURLE_ABORTED_BY_CALLBACK) {
            r.error = "given up as the game ends";
        } else {
            r.error = reason[0] != '\0' ? reason : curl_easy_strerror(result);
        }
        return r;
    }
    r.status = static_cast<int>(status);
    if (status >= 300 && status < 400) {
        r.error = RedirectError(r.status, t.location);
    }
    return r;
}

} // namespace Http
