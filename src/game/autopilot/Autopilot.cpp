#include "game/autopilot/Autopilot.h"
#include "display/KeyCodes.h"

#include "display/Run.h"
#include "game/autopilot/Policy.h"
#include "game/core/EnemyKinds.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "platform/System.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <string_view>

namespace Autopilot {

namespace {

using Display::Run::InputEvent;
using namespace Morvek;

namespace KeyCode = Display::KeyCode;
// Keypad 1, 2 and 3: specials, lives and weapon, the game's own cheats.
constexpr std::array<std::uint32_t, 3> kCheats{KeyCode::kKeypad1, KeyCode::kKeypad2,
                                               KeyCode::kKeypad3};
constexpr std::string_view kName = "ROBOTIC";
// An interlude stays up this long before Enter, so a watcher can read it.
constexpr std::uint64_t kReadMs = 1500;
// A game this long is stuck somewhere: give it up.
constexpr std::uint64_t kGiveUpTicks = 200000;

struct Pilot {
    Settings settings;
    Memory memory;
    Summary summary;
    std::array<bool, 256> held{};
    bool mouseDown = false;
    bool inGame = false;
    std::uint64_t lastClock = 0;
    std::uint64_t gameTicks = 0;
    std::uint64_t readingMs = 0;
    std::set<std::string> shotsTaken;
    std::chrono::steady_clock::time_point began;
};

std::unique_ptr<Pilot> pilot;

void Emit(InputEvent::Kind kind, std::uint32_t code = 0, std::int32_t x = 0, std::int32_t y = 0) {
    Display::Run::Apply(InputEvent{0, kind, code, x, y, {}});
}

void Hold(std::uint32_t key, bool down) {
    if (pilot->held[key] != down) {
        pilot->held[key] = down;
        Emit(down ? InputEvent::KeyDown : InputEvent::KeyUp, key);
    }
}

void ReleaseKeys() {
    for (std::uint32_t k = 0; k < pilot->held.size(); ++k) {
        Hold(k, false);
    }
}

// One step of a click per sync point: let go first, then move there and press.
void Click(const Layout::Rect& r) {
    if (pilot->mouseDown) {
        pilot->mouseDown = false;
        Emit(InputEvent::MouseUp);
        return;
    }
    Emit(InputEvent::MouseMove, 0, (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
    Emit(InputEvent::MouseDown);
    pilot->mouseDown = true;
}

void Shot(const std::string& name) {
    if (pilot->settings.shots.empty() || !pilot->shotsTaken.insert(name).second) {
        return;
    }
    InputEvent e{0, InputEvent::Shot, 0, 0, 0, pilot->settings.shots + "/" + name + ".bmp"};
    Display::Run::Apply(e);
}

} // namespace

void Report() {
    const Summary& s = pilot->summary;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pilot->began).count();
    std::printf("autopilot: %u game%s, levels reached %u, score %u, %s, %llu ticks, %.0f ticks/s\n",
                s.games, s.games == 1 ? "" : "s", s.levelReached, s.score,
                s.won ? "won" : "not won", static_cast<unsigned long long>(s.ticks),
                seconds > 0 ? static_cast<double>(s.ticks) / seconds : 0.0);
    std::fflush(stdout);
}

namespace {

void PrintMemory(const char* when) {
    std::printf("autopilot: resident memory at the %s (tick %llu): %.1f MB\n", when,
                static_cast<unsigned long long>(pilot->summary.ticks), System::ResidentMegabytes());
    std::fflush(stdout);
}

bool GamesLeft() {
    const Settings& s = pilot->settings;
    return s.games == 0 || pilot->summary.games < s.games;
}

void Menu() {
    ReleaseKeys();
    if (pilot->inGame) {
        pilot->inGame = false;
        ++pilot->summary.games;
        Shot("menu");
    }
    Click(GamesLeft() ? Layout::kMenuButtons[1].rect : Layout::kMenuButtons[5].rect);
}

// Whether the name entry on the stack saved and shows the table.
bool NameSaved() {
    for (std::size_t i = world.scenes.Size(); i-- > 0;) {
        if (const auto* entry = std::get_if<NameEntryScene>(&world.scenes.At(i))) {
            return entry->answered;
        }
    }
    return false;
}

void NameEntry() {
    ReleaseKeys();
    pilot->summary.won = true;
    Shot("name");
    if (NameSaved()) {
        Shot("saved");
        Click(Layout::kReturn);
        return;
    }
    const auto& name = world.scores[kResultPlace].name;
    const auto typed = static_cast<std::size_t>(
        std::count_if(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; }));
    if (typed < kName.size()) {
        Emit(InputEvent::KeyDown, static_cast<std::uint32_t>(kName[typed]));
        Emit(InputEvent::KeyUp, static_cast<std::uint32_t>(kName[typed]));
        return;
    }
    Click(Layout::kReturn);
}

void CountTick() {
    Summary& s = pilot->summary;
    ++s.ticks;
    ++pilot->gameTicks;
    const std::uint64_t limit = pilot->settings.tickLimit;
    if (limit == 0) {
        return;
    }
    if (s.ticks == 1) {
        PrintMemory("start");
    } else if (s.ticks == limit / 2) {
        PrintMemory("middle");
    } else if (s.ticks >= limit) {
        PrintMemory("end");
        Emit(InputEvent::Close);
    }
}

void Play(std::uint64_t elapsed) {
    if (!pilot->inGame) {
        pilot->inGame = true;
        pilot->gameTicks = 0;
        pilot->summary.won = false;
        pilot->memory.Forget();
    }
    if (pilot->mouseDown) {
        pilot->mouseDown = false;
        Emit(InputEvent::MouseUp);
    }
    Summary& s = pilot->summary;
    s.levelReached = std::max(s.levelReached, world.level);
    s.score = world.score;
    Shot("level" + std::to_string(world.level));
    if (std::any_of(world.enemies.begin() + 1, world.enemies.end(),
                    [](const Enemy& e) { return e.state && Kind(e.type).boss; })) {
        Shot("boss" + std::to_string(world.level));
    }

    if (world.mode == Mode::Interlude) {
        pilot->readingMs += elapsed;
    } else {
        pilot->readingMs = 0;
    }
    if (pilot->readingMs >= kReadMs) {
        Shot("story" + std::to_string(world.level));
        ReleaseKeys();
        Hold(KeyCode::kReturn, true);
        return;
    }
    Hold(KeyCode::kReturn, false);
    if (elapsed == world.tickMs) {
        CountTick();
    }

    const Controls c = Decide(pilot->memory);
    Hold(KeyCode::kLeft, c.left);
    Hold(KeyCode::kRight, c.right);
    Hold(KeyCode::kUp, c.up);
    Hold(KeyCode::kDown, c.down);
    Hold(KeyCode::kSpace, c.fire);
    Hold(KeyCode::kShift, c.beam);
    Hold(KeyCode::kCtrl, c.shield);
    for (const std::uint32_t k : kCheats) {
        Hold(k, pilot->settings.cheats);
    }
    Hold(KeyCode::kEscape, pilot->gameTicks > kGiveUpTicks);
}

} // namespace

void AtSync() {
    const std::uint64_t now = Display::Run::ClockMs();
    const std::uint64_t elapsed = now - pilot->lastClock;
    pilot->lastClock = now;
    if (!Display::Run::WindowOpen()) {
        return; // nothing to play
    }
    switch (world.mode) {
    case Mode::NameEntry:
        NameEntry();
        break;
    case Mode::GameOver:
        ReleaseKeys();
        Click(Layout::kReturn);
        break;
    case Mode::Menu:
        Menu();
        break;
    case Mode::Story:
    case Mode::Options:
    case Mode::Highscores:
    case Mode::Credits:
        Click(Layout::kReturn); // a screen of the menu: leave it
        break;
    case Mode::Interlude:
    case Mode::Wave:
    case Mode::BossFight:
    case Mode::Paused:
        Play(elapsed);
        break;
    }
}

void Start(const Settings& settings) {
    pilot = std::make_unique<Pilot>();
    pilot->settings = settings;
    pilot->lastClock = Display::Run::ClockMs();
    pilot->began = std::chrono::steady_clock::now();
}

Summary Result() {
    return pilot ? pilot->summary : Summary{};
}

} // namespace Autopilot
