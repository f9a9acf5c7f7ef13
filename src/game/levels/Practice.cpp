#include "game/levels/Practice.h"

#include "game/core/World.h"

#include <charconv>

namespace Morvek {

void PracticeStart() {
    // Anything but a real level starts an ordinary game: the scripts and the
    // renderer index their tables by level.
    const std::uint32_t chosen = world.practice.level;
    world.level = (chosen >= 1 && chosen <= kLastLevel) ? chosen : 1;
    world.bossStart = world.practice.boss;
}

bool TakeBossStart() {
    const bool start = world.bossStart;
    world.bossStart = false;
    return start;
}

std::string PracticeName(const Morvek::PracticeChoice& choice) {
    if (choice.level == 1 && !choice.boss) {
        return "off";
    }
    return "level " + std::to_string(choice.level) + (choice.boss ? " boss" : "");
}

std::optional<Morvek::PracticeChoice> PracticeFromName(std::string_view name) {
    if (name == "off") {
        return Morvek::PracticeChoice{};
    }
    constexpr std::string_view kLevel = "level ";
    if (name.substr(0, kLevel.size()) != kLevel) {
        return std::nullopt;
    }
    name.remove_prefix(kLevel.size());
    Morvek::PracticeChoice choice;
    const auto [end, err] = std::from_chars(name.data(), name.data() + name.size(), choice.level);
    const std::string_view rest(end, static_cast<std::size_t>(name.data() + name.size() - end));
    if (err != std::errc{} || !IsLevel(choice.level) || (rest != "" && rest != " boss")) {
        return std::nullopt;
    }
    choice.boss = rest == " boss";
    return choice;
}

} // namespace Morvek
