// The three boss fights as a set-up and the steps of a tick each; the battle
// (levels/Battle.h) ticks them until the field is clear.
#pragma once

#include "game/core/Fights.h"
#include "game/core/World.h"

#include <array>

namespace Morvek::Boss {

// The God of the Winds.
void Setup(WindFight& f);
void Counters(WindFight& f);
void Phases(WindFight& f);
void Overlay(const WindFight& f);

// The Ice Queen.
void Setup(IceFight& f);
void Counters(IceFight& f);
void Phases(IceFight& f);
void Overlay(const IceFight& f);

// The Dragon King.
void Setup(KingFight& f);
void Counters(KingFight& f);
void Phases(KingFight& f);
void Overlay(const KingFight& f);

// A fight's tick up to its frame, in the order of every tick
// (combat/TickOrder.h): its counters first, its phases after the movers.
// Its Overlay, the boss's attacks and what the field leaves out of it, goes
// over the field's frame; its health bar (BossCommon.h) over the display.
template <typename Fight> void Play(Fight& f);

} // namespace Morvek::Boss
