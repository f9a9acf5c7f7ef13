#include "display/Note.h"

namespace Display {

void Note::Show(std::string_view text, std::uint64_t nowMs) {
    text_ = text;
    until_ = nowMs + kShownMs;
}

std::string_view Note::Text(std::uint64_t nowMs) const {
    return Left(nowMs) ? std::string_view(text_) : std::string_view();
}

std::optional<std::uint64_t> Note::Left(std::uint64_t nowMs) const {
    if (text_.empty() || nowMs >= until_) {
        return std::nullopt;
    }
    return until_ - nowMs;
}

} // namespace Display
