// The game as a step function. The host owns the only loop:
//
//     Start(world);
//     for (;;) {
//         const Wait wait = Step(world);   // the game, up to its next wait
//         if (wait.kind == Wait::Kind::Quit) break;
//         Draw(world);
//         present the frame; perform the wait: the clock moves on and the
//         input due by then reaches the game
//     }
//
// A step runs the scene on top of world.scenes (core/Scenes.h) until it
// waits: a tick of play, one poll of a screen, or a wait for a key. Scenes
// open scenes above them and go on where they stood once those are done.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

// The window opened, the pictures loaded and the menu drawn: the menu is the
// first scene.
void Start(World& w);
// Runs the game up to its next wait and returns it. The End button returns
// Quit, with the pictures freed and the window closed.
Wait Step(World& w);
// Draws what the last step left to show: a battle's frame. The screens draw
// as they change, in their steps. It moves on only the world's looks, which
// the rules never read.
void Draw(World& w);

} // namespace Morvek
