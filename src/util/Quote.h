// A word of a bad input line as a message may echo it: short, and with
// nothing a terminal would act on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Text {

inline std::string Quote(std::string_view word) {
    constexpr std::size_t kShown = 40;
    std::string out(1, '\'');
    for (std::size_t i = 0; i < word.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return out + (word.size() > kShown ? "...'" : "'");
}

} // namespace Text
