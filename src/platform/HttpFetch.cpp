// The Client in the page: the browser's fetch, which answers while the game
// goes on in the page's one thread. Its answers wait in the page's script
// until Take collects them. A leaderboard on another origin than the page
// must allow it (CORS) for its answers to be read.
#ifdef __EMSCRIPTEN__

#include "platform/Http.h"

#include <emscripten.h>

#include <algorithm>

// clang-format off
EM_JS(int, morvek_http_start, (const char* method, const char* url, const char* type,
                               const char* body, int bodyLength, int timeoutMs, int cap), {
    const http = Module.morvekHttp || (Module.morvekHttp = {next: 1, calls: {}});
    const id = http.next++;
    const call = {done: false, status: 0, retryAfter: -1, body: new Uint8Array(0), error: "",
                  abort: new AbortController()};
    http.calls[id] = call;
    const init = {method: UTF8ToString(method), redirect: "manual", credentials: "omit",
                  cache: "no-store", signal: call.abort.signal};
    if (type) init.headers = {"Content-Type": UTF8ToString(type)};
    if (bodyLength > 0) init.body = HEAPU8.slice(body, body + bodyLength);
    let late = false;
    const timer = setTimeout(() => { late = true; call.abort.abort(); }, timeoutMs);
    const finish = (error) => {
        clearTimeout(timer);
        if (error) { call.status = 0; call.body = new Uint8Array(0); call.error = error; }
        call.done = true;
    };
    (async () => {
        const answer = await fetch(UTF8ToString(url), init);
        if (answer.type === "opaqueredirect") {
            return finish("the server redirected, which is not followed");
        }
        call.status = answer.status;
        const after = answer.headers.get("Retry-After");
        const seconds = after === null || after.trim() === "" ? NaN : Number(after);
        if (Number.isInteger(seconds) && seconds >= 0) call.retryAfter = seconds;
        const reader = answer.body.getReader();
        const parts = [];
        let total = 0;
        for (;;) {
            const {done, value} = await reader.read();
            if (done) break;
            total += value.length;
            if (total > cap) {
                reader.cancel();
                return finish("the answer is larger than " + (cap >> 10) + " KiB and was cut off");
            }
            parts.push(value);
        }
        call.body = new Uint8Array(total);
        let at = 0;
        for (const part of parts) { call.body.set(part, at); at += part.length; }
        finish("");
    })().catch(e => finish(late ? "no answer within " + Math.round(timeoutMs / 1000) + " s"
                                 : "no answer: " + String(e && e.message || e).slice(0, 120)));
    return id;
});

// Whether the call has ended; if so, the sizes of its body and error text.
EM_JS(int, morvek_http_ended, (int id, int* status, int* retryAfter, int* bodyLength,
                               int* errorLength), {
    const call = Module.morvekHttp && Module.morvekHttp.calls[id];
    if (!call || !call.done) return 0;
    call.errorBytes = new TextEncoder().encode(call.error);
    HEAP32[status >> 2] = call.status;
    HEAP32[retryAfter >> 2] = call.retryAfter;
    HEAP32[bodyLength >> 2] = call.body.length;
    HEAP32[errorLength >> 2] = call.errorBytes.length;
    return 1;
});

// Copies an ended call's body and error out and forgets the call.
EM_JS(void, morvek_http_collect, (int id, char* body, char* error), {
    const call = Module.morvekHttp.calls[id];
    HEAPU8.set(call.body, body);
    HEAPU8.set(call.errorBytes, error);
    delete Module.morvekHttp.calls[id];
});

EM_JS(void, morvek_http_abort, (int id), {
    const call = Module.morvekHttp && Module.morvekHttp.calls[id];
    if (call) { call.abort.abort(); delete Module.morvekHttp.calls[id]; }
});
// clang-format on

namespace Http {

struct Client::Impl {
    std::vector<std::pair<Id, int>> open; // ours and the page's number of each call
    Id next = 1;
};

Client::Client() : impl_(std::make_shared<Impl>()) {}

Client::~Client() {
    for (const auto& [id, call] : impl_->open) {
        morvek_http_abort(call);
    }
}

Id Client::Start(Request request) {
    const int call =
        morvek_http_start(request.method.c_str(), request.url.c_str(),
                          request.contentType.empty() ? nullptr : request.contentType.c_str(),
                          request.body.data(), static_cast<int>(request.body.size()),
                          1000 * request.timeoutSeconds, static_cast<int>(request.maxAnswer));
    const Id id = impl_->next++;
    impl_->open.emplace_back(id, call);
    return id;
}

std::vector<Finished> Client::Take() {
    std::vector<Finished> taken;
    std::erase_if(impl_->open, [&taken](const std::pair<Id, int>& call) {
        int status = 0, retryAfter = -1, bodyLength = 0, errorLength = 0;
        if (!morvek_http_ended(call.second, &status, &retryAfter, &bodyLength, &errorLength)) {
            return false;
        }
        Finished f{call.first, {}};
        f.response.status = status;
        f.response.retryAfter = retryAfter;
        f.response.body.resize(static_cast<std::size_t>(bodyLength));
        f.response.error.resize(static_cast<std::size_t>(errorLength));
        morvek_http_collect(call.second, f.response.body.data(), f.response.error.data());
        if (f.response.error.empty() && status >= 300 && status < 400) {
            f.response.error = RedirectError(status, "");
        }
        taken.push_back(std::move(f));
        return true;
    });
    return taken;
}

std::size_t Client::Open() const {
    return impl_->open.size();
}

} // namespace Http

#endif
