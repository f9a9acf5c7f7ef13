#include "host/Verify.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Game.h"
#include "game/Rules.h"
#include "game/RunSettings.h"
#include "game/combat/Cheats.h"
#include "game/core/MediaPath.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "game/screens/ScorePlace.h"
#include "game/settings/SettingsFile.h"
#include "game/settings/SettingsStore.h"
#include "host/GameCourse.h"
#include "host/Loop.h"
#include "util/Quote.h"
#include "util/Sha256.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

namespace Program::Verify {

namespace {

namespace Run = Display::Run;
using Display::Run::InputEvent;
using Morvek::world;

// The session's games as the replay passes through them.
struct Watch {
    std::vector<GameResult> games;
    std::optional<Util::Sha256> input; // of the game being played
    std::uint64_t began = 0;           // its New Game's clock
    std::uint64_t ticks = 0;           // of play, over the session
    std::uint64_t maxTicks = kMaxTicks;
    bool overLimit = false;

    bool Playing() const { return input.has_value(); }

    void Begin() {
        Settings::Values choice;
        choice.difficulty = world.difficulty;
        choice.speed = world.tickMs;
        GameResult game;
        game.difficulty = Settings::ChoiceName(choice, "difficulty");
        game.speed = Settings::ChoiceName(choice, "speed");
        const Morvek::PracticeChoice& practice = Game::options.practice;
        game.practice = practice.level != 1 || practice.boss;
        games.push_back(game);
        input.emplace();
        began = Run::ClockMs();
    }

    void Finish(bool ended, bool won) {
        GameResult& game = games.back();
        game.ended = ended;
        game.won = won;
        game.score = world.score;
        game.state = Util::Sha256Hex(StateDump::StateJson());
        game.input = input->HexDigest();
        input.reset();
    }

    // After each step of the game, at the wait it asks for. The step that
    // begins a game may already play its first tick.
    void Waiting(const Morvek::Wait& wait) {
        if (world.gamesBegun > games.size()) {
            if (Playing()) {
                Finish(false, false); // never seen to end: two New Games in one step
            }
            Begin();
        }
        if (!Playing()) {
            return;
        }
        if (wait.kind == Morvek::Wait::Kind::Tick) {
            ++games.back().ticks;
            games.back().cheat = games.back().cheat || Morvek::CheatKeyDown();
            if (++ticks > maxTicks && !overLimit) {
                overLimit = true;
                Run::AskEnd(kOverLimit);
            }
        }
        if (const Course course = CourseOf(world); course != Course::Playing) {
            Finish(true, course == Course::Won);
        }
    }

    void Took(const InputEvent& event) {
        if (Playing()) {
            InputEvent timed = event;
            timed.ms -= began;
            input->Add(Run::FormatEvent(timed));
            input->Add("\n");
        }
    }
};

// The whole file, when it is a regular one within the size limit.
int ReadRecording(const std::string& file, std::uintmax_t maxBytes, std::string& text,
                  std::string& reason) {
    const std::string shown = Text::Quote(file, Text::kPathShown);
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        reason = shown + ": " + std::strerror(errno);
        return kBadCommandLine;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = shown + ": not a regular file";
        return kBadCommandLine;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        reason = "the recording has " + std::to_string(info.st_size) + " bytes, more than " +
                 std::to_string(maxBytes);
        return kOverLimit;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        reason = shown + ": " + std::strerror(errno);
        return kBadCommandLine;
    }
    // Read no further than the limit, should the file have grown since.
    text.assign(static_cast<std::size_t>(maxBytes) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > maxBytes) {
        reason = "the recording is longer than " + std::to_string(maxBytes) + " bytes";
        return kOverLimit;
    }
    return kVerified;
}

// The program greets the terminal with an empty line at its start: stdout is
// kept for the one line of the result, so the replay writes to nowhere.
class QuietStdout {
  public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
#ifdef _WIN32
        const int nowhere = ::open("NUL", O_WRONLY);
#else
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
#endif
        if (nowhere >= 0) {
            ::dup2(nowhere, STDOUT_FILENO);
            ::close(nowhere);
        }
    }
    ~QuietStdout() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            ::dup2(saved_, STDOUT_FILENO);
            ::close(saved_);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

  private:
    int saved_ = -1;
};

void Field(std::string& json, std::string_view name, std::string_view value, bool quoted) {
    json += '"';
    json += name;
    json += "\":";
    json += quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

} // namespace

