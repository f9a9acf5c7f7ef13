// Hears the game by watching it: once per presented frame it compares the
// world with what it saw the frame before and names the sounds the changes
// call for, and the tune that goes with what is on screen. It only reads the world, so a run sounds
// the way it plays and plays the same with or without sound.
#pragma once

#include "audio/Effects.h"
#include "audio/Music.h"
#include "game/core/World.h"

#include <bitset>

namespace Sound {

using Effects = std::bitset<kEffects>;

class Director {
  public:
    // The effects called for since the last look, each at most once. The
    // first look only learns the world.
    Effects Observe();
    // The tune for what the last look saw: a level's own in its waves, the
    // fight's in a boss fight, and nothing in the menus, on the screens, or
    // from a beaten boss until the next level begins.
    Tune Music() const { return music_; }
    // How hard the first boss's storm blew at the last look, 0 to 1: nothing
    // without the storm band on the field, most with the dragon inside it.
    float Wind() const { return wind_; }
    // Whether the game was paused at the last look: the music waits with it.
    bool Paused() const { return seen_.paused; }
    // Whether M went down since the last call; not while a name is entered,
    // where M is a letter.
    bool MutePressed();

  private:
    struct Seen {
        decltype(Morvek::World::bullets) bullets{};
        decltype(Morvek::World::enemies) enemies{};
        decltype(Morvek::World::explosions) explosions{};
        // textShown of the item kinds' rows
        Morvek::SlotTable<Morvek::SlotTable<bool, Morvek::kItemSlots>, Morvek::kItemKinds> picked{};
        bool beamRunning = false, shieldRunning = false;
        std::int32_t lives = 0;
        float dragonY = 0;
        std::uint32_t score = 0;
        bool lastBossAlive = false; // the king
        bool bossAlive = false;
        bool playing = false; // in a game, not in the menus or on a screen
        bool paused = false;
        std::uint32_t level = 0;
        Morvek::Mode mode = Morvek::Mode::Menu;
    };
    static Seen Look();
    static float WindOf(const Seen& now);

    Tune ChooseMusic(const Seen& was, const Seen& now);

    Seen seen_;
    Tune music_ = Tune::None;
    float wind_ = 0;
    std::uint32_t hushed_ = 0; // the level whose boss was beaten
    bool primed_ = false;
    bool mHeld_ = false;
};

} // namespace Sound
