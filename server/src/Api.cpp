#include "Api.h"

#include "Address.h"
#include "Boards.h"
#include "Database.h"
#include "Json.h"
#include "Page.h"
#include "Sha256.h"
#include "Submission.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <map>

namespace Server {

namespace {

constexpr std::int64_t kPageEntries = 20; // each board's rows on the page
constexpr std::int64_t kMaxLimit = 100;

void Answer(httplib::Response& res, int status, const std::string& json) {
    res.status = status;
    res.set_content(json + "\n", "application/json");
}

// Every error answer: 4xx but 408 and 429 are final, the rest worth a retry.
void Error(httplib::Response& res, int status, std::string_view code, std::string_view reason) {
    Answer(res, status,
           "{\"error\": " + Json::Quote(code) + ", \"reason\": " + Json::Quote(reason) + "}");
}

std::optional<std::string_view> Param(const httplib::Request& req, const char* key) {
    const auto it = req.params.find(key);
    if (it == req.params.end()) {
        return std::nullopt;
    }
    return std::string_view(it->second);
}

std::optional<std::int64_t> Whole(std::string_view text) {
    std::int64_t n = 0;
    const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || err != std::errc() || end != text.data() + text.size() || n < 0) {
        return std::nullopt;
    }
    return n;
}

// The body's type, without its parameters, in lower case.
std::string MediaType(const httplib::Request& req) {
    std::string type = req.get_header_value("Content-Type");
    type = type.substr(0, type.find(';'));
    while (!type.empty() && type.back() == ' ') {
        type.pop_back();
    }
    for (char& c : type) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return type;
}

std::string RunJson(const Run& run, std::int64_t place) {
    std::string j =
        "{\"run\": " + std::to_string(run.id) + ", \"status\": " + Json::Quote(run.status) +
        ", \"name\": " + Json::Quote(run.name) + ", \"claimed\": " + std::to_string(run.claimed) +
        ", \"submitted\": " + Json::Quote(Page::Date(run.submitted));
    if (run.askedGame > 0) {
        j += ", \"asked_game\": " + std::to_string(run.askedGame);
    }
    if (run.status != "pending") {
        const Outcome& o = run.outcome;
        if (o.game > 0) {
            j += ", \"game\": " + std::to_string(o.game) +
                 ", \"rules\": " + std::to_string(o.rules) +
                 ", \"board\": " + Json::Quote(o.difficulty + "-" + o.speed) +
                 ", \"score\": " + std::to_string(o.score) +
                 ", \"won\": " + (o.won ? "true" : "false") +
                 ", \"ticks\": " + std::to_string(o.ticks);
        }
        j += ", \"verified\": " + Json::Quote(Page::Date(run.verified));
    }
    if (run.status == "accepted") {
        j += ", \"place\": " + (place > 0 ? std::to_string(place) : std::string("null"));
        j += ", \"input\": " + Json::Quote(run.outcome.input) +
             ", \"state\": " + Json::Quote(run.outcome.state);
    }
    if (run.status == "refused") {
        j += ", \"code\": " + Json::Quote(run.outcome.code) +
             ", \"reason\": " + Json::Quote(run.outcome.reason);
    }
    if (run.hidden) {
        j += ", \"hidden\": " + Json::Quote(run.hiddenReason);
    }
    return j + "}";
}

std::int64_t RulesAsked(const httplib::Request& req, Storage& storage) {
    if (const auto r = Param(req, "rules")) {
        if (const auto n = Whole(*r)) {
            return *n;
        }
        return -1;
    }
    return storage.LatestRules();
}

// What both ways of submitting share, up to the run stored: the length
// and type first, then the address's allowance, then the claim and the
// recording. Each refusal is answered on `res` as it is found.
class Intake {
  public:
    Intake(const ApiSetup& setup, const httplib::Request& req, httplib::Response& res)
        : setup_(setup), req_(req), res_(res),
          address_(ClientAddress(req.remote_addr, req.get_header_value("X-Forwarded-For"),
                                 setup.options.trustedProxies)) {}

    // Whether the body may be read.
    bool Admitted(std::initializer_list<std::string_view> types, std::size_t limit) {
        // A body without a length could be endless: the server wants to know first
        if (!req_.has_header("Content-Length")) {
            return Refuse(411, "length-required", "send the recording with a Content-Length");
        }
        const auto length = Whole(req_.get_header_value("Content-Length"));
        if (!length) {
            return Refuse(400, "length", "the Content-Length is not a number");
        }
        if (*length > static_cast<std::int64_t>(limit)) {
            return Refuse(413, "too-large", "a recording holds at most 4 MiB");
        }
        length_ = static_cast<std::size_t>(*length);
        const std::string type = MediaType(req_);
        if (std::find(types.begin(), types.end(), type) == types.end()) {
            return Refuse(415, "type",
                          "send the recording as text/plain or application/octet-stream");
        }
        if (const long wait = setup_.rate.Take(address_); wait > 0) {
            res_.set_header("Retry-After", std::to_string(wait));
            return Refuse(429, "rate", "too many submissions from your address; wait a little");
        }
        return true;
    }

