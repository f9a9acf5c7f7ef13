// The events of a script being played, kept small: a script of millions of
// lines takes about as much memory as its text.
#pragma once

#include "display/Run.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace Display::Run {

// Each event takes 24 bytes (an InputEvent takes 64). Shot and State keep
// their file apart (its index in `code`) and their line in `x`. A deque grows
// without copying what it holds.
class ScriptEvents {
  public:
    void Clear() {
        events_.clear();
        files_.clear();
        files_.shrink_to_fit();
    }
    void Add(InputEvent&& e) {
        Packed p{e.ms, e.x, e.y, e.code, e.kind};
        if (e.kind == InputEvent::Shot || e.kind == InputEvent::State) {
            p.code = static_cast<std::uint32_t>(files_.size());
            p.x = static_cast<std::int32_t>(e.line);
            files_.push_back(std::move(e.file));
        }
        events_.push_back(p);
    }
    std::size_t Size() const { return events_.size(); }
    bool Empty() const { return events_.empty(); }
    std::uint64_t Ms(std::size_t i) const { return events_[i].ms; }
    InputEvent At(std::size_t i) const {
        const Packed& p = events_[i];
        InputEvent e{p.ms, p.kind, p.code, p.x, p.y, {}, 0};
        if (p.kind == InputEvent::Shot || p.kind == InputEvent::State) {
            e.code = 0;
            e.x = 0;
            e.line = static_cast<std::uint32_t>(p.x);
            e.file = files_[p.code];
        }
        return e;
    }

  private:
    struct Packed {
        std::uint64_t ms = 0;
        std::int32_t x = 0, y = 0;
        std::uint32_t code = 0;
        InputEvent::Kind kind = InputEvent::KeyDown;
    };
    static_assert(sizeof(Packed) <= 24);

    std::deque<Packed> events_;
    std::vector<std::string> files_;
};

} // namespace Display::Run
