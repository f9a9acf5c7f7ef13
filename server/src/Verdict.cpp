#include "Verdict.h"

#include "Boards.h"
#include "Json.h"
#include "host/Verify.h"

#include <algorithm>
#include <array>

namespace Server {

namespace {

// The verifier's exit statuses, by the contract between it and us.
struct Refused {
    int exit;
    const char* code;
    const char* reason;
};
namespace Exit = Program::Verify;
constexpr std::array<Refused, 6> kExits{{
    {Exit::kBadCommandLine, "server", "the verifier refused its command line"},
    {Exit::kMalformed, "malformed", "the recording is malformed"},
    {Exit::kOverLimit, "limit", "the recording is over a limit of the verifier"},
    {Exit::kNoGameEnded, "not-ended", "no game of the recording ended"},
    {Exit::kOtherRules, "rules", "the recording is of another rules version"},
    {Exit::kNoPictures, "server", "the verifier lacks the game's pictures"},
}};

bool IsHex64(const std::string& s) {
    return s.size() == 64 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

Outcome Refuse(std::string code, std::string reason) {
    Outcome o;
    o.code = std::move(code);
    o.reason = std::move(reason);
    return o;
}

Outcome Trouble(std::string reason) {
    Outcome o = Refuse("server", std::move(reason));
    o.retry = true;
    return o;
}

} // namespace

Outcome Judge(const VerifierExit& exit, std::int64_t game, std::int64_t claimed) {
    using How = VerifierExit::How;
    switch (exit.how) {
    case How::NotStarted:
        return Trouble("the verifier could not be started: " + exit.err);
    case How::Stopped:
        return Trouble("the server stopped during the replay");
    case How::TimedOut:
        return Refuse("limit", "the replay took longer than the server allows");
    case How::TooMuchOutput:
        return Refuse("limit", "the verifier's answer was over its size");
    case How::Signalled:
        // Killed by its CPU or memory limit, or crashed: the recording is what did it
        return Refuse("limit", "the replay was stopped by signal " + std::to_string(exit.code));
    case How::Exited:
        break;
    }
    if (exit.code != 0) {
        for (const auto& r : kExits) {
            if (r.exit == exit.code) {
                if (std::string_view(r.code) == "server") {
                    return Trouble(std::string(r.reason) + ": " + exit.err);
                }
                return Refuse(r.code, exit.err.empty() ? r.reason : exit.err);
            }
        }
        return Refuse("verifier", "the verifier failed with status " + std::to_string(exit.code) +
                                      (exit.err.empty() ? "" : ": " + exit.err));
    }
    const auto answer = Json::Parse(exit.out);
    const Json::Value* list = answer ? answer->Find("games") : nullptr;
    const Json::Array* games = list != nullptr ? list->AsArray() : nullptr;
    const auto rules =
        answer && answer->Find("rules") ? answer->Find("rules")->Integer() : std::nullopt;
    if (games == nullptr || !rules) {
        return Trouble("the verifier's answer is not what it promises");
    }
    const Json::Value* chosen = nullptr;
    std::int64_t chosenNumber = 0;
    for (const auto& g : *games) {
        const auto n = g.Find("game") ? g.Find("game")->Integer() : std::nullopt;
        const auto ended = g.Find("ended") ? g.Find("ended")->Bool() : std::nullopt;
        if (!n || !ended) {
            return Trouble("the verifier's answer is not what it promises");
        }
        const std::int64_t number = n.value_or(0);
        if (game == 0 ? ended.value_or(false) && number > chosenNumber : number == game) {
            chosen = &g;
            chosenNumber = number;
        }
    }
    if (chosen == nullptr) {
        return game == 0 ? Refuse("not-ended", "no game of the recording ended")
                         : Refuse("game", "the session has no game " + std::to_string(game));
    }
    const auto field = [&](const char* key) { return chosen->Find(key); };
    const auto str = [&](const char* key) {
        return field(key) ? field(key)->String().value_or("") : std::string();
    };
    const auto flag = [&](const char* key) {
        return field(key) ? field(key)->Bool() : std::nullopt;
    };
    const auto num = [&](const char* key) {
        return field(key) ? field(key)->Integer() : std::nullopt;
    };
    Outcome o;
    o.game = chosenNumber;
    o.rules = *rules;
    o.difficulty = str("difficulty");
    o.speed = str("speed");
    o.input = str("input");
    o.state = str("state");
    const auto score = num("score"), ticks = num("ticks");
    const auto won = flag("won"), cheat = flag("cheat"), practice = flag("practice"),
               ended = flag("ended");
    if (!score || !ticks || !won || !cheat || !practice || !ended || !IsHex64(o.input) ||
        !IsHex64(o.state) || !Boards::Known(o.difficulty, o.speed)) {
        return Trouble("the verifier's answer is not what it promises");
    }
    o.score = *score;
    o.won = *won;
    o.ticks = *ticks;
    const auto refuse = [&o](std::string code, std::string reason) {
        o.code = std::move(code);
        o.reason = std::move(reason);
        return o;
    };
    if (!*ended) {
        return refuse("not-ended", "game " + std::to_string(o.game) + " never ended");
    }
    if (*cheat) {
        return refuse("cheat", "a cheat key was down in game " + std::to_string(o.game));
    }
    if (*practice) {
        return refuse("practice", "game " + std::to_string(o.game) + " was a practice start");
    }
    if (o.score != claimed) {
        return refuse("desync", "the replay scored " + std::to_string(o.score) +
                                    ", the game showed " + std::to_string(claimed));
    }
    o.accepted = true;
    return o;
}

} // namespace Server