std::string Json(std::string_view version, const std::vector<GameResult>& games) {
    std::string json = "{";
    Field(json, "version", version, true);
    json += ',';
    Field(json, "rules", std::to_string(Morvek::kRulesVersion), false);
    json += ",\"games\":[";
    for (std::size_t i = 0; i < games.size(); ++i) {
        const GameResult& g = games[i];
        const auto flag = [](bool on) { return on ? "true" : "false"; };
        json += i > 0 ? ",{" : "{";
        Field(json, "game", std::to_string(i + 1), false);
        json += ',';
        Field(json, "difficulty", g.difficulty, true);
        json += ',';
        Field(json, "speed", g.speed, true);
        json += ',';
        Field(json, "practice", flag(g.practice), false);
        json += ',';
        Field(json, "ended", flag(g.ended), false);
        json += ',';
        Field(json, "score", std::to_string(g.score), false);
        json += ',';
        Field(json, "won", flag(g.won), false);
        json += ',';
        Field(json, "ticks", std::to_string(g.ticks), false);
        json += ',';
        Field(json, "cheat", flag(g.cheat), false);
        json += ',';
        Field(json, "state", g.state, true);
        json += ',';
        Field(json, "input", g.input, true);
        json += '}';
    }
    return json + "]}";
}

int Run(const std::string& file, std::string_view version, std::string& out, std::string& reason,
        const Limits& limits) {
    if (std::string looked; !Morvek::MediaFolderFound(looked)) {
        reason = "no Media folder with the game's pictures, which decide what hits what (looked "
                 "in " +
                 looked + ")";
        return kNoPictures;
    }
    std::string text;
    if (const int status = ReadRecording(file, limits.bytes, text, reason); status != kVerified) {
        return status;
    }
    std::vector<InputEvent> events;
    std::string error;
    if (!Run::ParseRecording(text, "recording", events, error)) {
        reason = Text::Printable(error, 2 * Text::kPathShown);
        return kMalformed;
    }
    text = std::string();
    if (events.size() > limits.events) {
        reason = "the recording has " + std::to_string(events.size()) + " events, more than " +
                 std::to_string(limits.events);
        return kOverLimit;
    }
    std::erase_if(events, [](const InputEvent& e) {
        return e.kind == InputEvent::Shot || e.kind == InputEvent::State;
    });
    if (events.empty()) {
        reason = "the recording holds no events";
        return kMalformed;
    }
    Run::SetScript(std::move(events));
    const std::vector<InputEvent> options = Run::ScriptOptions();
    if (const std::uint32_t rules = Settings::RulesOf(options); rules != Morvek::kRulesVersion) {
        reason = rules == 0
                     ? "the recording names no rules version"
                     : "the recording was played by rules version " + std::to_string(rules) +
                           ", this game plays version " + std::to_string(Morvek::kRulesVersion);
        return kOtherRules;
    }
    // The defaults, then the recording's own options and table: nothing of
    // this machine's.
    Display::Host::Settings window;
    bool mute = true;
    Settings::StartRun("", window, mute);
    Morvek::ScoreFile::Table none{};
    Morvek::ScoreFile::Parse("", none);
    Morvek::ScorePlace::UseRecorded(none);
    if (!Settings::StartFromScript(options, "recording", error)) {
        reason = Text::Printable(error, 2 * Text::kPathShown);
        return kMalformed;
    }
    Run::SetHeadless(true);
    Run::SetKeepFrames(false);

    Watch watch;
    watch.maxTicks = limits.ticks;
    Run::SetInputObserver([&watch](const InputEvent& event) { watch.Took(event); });
    {
        const QuietStdout quiet;
        Program::Play([&watch](const Morvek::Wait& wait) { watch.Waiting(wait); });
    }
    Run::SetInputObserver(nullptr);
    if (watch.overLimit) {
        reason = "the games play more than " + std::to_string(limits.ticks) + " ticks";
        return kOverLimit;
    }
    if (watch.Playing()) {
        watch.Finish(false, false);
    }
    const bool ended = std::any_of(watch.games.begin(), watch.games.end(),
                                   [](const GameResult& g) { return g.ended; });
    if (!ended) {
        reason = watch.games.empty() ? "the recording begins no game"
                                     : "no game of the recording comes to its end";
        return kNoGameEnded;
    }
    out = Json(version, watch.games);
    return kVerified;
}

} // namespace Program::Verify
