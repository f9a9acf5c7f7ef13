// The boards: one per difficulty and speed of the options screen, named as
// recordings and settings.ini name them ("normal-fast").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Server::Boards {

struct Board {
    std::string difficulty, speed;
    std::string Name() const { return difficulty + "-" + speed; }
};

// Every board, in the options screen's order: difficulties, then speeds.
const std::vector<Board>& All();
bool Known(std::string_view difficulty, std::string_view speed);
// "normal-fast" read back.
std::optional<Board> FromName(std::string_view name);

} // namespace Server::Boards
