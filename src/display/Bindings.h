// Which physical keys play the game's actions. The game itself only ever
// sees its own codes (space fires, Shift breathes the beam...): the window
// turns a bound key into the action's code during play only, so menus keep
// their letters and arrows, and scripts and recordings, which hold the
// game's codes, replay the same whatever the bindings.
#pragma once

#include "display/KeyCodes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace Display::Bindings {

struct Action {
    std::string_view name;  // in settings.ini: key-<name>
    std::string_view shown; // on the Controls screen
    std::uint8_t code;      // the game's own code, and the action's default key
};
constexpr std::array<Action, 8> kActions{{
    {"left", "Move left", KeyCode::kLeft},
    {"up", "Move up", KeyCode::kUp},
    {"right", "Move right", KeyCode::kRight},
    {"down", "Move down", KeyCode::kDown},
    {"fire", "Fire", KeyCode::kSpace},
    {"beam", "Beam of fire", KeyCode::kShift},
    {"barrier", "Force barrier", KeyCode::kCtrl},
    {"pause", "Pause", KeyCode::kP},
}};

// The key bound to each action of kActions, by index.
using Table = std::array<std::uint8_t, kActions.size()>;
Table Defaults();

// Escape, Return, M and the cheat keys keep their meaning in play and can't
// be bound (F11, Alt+Enter and F10 never reach the game at all).
bool Reserved(std::uint8_t key);
// A key the game can hear and a binding may take.
bool Bindable(std::uint8_t key);

// Binds `key` to action `action`; an action that had the key gets the key
// `action` had. False, changing nothing, for a key that can't be bound.
bool Bind(Table& table, std::size_t action, std::uint8_t key);

// What the game hears in play for a physical key: the code of the action it
// is bound to; nothing for an action's default key bound elsewhere; any
// other key as it is.
std::optional<std::uint8_t> InPlay(const Table& table, std::uint8_t key);

// Key names for the file and the screen: "Z", "Space", "Left", "Keypad5".
std::string KeyName(std::uint8_t key);
std::optional<std::uint8_t> KeyByName(std::string_view name);

// The table in force and whether the game is in play. The window maps keys
// with them, the game sets them.
void Use(const Table& table);
Table InUse();
void SetPlaying(bool playing);
// Both, for a side game to keep its own apart; Exchange swaps them with the
// ones in force.
struct InForce {
    Table table = Defaults();
    bool playing = false;
};
void Exchange(InForce& other);
// The code the game hears for a physical key now, or nothing.
std::optional<std::uint8_t> Heard(std::uint8_t key);

// A key goes up as what it went down as, even when play began or ended in
// between; `Key` is how the host tells its keys apart.
template <typename Key> class Hearing {
  public:
    std::optional<std::uint8_t> Down(Key key, std::uint8_t code) {
        const auto was = as_.find(key);
        const auto heard = was != as_.end() ? std::optional(was->second) : Heard(code);
        if (heard) {
            as_[key] = *heard;
        }
        return heard;
    }
    std::uint8_t Up(Key key, std::uint8_t code) {
        const auto was = as_.find(key);
        if (was == as_.end()) {
            return code;
        }
        const std::uint8_t heard = was->second;
        as_.erase(was);
        return heard;
    }
    void Clear() { as_.clear(); }

  private:
    std::map<Key, std::uint8_t> as_;
};

} // namespace Display::Bindings
