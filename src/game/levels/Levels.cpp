#include "game/levels/Levels.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/combat/Enemies.h"
#include "game/core/Colours.h"
#include "game/core/World.h"
#include "game/levels/Bosses.h"
#include "game/levels/FrameLoop.h"
#include "game/levels/Practice.h"
#include "game/levels/WaveTables.h"
#include "util/Random.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace Morvek {

namespace {

// Set by the screens, which lie above the play.
void (*gameWon)() = [] {};

struct Line {
    std::int32_t y;
    std::string_view text;
};

constexpr std::int32_t kTextX = 250;
constexpr std::uint32_t kTextStyle = 5;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr Line kContinue{500, "PRESS ENTER TO CONTINUE."};

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

// Nothing else runs while the story is on screen; Enter is the only way on.
void Interlude(std::span<const Line> lines) {
    world.mode = Mode::Interlude;
    Display::DrawBitmap(PictureNumber(Picture::MenuBack), 0, 0);
    Display::SetFont(kTextStyle, kWhite);
    for (const Line& l : lines) {
        Display::Text(l.text, kTextX, l.y);
    }
    Display::Text(kContinue.text, kTextX, kContinue.y);
    Display::UpdateWindow();
    do {
        Display::IdleSleep(10);
    } while (!Display::KeyDown(Display::KeyCode::kReturn));
}

void PlaceDragon() {
    world.dragon.x = 60;
    world.dragon.y = 369;
}

// A game that is already over still places its waves, it just doesn't fight them.
void Fight() {
    if (!world.returnToMenu) {
        PlayWave();
    }
}

void FightWaves(std::span<const Waves::Spawn> table) {
    for (std::uint32_t wave = 1; wave <= table.back().wave; ++wave) {
        Waves::Place(table, wave);
        Fight();
    }
}

// Only a lively game meets the extra wave of level 3.
void ExtraWave() {
    if (world.actualDifficulty < Waves::kExtraWaveFrom) {
        return;
    }
    // The difficulty never passes 10; the cap keeps the slots inside the table
    // whatever it holds.
    const std::uint32_t d = std::min<std::uint32_t>(world.actualDifficulty, 10);
    for (std::uint32_t i = 1; i <= d; ++i) {
        const float x =
            Waves::kExtraWaveX +
            static_cast<float>(Random::Between(Waves::kExtraWaveXLow, Waves::kExtraWaveXHigh));
        const float y = Waves::kExtraWaveTop +
                        Waves::kExtraWaveSpan * static_cast<float>(i) / static_cast<float>(d);
        CreateEnemy(x, y, i, Waves::kExtraWaveType, Waves::kExtraWavePath);
    }
    Fight();
}

// The God of the Winds leaves his clouds behind.
void WindFight() {
    BossFight1();
    world.items[kCloudRow][1].state = false;
    world.items[kCloudRow][2].state = false;
}

struct LevelScript {
    std::span<const Waves::Spawn> waves;
    bool extraWave;
    void (*fight)();
    std::span<const Line> interlude;
    std::uint32_t next; // 0 after the last level: the name entry, then the menu
};

constexpr std::array<LevelScript, 4> kLevels{{
    {},
    {Waves::kLevel1, false, WindFight, kAfterLevel1, 2},
    {Waves::kLevel2, false, BossFight2, kAfterLevel2, 3},
    {Waves::kLevel3, true, BossFight3, kClosing, 0},
}};

// A level's waves, its fight and its story. A game over on the way skips
// the fighting and the story, but the level still ends as it always does.
void PlayLevel(const LevelScript& s) {
    PlaceDragon();
    if (!TakeBossStart()) {
        FightWaves(s.waves);
        if (s.extraWave) {
            ExtraWave();
        }
    }
    ClearField();
    if (!world.returnToMenu) {
        world.dragon.beamReady = true;
        s.fight();
    }
    if (!world.returnToMenu) {
        Interlude(s.interlude);
        if (s.next == 0) {
            gameWon();
        }
    }
    ClearField();
    if (s.next == 0) {
        world.returnToMenu = true;
        return;
    }
    world.dragon.beamReady = true;
    world.dragon.shieldReady = true;
    world.level = s.next;
}

} // namespace

void SetGameWon(void (*save)()) {
    gameWon = save;
}

void Waves::Place(std::span<const Spawn> table, std::uint32_t wave) {
    for (const Spawn& s : table) {
        if (s.wave != wave) {
            continue;
        }
        const float y =
            s.randomHeight ? static_cast<float>(Random::Between(kLowest, kHighest)) : s.y;
        CreateEnemy(s.x, y, s.slot, s.type, s.path);
    }
}

void Level1() {
    PlayLevel(kLevels[1]);
}

void Level2() {
    PlayLevel(kLevels[2]);
}

void Level3() {
    PlayLevel(kLevels[3]);
}

} // namespace Morvek
