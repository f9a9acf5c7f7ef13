#include "host/ReplayGame.h"

#include "display/Run.h"
#include "game/Rules.h"
#include "game/RunSettings.h"
#include "game/core/World.h"
#include "game/settings/SettingsFile.h"
#include "host/GameCourse.h"
#include "platform/SafeFile.h"
#include "util/Quote.h"

#include <algorithm>
#include <vector>

namespace Program {

namespace {

using Display::Run::InputEvent;

// Parse errors name this as their file: "line:7: what" reads as the line.
constexpr std::string_view kParsed = "line";

// A reason the list shows in one row: short, and nothing a terminal acts on.
constexpr std::size_t kReasonShown = 80;

std::string Broken(const std::string& error) {
    const std::string prefix = std::string(kParsed) + ":";
    const std::string what = error.starts_with(prefix)
                                 ? "broken at line " + error.substr(prefix.size())
                                 : "broken: " + error;
    return Text::Printable(what, kReasonShown);
}

std::string OptionValue(const InputEvent& option, std::string_view name) {
    const std::string_view line = option.option;
    if (line.size() > name.size() && line.substr(0, name.size()) == name &&
        line[name.size()] == ' ') {
        return std::string(line.substr(name.size() + 1));
    }
    return "";
}

} // namespace

std::string RulesRefusal(std::uint32_t rules) {
    if (rules == Morvek::kRulesVersion) {
        return "";
    }
    if (rules == 0) {
        return "names no rules version";
    }
    return "played by rules version " + std::to_string(rules) + ", this game plays version " +
           std::to_string(Morvek::kRulesVersion);
}

bool ReadStart(std::string_view head, ReplayStart& start, std::string& why) {
    // A line cut short by the end of the head is left for the whole read.
    const auto end = head.rfind('\n');
    std::vector<InputEvent> events;
    std::string error;
    if (!Display::Run::ParseRecording(
            std::string(head.substr(0, end == std::string_view::npos ? 0 : end + 1)),
            std::string(kParsed), events, error)) {
        why = Broken(error);
        return false;
    }
    std::vector<InputEvent> options;
    for (const InputEvent& e : events) {
        if (e.kind != InputEvent::Option) {
            break;
        }
        options.push_back(e);
        for (auto [name, value] :
             {std::pair{"difficulty", &start.difficulty}, std::pair{"speed", &start.speed}}) {
            if (const std::string v = OptionValue(e, name); !v.empty()) {
                *value = Text::Printable(v, Text::kShown);
            }
        }
    }
    start.rules = Settings::RulesOf(options);
    return true;
}

bool ReplayGame::Load(const std::filesystem::path& file, std::string& why) {
    std::string text, error;
    switch (SafeFile::ReadRegular(file.string(), static_cast<std::size_t>(kMaxBytes) + 1, text,
                                  error)) {
    case SafeFile::ReadResult::Ok:
        break;
    case SafeFile::ReadResult::Missing:
        why = "gone from the folder";
        return false;
    case SafeFile::ReadResult::NotRegular:
        why = "not a regular file";
        return false;
    case SafeFile::ReadResult::Failed:
        why = Text::Printable("can't be read: " + error, kReasonShown);
        return false;
    }
    bytes_ = text.size();
    if (text.size() > kMaxBytes) {
        why = "longer than " + std::to_string(kMaxBytes / (1024 * 1024)) + " MB";
        return false;
    }
    std::vector<InputEvent> events;
    if (!Display::Run::ParseRecording(text, std::string(kParsed), events, error)) {
        why = Broken(error);
        return false;
    }
    text = std::string();
    // A viewer writes nothing.
    std::erase_if(events, [](const InputEvent& e) {
        return e.kind == InputEvent::Shot || e.kind == InputEvent::State;
    });
    if (events.empty()) {
        why = "empty: the session recorded nothing";
        return false;
    }
    lastMs_ = events.back().ms;
    return game_.Within([&] {
        Display::Run::SetScript(std::move(events));
        const std::vector<InputEvent> options = Display::Run::ScriptOptions();
        why = RulesRefusal(Settings::RulesOf(options));
        if (!why.empty()) {
            return false;
        }
        if (!Settings::StartFromScript(options, kParsed, error)) {
            why = Broken(error);
            return false;
        }
        Display::Run::SetHeadless(true);
        return true;
    });
}

bool ReplayGame::Turn() {
    return game_.Turn([this](const Morvek::Wait&) { Seen(); });
}

void ReplayGame::Seen() {
    const Morvek::World& w = Morvek::world;
    settled_ = !Display::Run::ScriptPlaying() && CourseOf(w) == Course::Gone;
    if (w.gamesBegun == 0) {
        return;
    }
    if (difficulty_.empty()) {
        Settings::Values choice;
        choice.difficulty = w.difficulty;
        choice.speed = w.tickMs;
        difficulty_ = Settings::ChoiceName(choice, "difficulty");
        speed_ = Settings::ChoiceName(choice, "speed");
    }
    best_ = std::max(best_.value_or(0), w.score);
}

} // namespace Program