    std::size_t Length() const { return length_; }

    void Store(std::optional<std::string_view> name, std::optional<std::string_view> game,
               std::optional<std::string_view> score, std::string body) {
        Claim claim;
        if (const auto bad = ReadClaim(name, game, score, claim)) {
            Refuse(bad->status, bad->code, bad->reason);
            return;
        }
        if (const auto bad = CheckRecording(body)) {
            Refuse(bad->status, bad->code, bad->reason);
            return;
        }
        Storage& storage = setup_.storage;
        if (storage.Pending(address_) >= setup_.options.maxPending) {
            res_.set_header("Retry-After", "60");
            Refuse(429, "pending",
                   "your address has as many runs waiting as it may; wait for their results");
            return;
        }
        NewRun run{claim.name, claim.game, claim.score, address_, std::move(body), {}};
        run.recordingSha = Sha256Hex(run.recording);
        const auto stored = storage.Submit(run);
        run_ = stored.run;
        if (stored.created) {
            setup_.jobAdded();
            res_.set_header("Location", "/api/v1/runs/" + std::to_string(stored.run));
            Answer(res_, 202,
                   "{\"run\": " + std::to_string(stored.run) + ", \"status\": \"pending\"}");
            return;
        }
        const auto old = storage.Find(stored.run);
        Answer(res_, 200, RunJson(*old, storage.Place(stored.run)));
    }

    // The run stored or found, once Store got so far.
    std::optional<std::int64_t> Run() const { return run_; }

  private:
    bool Refuse(int status, std::string_view code, std::string_view reason) {
        // The body may be unread: the connection goes with the answer
        res_.set_header("Connection", "close");
        Error(res_, status, code, reason);
        return false;
    }

    const ApiSetup& setup_;
    const httplib::Request& req_;
    httplib::Response& res_;
    const std::string address_;
    std::size_t length_ = 0;
    std::optional<std::int64_t> run_;
};

// The form's answer when it was refused: the reason, on a page.
void SubmitPage(httplib::Response& res) {
    const auto reason = Json::Parse(res.body);
    const std::string why = reason && reason->Find("reason")
                                ? reason->Find("reason")->String().value_or("")
                                : std::string("refused");
    res.set_content("<!DOCTYPE html><html lang=\"en\"><title>Refused</title><p>The server "
                    "refused the run: " +
                        Page::Escape(why) + "</p><p><a href=\"/\">Back to the boards</a></p>\n",
                    "text/html; charset=utf-8");
}

} // namespace

