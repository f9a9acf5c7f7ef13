// A short line the window lays over the game for a moment, such as the sound
// going off or on. It belongs to the window alone: never to a frame the game
// draws, so shots, recordings and replays never hold it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Display {

class Note {
  public:
    static constexpr std::uint64_t kShownMs = 2000;

    // A new note replaces the one up and starts its own time.
    void Show(std::string_view text, std::uint64_t nowMs);
    // The text while it is up; empty once its time is over.
    std::string_view Text(std::uint64_t nowMs) const;
    // Milliseconds until it goes; none when no note is up.
    std::optional<std::uint64_t> Left(std::uint64_t nowMs) const;

  private:
    std::string text_;
    std::uint64_t until_ = 0;
};

} // namespace Display
