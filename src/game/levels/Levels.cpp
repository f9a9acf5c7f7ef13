#include "game/levels/Levels.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/combat/Enemies.h"
#include "game/combat/Lives.h"
#include "game/core/Colours.h"
#include "game/core/LevelRows.h"
#include "game/core/WaveTables.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "game/levels/Hazards.h"
#include "game/levels/Practice.h"
#include "util/Random.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace Morvek {

namespace {

constexpr std::int32_t kTextX = 250;
constexpr std::uint32_t kTextStyle = 5;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr Stories::StoryLine kContinue{500, "PRESS ENTER TO CONTINUE."};
constexpr std::uint32_t kStoryPollMs = 10;

void PlaceDragon() {
    world.dragon.x = kDragonStartX;
    world.dragon.y = kDragonStartY;
}

// Only a lively game meets the extra wave of the last level; false when it
// does not come.
bool PlaceExtraWave() {
    if (world.actualDifficulty < Waves::kExtraWaveFrom) {
        return false;
    }
    // The difficulty never passes 10; the cap keeps the slots inside the table
    // whatever it holds.
    const std::uint32_t d = std::min<std::uint32_t>(world.actualDifficulty, 10);
    for (std::uint32_t i = 1; i <= d; ++i) {
        const float x =
            Waves::kExtraWaveX +
            static_cast<float>(world.random.Between(Waves::kExtraWaveXLow, Waves::kExtraWaveXHigh));
        const float y = Waves::kExtraWaveTop +
                        Waves::kExtraWaveSpan * static_cast<float>(i) / static_cast<float>(d);
        CreateEnemy(x, y, i, Waves::kExtraWaveType, Waves::kExtraWavePath);
    }
    return true;
}

std::uint32_t LastWave(const LevelRow& row) {
    return row.waves.back().wave;
}

Next OpenFight(GameScene& g, World& w) {
    ClearField();
    w.dragon.beamReady = true;
    g.at = GameScene::At::Fight;
    return Open(w, BattleScene{.fight = LevelOf(w.level).fight});
}

// A level beaten: on to the next, or the game is over; true then.
bool LevelEnd(World& w) {
    ClearField();
    if (w.level == kLastLevel) {
        return true;
    }
    w.dragon.beamReady = true;
    w.dragon.shieldReady = true;
    ++w.level;
    return false;
}

// The game's end after a game over. A lost level still ends the way it
// always has: its waves still to come are placed, drawing their random
// heights and the extra wave's places, and the next level is set. Recorded
// sessions depend on those random numbers, so this stays.
void EndLostLevel(const GameScene& g, World& w) {
    const LevelRow& row = LevelOf(w.level);
    if (g.lostIn == GameScene::At::Waves) {
        for (std::uint32_t wave = g.wave + 1; wave <= LastWave(row); ++wave) {
            Waves::Place(row.waves, wave);
        }
        if (row.extraWave) {
            PlaceExtraWave();
        }
    }
    ClearField();
    LevelEnd(w);
}

} // namespace

void LevelHazard(std::uint32_t level) {
    switch (LevelOf(level).hazard) {
    case Hazard::Castles:
        CastleHazard();
        break;
    case Hazard::Icicles:
        IcicleHazard();
        break;
    case Hazard::Fireballs:
        FireballHazard();
        break;
    case Hazard::None:
        break;
    }
}

Next Update(GameScene& g, World& w) {
    using At = GameScene::At;
    for (;;) {
        if (!IsLevel(w.level)) {
            // No script would ever move the game on: back to the menu rather
            // than spin forever.
            return Done();
        }
        const LevelRow& row = LevelOf(w.level);
        switch (g.at) {
        case At::LevelStart:
            PlaceDragon();
            if (TakeBossStart()) {
                return OpenFight(g, w);
            }
            g.wave = 0;
            g.at = At::Waves;
            break;
        case At::Waves:
            if (g.wave < LastWave(row)) {
                ++g.wave;
                Waves::Place(row.waves, g.wave);
                return Open(w, BattleScene{});
            }
            if (row.extraWave) {
                g.at = At::ExtraWave;
                if (PlaceExtraWave()) {
                    return Open(w, BattleScene{});
                }
                break;
            }
            return OpenFight(g, w);
        case At::ExtraWave:
            return OpenFight(g, w);
        case At::Fight:
            g.at = At::Interlude;
            return Open(w, InterludeScene{.level = w.level});
        case At::Interlude:
            if (w.level == kLastLevel) {
                g.at = At::Victory;
                return Open(w, NameEntryScene{.won = true});
            }
            LevelEnd(w);
            g.at = At::LevelStart;
            break;
        case At::Victory:
            LevelEnd(w);
            return Done();
        case At::Lost:
            EndLostLevel(g, w);
            return Done();
        }
    }
}

void LoseGame(GameScene& g) {
    g.lostIn = g.at;
    g.at = GameScene::At::Lost;
}

// Nothing else runs while the story is on screen; Enter is the only way on.
Next Update(InterludeScene& story, World&) {
    if (!story.shown) {
        story.shown = true;
        Display::DrawBitmap(PictureNumber(Picture::MenuBack), 0, 0);
        Display::SetFont(kTextStyle, kWhite);
        for (const Stories::StoryLine& l : LevelOf(story.level).interlude) {
            Display::Text(l.text, kTextX, l.y);
        }
        Display::Text(kContinue.text, kTextX, kContinue.y);
        return IdleWait(kStoryPollMs);
    }
    return Display::KeyDown(Display::KeyCode::kReturn) ? Done() : IdleWait(kStoryPollMs);
}

void Waves::Place(std::span<const Spawn> table, std::uint32_t wave) {
    for (const Spawn& s : table) {
        if (s.wave != wave) {
            continue;
        }
        const float y =
            s.randomHeight ? static_cast<float>(world.random.Between(kLowest, kHighest)) : s.y;
        CreateEnemy(s.x, y, s.slot, s.type, s.path);
    }
}

} // namespace Morvek
