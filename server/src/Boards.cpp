#include "Boards.h"

#include "game/screens/Layout.h"

#include <algorithm>

namespace Server::Boards {

const std::vector<Board>& All() {
    static const std::vector<Board> all = [] {
        using Morvek::Layout::Setting;
        std::vector<Board> boards;
        for (const auto& d : Morvek::Layout::kChoices) {
            for (const auto& s : Morvek::Layout::kChoices) {
                if (d.setting == Setting::Difficulty && s.setting == Setting::Speed) {
                    boards.push_back({std::string(d.name), std::string(s.name)});
                }
            }
        }
        return boards;
    }();
    return all;
}

bool Known(std::string_view difficulty, std::string_view speed) {
    return std::any_of(All().begin(), All().end(), [&](const Board& b) {
        return b.difficulty == difficulty && b.speed == speed;
    });
}

std::optional<Board> FromName(std::string_view name) {
    for (const auto& b : All()) {
        if (b.Name() == name) {
            return b;
        }
    }
    return std::nullopt;
}

} // namespace Server::Boards
