#include "display/Bindings.h"
#include "display/KeyCodes.h"

#include <algorithm>

namespace Display::Bindings {

namespace {

struct Named {
    std::uint8_t code;
    std::string_view name;
};
// Keys the window passes to the game whose name is not their character.
constexpr std::array kNames{
    Named{0x25, "Left"},     Named{0x26, "Up"},        Named{0x27, "Right"},
    Named{0x28, "Down"},     Named{0x20, "Space"},     Named{0x10, "Shift"},
    Named{0x11, "Ctrl"},     Named{0x08, "Backspace"}, Named{0x09, "Tab"},
    Named{0x2E, "Delete"},   Named{0x2D, "Insert"},    Named{0x24, "Home"},
    Named{0x23, "End"},      Named{0x21, "PageUp"},    Named{0x22, "PageDown"},
    Named{0x13, "PauseKey"}, Named{0x14, "CapsLock"},  Named{0x6A, "Keypad*"},
    Named{0x6B, "Keypad+"},  Named{0x6D, "Keypad-"},   Named{0x6E, "Keypad."},
    Named{0x6F, "Keypad/"},  Named{0xBA, ";"},         Named{0xBB, "="},
    Named{0xBC, ","},        Named{0xBD, "-"},         Named{0xBE, "."},
    Named{0xBF, "/"},        Named{0xC0, "`"},         Named{0xDB, "["},
    Named{0xDC, "\\"},       Named{0xDD, "]"},         Named{0xDE, "'"},
    Named{0x7B, "F12"},
};

Table inUse = Defaults();
bool playing = false;

} // namespace

Table Defaults() {
    Table t{};
    for (std::size_t i = 0; i < kActions.size(); ++i) {
        t[i] = kActions[i].code;
    }
    return t;
}

bool Reserved(std::uint8_t key) {
    constexpr std::array<std::uint8_t, 6> kKept{KeyCode::kEscape,  KeyCode::kReturn,
                                                KeyCode::kM,       KeyCode::kKeypad1,
                                                KeyCode::kKeypad2, KeyCode::kKeypad3};
    return std::find(kKept.begin(), kKept.end(), key) != kKept.end();
}

bool Bindable(std::uint8_t key) {
    return !Reserved(key) && KeyByName(KeyName(key)) == key;
}

bool Bind(Table& table, std::size_t action, std::uint8_t key) {
    if (action >= table.size() || !Bindable(key)) {
        return false;
    }
    const auto other = std::find(table.begin(), table.end(), key);
    if (other != table.end()) {
        *other = table[action];
    }
    table[action] = key;
    return true;
}

std::optional<std::uint8_t> InPlay(const Table& table, std::uint8_t key) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == key) {
            return kActions[i].code;
        }
    }
    const bool actionsOwn = std::any_of(kActions.begin(), kActions.end(),
                                        [key](const Action& a) { return a.code == key; });
    return actionsOwn ? std::nullopt : std::optional<std::uint8_t>(key);
}

std::string KeyName(std::uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= KeyCode::kKeypad0 && key <= KeyCode::kKeypad0 + 9) {
        return "Keypad" + std::to_string(key - KeyCode::kKeypad0);
    }
    if (key >= KeyCode::kF1 && key <= KeyCode::kF1 + 8) { // F10 and F11 are the window's
        return "F" + std::to_string(key - KeyCode::kF1 + 1);
    }
    const auto n =
        std::find_if(kNames.begin(), kNames.end(), [key](const Named& x) { return x.code == key; });
    return n != kNames.end() ? std::string(n->name) : "";
}

std::optional<std::uint8_t> KeyByName(std::string_view name) {
    for (int code = 1; code < 256; ++code) {
        const auto key = static_cast<std::uint8_t>(code);
        const std::string own = KeyName(key);
        if (!own.empty() && own == name) {
            return key;
        }
    }
    return std::nullopt;
}

void Use(const Table& table) {
    inUse = table;
}

Table InUse() {
    return inUse;
}

void SetPlaying(bool on) {
    playing = on;
}

void Exchange(InForce& other) {
    std::swap(inUse, other.table);
    std::swap(playing, other.playing);
}

std::optional<std::uint8_t> Heard(std::uint8_t key) {
    return playing ? InPlay(inUse, key) : std::optional<std::uint8_t>(key);
}

} // namespace Display::Bindings
