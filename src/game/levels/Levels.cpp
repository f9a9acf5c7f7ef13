#include "game/levels/Levels.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/combat/Enemies.h"
#include "game/core/Colours.h"
#include "game/core/World.h"
#include "game/combat/Lives.h"
#include "game/levels/Battle.h"
#include "game/levels/Hazards.h"
#include "game/levels/Practice.h"
#include "game/levels/WaveTables.h"
#include "util/Random.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace Morvek {

namespace {

struct Line {
    std::int32_t y;
    std::string_view text;
};

constexpr std::int32_t kTextX = 250;
constexpr std::uint32_t kTextStyle = 5;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr Line kContinue{500, "PRESS ENTER TO CONTINUE."};
constexpr std::uint32_t kStoryPollMs = 10;

constexpr std::array<Line, 4> kAfterLevel1{{
    {200, "AFTER HE HAD DEFEATED THE MIGHTY GOD OF WINDS,"},
    {220, "OUR FEARSOME DRAGON SET OUT TO COMPLETE HIS NEXT TASK:"},
    {240, "DEFEATING THE CHILL ICE QUEEN WHO LIVED IN AN UNDERGROUND"},
    {260, "CAVE IN THE FROZEN LANDS."},
}};

constexpr std::array<Line, 5> kAfterLevel2{{
    {250, "OUR DRAGON DEFEATED THE ICE QUEEN WITH GREAT DIFFICULTY AND HAD GROWN"},
    {270, "STRONG BY HIS QUEST. BUT WHAT HE DID NOT KNOW WAS THAT HIS FATHER SENT"},
    {290, "HIM ON THIS QUEST TO DIE. HE WAS AFRAID THAT ONE DAY HIS SON WOULD BECOME"},
    {310, "STRONGER THAN HIM AND TAKE OVER HIS PLACE AS DRAGONKING. WHEN OUR DRAGON"},
    {330, "LEARNED OF THIS BETRAYAL HE SET OUT TO KILL HIS FATHER."},
}};

constexpr std::array<Line, 8> kClosing{{
    {200, "AFTER THE DRAGONKING WAS SLAIN, MORVEK'S EXPECTED GREAT RETURN WAS NOT"},
    {220, "CELEBRATED, FOR HE HAD DEFEATED ONE OF THE GREATEST KINGS THEY HAD"},
    {240, "EVER KNOWN. THEY EVEN BANISHED HIM FROM THE DRAGON EMPIRE."},
    {260, "YEARS LATER MORVEK DECIDED TO TAKE REVENGE UPON THE ENTIRE DRAGON EMPIRE"},
    {280, "BUT THAT EPIC TALE OF MAGIC AND HEROISM IS YET TO BE TOLD."},
    {320, "THE END"},
    {360, "THANK YOU FOR COMPLETING OUR GAME"},
    {400, "SAY \"BLOMMERT KRASSELT\" TO ONE OF THE CREATORS AND YOU WILL RECEIVE A GIFT."},
}};

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

// A level: its waves, its hazard, its boss fight and the story after it.
struct LevelRow {
    std::span<const Waves::Spawn> waves;
    bool extraWave;
    void (*hazard)();
    Fight fight;
    std::span<const Line> interlude;
};

const std::array<LevelRow, kLastLevel + 1> kLevels{{
    {},
    {Waves::kLevel1, false, CastleHazard, WindFight{}, kAfterLevel1},
    {Waves::kLevel2, false, IcicleHazard, IceFight{}, kAfterLevel2},
    {Waves::kLevel3, true, FireballHazard, KingFight{}, kClosing},
}};

bool IsLevel(std::uint32_t level) {
    return level >= 1 && level <= kLastLevel;
}

std::uint32_t LastWave(const LevelRow& row) {
    return row.waves.back().wave;
}

Next OpenFight(GameScene& g, World& w) {
    ClearField();
    w.dragon.beamReady = true;
    g.at = GameScene::At::Fight;
    return Open(w, BattleScene{.fight = kLevels[w.level].fight});
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
    const LevelRow& row = kLevels[w.level];
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
    if (IsLevel(level)) {
        kLevels[level].hazard();
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
        const LevelRow& row = kLevels[w.level];
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
                return Open(w, NameEntryScene{});
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
        if (IsLevel(story.level)) {
            for (const Line& l : kLevels[story.level].interlude) {
                Display::Text(l.text, kTextX, l.y);
            }
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
