// Small helpers shared by the combat tests: held keys and hand-placed
// enemies and shots, so a test sets up exactly the scene it needs.
#pragma once

#include "display/Run.h"
#include "game/core/World.h"

#include <cstdint>

namespace CombatTest {

inline void Key(std::uint32_t code, bool down) {
    Display::Run::InputEvent event;
    event.kind = down ? Display::Run::InputEvent::KeyDown : Display::Run::InputEvent::KeyUp;
    event.code = code;
    Display::Run::Apply(event);
}

inline Morvek::Enemy& PutEnemy(std::uint32_t slot, float x, float y, std::uint32_t type,
                               float length = 50) {
    Morvek::Enemy& e = Morvek::world.enemies[slot];
    e = {};
    e.x = x;
    e.y = y;
    e.diameter = length;
    e.type = type;
    e.health = 100;
    e.state = true;
    return e;
}

inline Morvek::Bullet& PutShot(std::uint32_t slot, float x, float y, std::uint32_t type,
                               float length = 5) {
    Morvek::Bullet& b = Morvek::world.bullets[slot];
    b = {};
    b.x = x;
    b.y = y;
    b.type = type;
    b.radius = length;
    b.state = true;
    return b;
}

inline int ExplosionsAlive() {
    return static_cast<int>(Morvek::CountUsed(Morvek::world.explosions));
}

inline int BulletsInUse() {
    return static_cast<int>(Morvek::CountUsed(Morvek::world.bullets));
}

} // namespace CombatTest
