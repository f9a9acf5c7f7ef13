// The player's input as a message may echo it: short, and with nothing a
// terminal would act on. Every message that shows a word of a script, a
// file's line or a path the player gave goes through here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Text {

// How much of a word, and of a path, a message shows.
constexpr std::size_t kShown = 40;
constexpr std::size_t kPathShown = 120;

// `text` with every byte a terminal could act on (controls, ESC, DEL, and
// anything past ASCII) shown as '?', cut after `limit` characters ("...").
inline std::string Printable(std::string_view text, std::size_t limit = kShown) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return out + (text.size() > limit ? "..." : "");
}

// A word of the player's input, in single quotes.
inline std::string Quote(std::string_view word, std::size_t limit = kShown) {
    return "'" + Printable(word, limit) + "'";
}

// A place in the player's file: "FILE:LINE".
inline std::string At(std::string_view file, std::size_t line) {
    return Printable(file, kPathShown) + ":" + std::to_string(line);
}

} // namespace Text
