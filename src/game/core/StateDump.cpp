#include "game/core/StateDump.h"

#include "display/Run.h"
#include "game/core/World.h"

#include <cstdio>
#include <string_view>

namespace StateDump {

namespace {

using namespace Morvek;

// The dump's "returnmenu": a game has been played and the menu or one of its
// screens is up again.
bool BackFromGame() {
    const Mode m = world.mode;
    return world.level != 0 && !InGame(m) && m != Mode::GameOver && m != Mode::NameEntry;
}

class Json {
  public:
    void Open(std::string_view name, char bracket) {
        Key(name);
        text_ += bracket;
        first_ = true;
    }
    void Close(char bracket) {
        text_ += bracket;
        first_ = false;
    }
    void Field(std::string_view name, std::int64_t v) { Raw(name, std::to_string(v)); }
    void Field(std::string_view name, std::uint32_t v) { Field(name, std::int64_t{v}); }
    void Field(std::string_view name, std::int32_t v) { Field(name, std::int64_t{v}); }
    void Field(std::string_view name, std::uint64_t v) { Raw(name, std::to_string(v)); }
    void Field(std::string_view name, bool v) { Raw(name, v ? "true" : "false"); }
    void Field(std::string_view name, float v) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v));
        Raw(name, buf);
    }
    void Field(std::string_view name, std::string_view v) {
        std::string quoted = "\"";
        for (const char c : v) {
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                quoted += buf;
            } else {
                quoted += c;
            }
        }
        Raw(name, quoted + "\"");
    }
    const std::string& Text() const { return text_; }

  private:
    // An empty name is an array element.
    void Key(std::string_view name) {
        if (!first_) {
            text_ += ',';
        }
        first_ = false;
        if (!name.empty()) {
            text_ += '"';
            text_ += name;
            text_ += "\":";
        }
    }
    void Raw(std::string_view name, const std::string& value) {
        Key(name);
        text_ += value;
    }

    std::string text_;
    bool first_ = true;
};

} // namespace

std::string StateJson() {
    Json j;
    j.Open("", '{');
    j.Field("clock_ms", Display::Run::ClockMs());
    j.Field("title", Display::Run::Title());
    j.Field("level", world.level);
    j.Field("counter", world.counter);
    j.Field("score", world.score);
    j.Field("actualdifficulty", world.actualDifficulty);
    j.Field("speed", world.tickMs);
    j.Field("difficulty_setting", Multiplier(world.difficulty));
    j.Field("returnmenu", BackFromGame());
    j.Field("growcounter", world.growCounter);
    j.Field("initbeam", world.beamRunning);
    j.Field("initshield", world.shieldRunning);
    j.Open("schip", '{');
    j.Field("x", world.dragon.x);
    j.Field("y", world.dragon.y);
    j.Field("health", world.dragon.health);
    j.Field("magic", world.dragon.magic);
    j.Field("lives", world.dragon.lives);
    j.Field("special", world.dragon.special);
    j.Field("upgrade", world.dragon.upgrade);
    j.Field("state", world.dragon.state);
    j.Field("shootstate", world.dragon.shotReady);
    j.Close('}');
    j.Open("enemies", '[');
    for (const std::uint32_t slot : Slots(world.enemies)) {
        const Enemy& e = world.enemies[slot];
        if (!e.state) {
            continue;
        }
        j.Open("", '{');
        j.Field("slot", slot);
        j.Field("type", e.type);
        j.Field("path", e.path);
        j.Field("x", e.x);
        j.Field("y", e.y);
        j.Field("health", e.health);
        j.Field("counter", e.counter);
        j.Close('}');
    }
    j.Close(']');
    j.Field("bullets", CountUsed(world.bullets));
    j.Field("explosions", CountUsed(world.explosions));
    std::uint32_t itemsInUse = 0;
    for (const std::uint32_t row : Slots(1, kItemKinds)) {
        itemsInUse += CountUsed(world.items[row]);
    }
    j.Field("items", itemsInUse);
    j.Close('}');
    return j.Text() + "\n";
}

bool WriteState(const std::string& file, std::string& why) {
    return Display::Run::WriteOutput(file, StateJson(), why);
}

} // namespace StateDump
