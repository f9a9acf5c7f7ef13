// What a scene's update hands back to Step: a wait for the host, or a change
// of scene.
#pragma once

#include "game/core/World.h"

#include <cstdint>

namespace Morvek {

// The wait that ends a step; the host performs it (game/Step.h).
struct Wait {
    enum class Kind : std::uint8_t {
        Tick, // a tick of play: the frame shows for `ms`
        Idle, // a screen polls again in `ms`; nothing on it moves
        Key,  // a screen waits for a key press to be queued
        // The game waits on something outside it (another game's save) for
        // `ms` of real time: the virtual clock stays and no input is taken.
        Outside,
        Quit, // the End button: the program ends
    };
    Kind kind = Kind::Idle;
    std::uint32_t ms = 0;
};

struct Next {
    enum class Kind : std::uint8_t {
        Wait,     // the step ends with `wait`
        Opened,   // the scene pushed another; that one goes on at once
        Done,     // the scene is over; the one below goes on where it stood
        GameLost, // the game-over screen was left: the game ends its level
        Quit,
    };
    Kind kind = Kind::Wait;
    Morvek::Wait wait{};
};

inline Next TickWait(std::uint32_t ms) {
    return {Next::Kind::Wait, {Wait::Kind::Tick, ms}};
}
inline Next IdleWait(std::uint32_t ms) {
    return {Next::Kind::Wait, {Wait::Kind::Idle, ms}};
}
inline Next KeyWait() {
    return {Next::Kind::Wait, {Wait::Kind::Key, 0}};
}
inline Next OutsideWait(std::uint32_t ms) {
    return {Next::Kind::Wait, {Wait::Kind::Outside, ms}};
}
inline Next Done() {
    return {Next::Kind::Done, {}};
}

// Pushes `scene` above the caller's, whose reference is not to be used
// after this: return its result at once.
inline Next Open(World& w, const Scene& scene) {
    w.scenes.Push(scene);
    return {Next::Kind::Opened, {}};
}

} // namespace Morvek