void InstallRoutes(httplib::Server& http, const ApiSetup& setup) {
    Storage& storage = setup.storage;

    http.Post("/api/v1/runs", [setup](const httplib::Request& req, httplib::Response& res,
                                      const httplib::ContentReader& read) {
        Intake in(setup, req, res);
        if (!in.Admitted({"text/plain", "application/octet-stream"}, kMaxRecordingBytes)) {
            return;
        }
        std::string body;
        const bool whole = read([&body](const char* data, std::size_t size) {
            if (body.size() + size > kMaxRecordingBytes) {
                return false;
            }
            body.append(data, size);
            return true;
        });
        if (!whole || body.size() != in.Length()) {
            res.set_header("Connection", "close");
            return Error(res, 400, "body", "the body did not arrive whole");
        }
        in.Store(Param(req, "name"), Param(req, "game"), Param(req, "score"), std::move(body));
    });

    // The page's form without JavaScript: the same intake, the answer a page
    http.Post("/submit", [setup](const httplib::Request& req, httplib::Response& res,
                                 const httplib::ContentReader& read) {
        Intake in(setup, req, res);
        if (!in.Admitted({"multipart/form-data"}, kMaxRequestBytes)) {
            return SubmitPage(res);
        }
        std::map<std::string, std::string> fields;
        std::string* into = nullptr;
        std::size_t total = 0;
        const bool whole = read(
            [&](const httplib::MultipartFormData& part) {
                into = &fields[part.name];
                return true;
            },
            [&](const char* data, std::size_t size) {
                total += size;
                if (into == nullptr || total > kMaxRecordingBytes) {
                    return false;
                }
                into->append(data, size);
                return true;
            });
        if (!whole) {
            res.set_header("Connection", "close");
            Error(res, 400, "body", "the form did not arrive whole");
            return SubmitPage(res);
        }
        const auto field = [&fields](const char* key) -> std::optional<std::string_view> {
            const auto it = fields.find(key);
            if (it == fields.end() || (it->second.empty() && std::string_view(key) == "game")) {
                return std::nullopt;
            }
            return std::string_view(it->second);
        };
        const std::string recording = fields["recording"];
        in.Store(field("player"), field("game"), field("score"), recording);
        if (const auto run = in.Run()) {
            res.status = 303;
            res.headers.erase("Location"); // the API's, for the run's JSON
            res.set_header("Location", "/runs/" + std::to_string(*run));
            res.set_content("<!DOCTYPE html><title>Sent</title><p><a href=\"/runs/" +
                                std::to_string(*run) + "\">Your run</a></p>\n",
                            "text/html; charset=utf-8");
            return;
        }
        SubmitPage(res);
    });

    http.Get(R"(/api/v1/runs/(\d{1,15}))",
             [&storage](const httplib::Request& req, httplib::Response& res) {
                 const auto id = Whole(req.matches[1].str());
                 const auto run = id ? storage.Find(*id) : std::nullopt;
                 if (!run) {
                     return Error(res, 404, "no-run", "there is no such run");
                 }
                 Answer(res, 200, RunJson(*run, storage.Place(run->id)));
             });

    http.Get(R"(/api/v1/runs/(\d{1,15})/recording)",
             [&storage](const httplib::Request& req, httplib::Response& res) {
                 const auto id = Whole(req.matches[1].str());
                 auto recording = id ? storage.Recording(*id) : std::nullopt;
                 if (!recording) {
                     return Error(res, 404, "no-run", "there is no such run");
                 }
                 res.set_header("X-Content-Type-Options", "nosniff");
                 res.set_content(std::move(*recording), "text/plain; charset=utf-8");
             });

    http.Get(R"(/api/v1/boards/([a-z]+-[a-z]+))", [&storage](const httplib::Request& req,
                                                             httplib::Response& res) {
        const auto board = Boards::FromName(req.matches[1].str());
        if (!board) {
            return Error(res, 404, "no-board",
                         "boards are named difficulty-speed, e.g. normal-fast");
        }
        const auto number = [&](const char* key,
                                std::int64_t otherwise) -> std::optional<std::int64_t> {
            const auto p = Param(req, key);
            return p ? Whole(*p) : otherwise;
        };
        const auto offset = number("offset", 0), limit = number("limit", kPageEntries);
        const std::int64_t rules = RulesAsked(req, storage);
        if (!offset || !limit || *limit < 1 || *limit > kMaxLimit || rules < 0) {
            return Error(res, 400, "query",
                         "offset and rules are whole numbers, limit one from 1 to 100");
        }
        std::string j = "{\"board\": " + Json::Quote(board->Name()) +
                        ", \"rules\": " + std::to_string(rules) + ", \"entries\": [";
        bool first = true;
        for (const auto& e :
             storage.Board(rules, board->difficulty, board->speed, *offset, *limit)) {
            j += std::string(first ? "" : ", ") + "{\"place\": " + std::to_string(e.place) +
                 ", \"name\": " + Json::Quote(e.name) + ", \"score\": " + std::to_string(e.score) +
                 ", \"won\": " + (e.won ? "true" : "false") +
                 ", \"date\": " + Json::Quote(Page::Date(e.date)) +
                 ", \"run\": " + std::to_string(e.run) + "}";
            first = false;
        }
        Answer(res, 200, j + "]}");
    });

    const bool play = !setup.playFolder.empty();
    http.Get("/", [&storage, play](const httplib::Request& req, httplib::Response& res) {
        const std::int64_t rules = RulesAsked(req, storage);
        if (rules < 0) {
            return Error(res, 400, "query", "rules is a whole number");
        }
        std::vector<Page::Shown> shown;
        for (const auto& b : Boards::All()) {
            shown.push_back({b, storage.Board(rules, b.difficulty, b.speed, 0, kPageEntries)});
        }
        res.set_header("Content-Security-Policy", Page::kPolicy);
        res.set_content(Page::Index(rules, shown, play), "text/html; charset=utf-8");
    });

    http.Get(R"(/runs/(\d{1,15}))", [&storage](const httplib::Request& req,
                                               httplib::Response& res) {
        const auto id = Whole(req.matches[1].str());
        const auto run = id ? storage.Find(*id) : std::nullopt;
        if (!run) {
            res.status = 404;
            res.set_content("<!DOCTYPE html><title>No such run</title><p>There is no such run. <a "
                            "href=\"/\">The boards</a></p>\n",
                            "text/html; charset=utf-8");
            return;
        }
        res.set_header("Content-Security-Policy", Page::kPolicy);
        res.set_content(Page::RunPage(*run, storage.Place(run->id)), "text/html; charset=utf-8");
    });

    if (play) {
        http.set_mount_point("/play", setup.playFolder);
        http.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
    } else {
        http.Get(R"(/play(/.*)?)", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("The browser build is not here: build it with `make web` and start "
                            "the server with --play build-web.\n",
                            "text/plain; charset=utf-8");
        });
    }

    http.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) {
            return;
        }
        const bool api = req.path.starts_with("/api/");
        if (res.status == 404) {
            return Error(res, 404, "not-found", api ? "no such API call" : "no such page");
        }
        if (res.status == 413) {
            return Error(res, 413, "too-large", "a recording holds at most 4 MiB");
        }
        if (res.status == 400) {
            return Error(res, 400, "bad-request", "the request could not be read");
        }
    });
    http.set_exception_handler(
        [](const httplib::Request& req, httplib::Response& res, std::exception_ptr failure) {
            std::string what = "unknown";
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            std::cerr << req.method << " " << req.path << ": " << what << "\n";
            // The database busy or gone: the client may try again
            res.set_header("Retry-After", "5");
            Error(res, 503, "unavailable", "the server could not answer now; try again shortly");
        });
}

} // namespace Server
