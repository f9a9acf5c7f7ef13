#include "Options.h"

#include <charconv>
#include <functional>

namespace Server {

const char* const kUsage = R"(usage: morvek-server [OPTION]...
       morvek-server hide RUN-ID --reason TEXT [--database DB]
       morvek-server unhide RUN-ID [--database DB]

Serves the leaderboard: runs are submitted as recordings, replayed by the
game's verifier, and ranked only at the exact score the replay reaches.

  --address ADDR        listen on ADDR (default 127.0.0.1)
  --port N              listen on port N (default 8080; 0 picks a free one)
  --database DB         a SQLite file (default ./leaderboard.db) or
                        postgresql://USER@HOST/NAME
  --verifier PATH       the game run as PATH --verify FILE (default: the
                        morvek beside this program)
  --media DIR           the game's pictures, when the verifier can't find its own
  --play DIR            the browser build served under /play/ (default: the
                        build-web folder of the source tree)
  --workers N           verifications at once (default: one per core)
  --threads N           HTTP threads (default 16)
  --trusted-proxy ADDR  believe X-Forwarded-For from ADDR (repeatable)
  --rate N              submissions a minute per address (default 10)
  --burst N             submissions at once per address (default 10)
  --max-pending N       runs waiting per address (default 20)
  --read-timeout S, --write-timeout S   per request (default 10)
  --verify-cpu S        CPU seconds per verification (default 120)
  --verify-wall S       wall-clock seconds per verification (default 180)
  --verify-memory MB    address space per verification, 0 for none (default 1024;
                        none in a sanitizer build)
  --lease S             a claimed job left this long is taken over (default 600)
)";

namespace {

template <class T> bool Number(const std::string& text, T& out, T least) {
    T n{};
    const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (err != std::errc() || end != text.data() + text.size() || n < least) {
        return false;
    }
    out = n;
    return true;
}

bool Seconds(const std::string& text, std::chrono::seconds& out) {
    long n = 0;
    if (!Number(text, n, 1L)) {
        return false;
    }
    out = std::chrono::seconds(n);
    return true;
}

} // namespace

std::optional<Options> ReadOptions(const std::vector<std::string>& args, std::string& error,
                                   bool& help) {
    Options o;
    help = false;
    std::size_t i = 0;
    if (!args.empty() && (args[0] == "hide" || args[0] == "unhide")) {
        o.command = args[0];
        if (args.size() < 2 || !Number(args[1], o.run, std::int64_t{1})) {
            error = o.command + " needs the run's id";
            return std::nullopt;
        }
        i = 2;
    }
    using Setter = std::function<bool(const std::string&)>;
    const auto text = [](std::string& into) {
        return Setter([&into](const std::string& v) {
            into = v;
            return !v.empty();
        });
    };
    const auto seconds = [](std::chrono::seconds& into) {
        return Setter([&into](const std::string& v) { return Seconds(v, into); });
    };
    const std::vector<std::pair<std::string, Setter>> takes{
        {"--address", text(o.address)},
        {"--port", [&](const std::string& v) { return Number(v, o.port, 0) && o.port <= 65535; }},
        {"--database", text(o.database)},
        {"--verifier", text(o.verifier)},
        {"--media", text(o.media)},
        {"--play", text(o.play)},
        {"--workers", [&](const std::string& v) { return Number(v, o.workers, 1u); }},
        {"--threads", [&](const std::string& v) { return Number(v, o.threads, 1u); }},
        {"--trusted-proxy",
         [&](const std::string& v) {
             o.trustedProxies.push_back(v);
             return !v.empty();
         }},
        {"--rate",
         [&](const std::string& v) {
             long n = 0;
             return Number(v, n, 0L) && (o.ratePerMinute = static_cast<double>(n), true);
         }},
        {"--burst",
         [&](const std::string& v) {
             long n = 0;
             return Number(v, n, 1L) && (o.burst = static_cast<double>(n), true);
         }},
        {"--max-pending",
         [&](const std::string& v) { return Number(v, o.maxPending, std::int64_t{1}); }},
        {"--read-timeout", seconds(o.readTimeout)},
        {"--write-timeout", seconds(o.writeTimeout)},
        {"--verify-cpu", seconds(o.verifyCpu)},
        {"--verify-wall", seconds(o.verifyWall)},
        {"--verify-memory",
         [&](const std::string& v) { return Number(v, o.verifyMemoryMb, std::size_t{0}); }},
        {"--lease", seconds(o.lease)},
        {"--reason", text(o.reason)},
    };
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            help = true;
            return std::nullopt;
        }
        const auto it =
            std::find_if(takes.begin(), takes.end(), [&](const auto& t) { return t.first == a; });
        if (it == takes.end()) {
            error = "unknown option " + a;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || !it->second(args[i + 1])) {
            error = a + " needs a valid value";
            return std::nullopt;
        }
        ++i;
    }
    if (o.command == "hide" && o.reason.empty()) {
        error = "hide needs --reason TEXT";
        return std::nullopt;
    }
    if (o.lease <= o.verifyWall) {
        // a claim must outlive the longest verification, or two workers run one job
        error = "--lease must be longer than --verify-wall";
        return std::nullopt;
    }
    return o;
}

} // namespace Server
