#include "game/screens/ScoreOption.h"

#include <charconv>
#include <cstdio>

namespace Morvek::ScoreOption {

namespace {

bool Plain(char c) {
    return c > ' ' && c < 0x7F && c != '%' && c != '#';
}

template <typename T> bool Number(std::string_view word, T& value, int base = 10) {
    const auto [end, err] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    return !word.empty() && err == std::errc{} && end == word.data() + word.size();
}

bool Name(std::string_view word, std::array<char, 7>& name) {
    name.fill(' ');
    std::size_t n = 0;
    for (std::size_t i = 0; i < word.size(); ++i, ++n) {
        if (n == name.size()) {
            return false;
        }
        char c = word[i];
        if (c == '%') {
            unsigned byte = 0;
            if (i + 2 >= word.size() || !Number(word.substr(i + 1, 2), byte, 16)) {
                return false;
            }
            c = static_cast<char>(byte);
            i += 2;
        } else if (!Plain(c)) {
            return false;
        }
        name[n] = c;
    }
    return n > 0;
}

} // namespace

std::string Line(std::uint32_t place, const Highscore& entry) {
    std::size_t length = entry.name.size();
    while (length > 1 && entry.name[length - 1] == ' ') {
        --length;
    }
    std::string name;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = entry.name[i];
        if (Plain(c)) {
            name += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            name += escaped;
        }
    }
    return "score " + std::to_string(place) + " " + name + " " + std::to_string(entry.points);
}

bool Read(std::string_view value, ScoreFile::Table& table) {
    const auto first = value.find(' ');
    const auto last = value.rfind(' ');
    if (first == std::string_view::npos || last == first) {
        return false;
    }
    std::uint32_t place = 0;
    Highscore entry;
    if (!Number(value.substr(0, first), place) || place < 1 || place > ScoreFile::kPlaces ||
        !Name(value.substr(first + 1, last - first - 1), entry.name) ||
        !Number(value.substr(last + 1), entry.points)) {
        return false;
    }
    table[place] = entry;
    return true;
}

} // namespace Morvek::ScoreOption
