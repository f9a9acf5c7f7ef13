// Drives the game in a test as the headless host does: a step, the frame
// shown, the wait performed. Nothing throws; a run out of input just stops.
#pragma once

#include "game/core/Next.h"
#include "game/levels/BossFights.h"

#include <cstdint>
#include <functional>

namespace Steps {

inline constexpr std::uint64_t kStepLimit = 200'000;

// One step of the game and its wait. False when the run asked to end (input
// ran out, a close) or the game has no scene left.
bool Once();
// Steps until `done` holds after a step, the run ends, or `limit` steps;
// true when `done` held.
// The limit is far beyond any test's game, yet short enough that a game stuck
// on a screen (a sync hook keeps a headless run from ending) fails in seconds.
bool Until(const std::function<bool()>& done, std::uint64_t limit = kStepLimit);
// Opens `scene` on the world's stack and steps until it is done; false when
// the run ended first (a screen left waiting for input that never comes).
bool Run(const Morvek::Scene& scene, std::uint64_t limit = kStepLimit);

// Whole ticks outside any scene, for tests that look at one round of play:
// the tick up to its frame, its wait, then Escape and the lives (no pause,
// no game over screen).
void WaveTick();
template <typename Fight> void FightTick(Fight& fight);

// ---- A game under way, for the suites of play ----

// The stack of a game in one of its battles, as the menu's New game and the
// level script (of world.level) leave it: the menu, the game at its wave
// `wave` or at its fight, and `battle` on top. world.mode is set as a step
// would label it. The battle's enemies are the caller's to place.
void InGame(const Morvek::BattleScene& battle, std::uint32_t wave = 1);
// Steps until `ticks` more ticks of play have shown their frame (the last one
// not yet settled); false when the run ended first.
bool Ticks(std::uint64_t ticks);

} // namespace Steps
