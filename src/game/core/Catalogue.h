// Every picture the game loads, in loading order: which file fills which
// entry of `images` and at what size. The art generator draws from this same
// table, so the files on disk and the loads can never disagree.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace Morvek {

struct CatalogueEntry {
    std::uint8_t group;
    std::uint8_t slot;
    std::uint8_t entry;
    std::string_view file;
    std::uint32_t width;
    std::uint32_t height;
    bool mask; // black and white: white where its picture shows
};

// clang-format off
inline constexpr std::array<CatalogueEntry, 110> catalogue{{
    {1, 1, 1, "Media/Dragon1.bmp", 50, 50, false},
    {1, 1, 2, "Media/Dragon1Mask.bmp", 50, 50, true},
    {1, 2, 1, "Media/Dragon2.bmp", 50, 50, false},
    {1, 2, 2, "Media/Dragon2Mask.bmp", 50, 50, true},
    {2, 1, 1, "Media/Back1.bmp", 1024, 768, false},
    {2, 1, 2, "Media/Border1.bmp", 1024, 768, false},
    {2, 2, 1, "Media/Back1spiegel.bmp", 1024, 768, false},
    {2, 2, 2, "Media/Border1spiegel.bmp", 1024, 768, false},
    {2, 3, 1, "Media/Back2.bmp", 1024, 768, false},
    {2, 3, 2, "Media/Border2.bmp", 1024, 768, false},
    {2, 4, 1, "Media/Back2spiegel.bmp", 1024, 768, false},
    {2, 4, 2, "Media/Border2spiegel.bmp", 1024, 768, false},
    {2, 5, 1, "Media/Back3.bmp", 1024, 768, false},
    {2, 5, 2, "Media/Border3.bmp", 1024, 768, false},
    {2, 6, 1, "Media/Back3spiegel.bmp", 1024, 768, false},
    {2, 6, 2, "Media/Border3spiegel.bmp", 1024, 768, false},
    {3, 1, 1, "Media/Bat.bmp", 50, 50, false},
    {3, 1, 2, "Media/BatMask.bmp", 50, 50, true},
    {3, 2, 1, "Media/Ghost.bmp", 50, 50, false},
    {3, 2, 2, "Media/GhostMask.bmp", 50, 50, true},
    {3, 3, 1, "Media/Succubus.bmp", 50, 50, false},
    {3, 3, 2, "Media/SuccubusMask.bmp", 50, 50, true},
    {3, 4, 1, "Media/Genie.bmp", 50, 50, false},
    {3, 4, 2, "Media/GenieMask.bmp", 50, 50, true},
    {3, 5, 1, "Media/Castle.bmp", 50, 50, false},
    {3, 5, 2, "Media/CastleMask.bmp", 50, 50, true},
    {3, 6, 1, "Media/Windgod.bmp", 250, 250, false},
    {3, 6, 2, "Media/WindgodMask.bmp", 250, 250, true},
    {3, 7, 1, "Media/Icequeen2.bmp", 250, 250, false},
    {3, 7, 2, "Media/Icequeen2Mask.bmp", 250, 250, true},
    {3, 8, 1, "Media/Icequeen.bmp", 250, 250, false},
    {3, 8, 2, "Media/IcequeenMask.bmp", 250, 250, true},
    {3, 9, 1, "Media/Firedragon.bmp", 250, 250, false},
    {3, 9, 2, "Media/FiredragonMask.bmp", 250, 250, true},
    {3, 10, 1, "Media/Firedragonmini1.bmp", 50, 50, false},
    {3, 10, 2, "Media/Firedragonmini1Mask.bmp", 50, 50, true},
    {3, 11, 1, "Media/Firedragonmini2.bmp", 100, 100, false},
    {3, 11, 2, "Media/Firedragonmini2Mask.bmp", 100, 100, true},
    {4, 1, 1, "Media/DragonHeart.bmp", 37, 37, false},
    {4, 1, 2, "Media/DragonHeartMask.bmp", 37, 37, true},
    {4, 2, 1, "Media/Magicorb.bmp", 37, 37, false},
    {4, 2, 2, "Media/MagicorbMask.bmp", 37, 37, true},
    {4, 3, 1, "Media/Upgrade.bmp", 37, 37, false},
    {4, 3, 2, "Media/UpgradeMask.bmp", 37, 37, true},
    {4, 4, 1, "Media/Special.bmp", 37, 37, false},
    {4, 4, 2, "Media/SpecialMask.bmp", 37, 37, true},
    {4, 5, 1, "Media/Life.bmp", 37, 37, false},
    {4, 5, 2, "Media/LifeMask.bmp", 37, 37, true},
    {4, 6, 1, "Media/Ijspegel.bmp", 30, 150, false},
    {4, 6, 2, "Media/IjspegelMask.bmp", 30, 150, true},
    {4, 7, 1, "Media/IjspegelColl.bmp", 30, 150, false},
    {4, 8, 1, "Media/Zon.bmp", 50, 50, false},
    {4, 8, 2, "Media/ZonMask.bmp", 50, 50, true},
    {4, 9, 1, "Media/Cloud1.bmp", 150, 300, false},
    {4, 9, 2, "Media/Cloud1Mask.bmp", 150, 300, true},
    {4, 10, 1, "Media/Cloud2.bmp", 150, 300, false},
    {4, 10, 2, "Media/Cloud2Mask.bmp", 150, 300, true},
    {5, 1, 1, "Media/Fireball.bmp", 20, 20, false},
    {5, 1, 2, "Media/FireballMask.bmp", 20, 20, true},
    {5, 2, 1, "Media/Tornado.bmp", 50, 50, false},
    {5, 2, 2, "Media/TornadoMask.bmp", 50, 50, true},
    {5, 3, 1, "Media/Storm.bmp", 650, 300, false},
    {5, 3, 2, "Media/StormMask.bmp", 650, 300, true},
    {5, 4, 1, "Media/Enemyfire.bmp", 20, 20, false},
    {5, 4, 2, "Media/EnemyfireMask.bmp", 20, 20, true},
    {5, 5, 1, "Media/Ice.bmp", 25, 25, false},
    {5, 5, 2, "Media/IceMask.bmp", 25, 25, true},
    {5, 6, 1, "Media/Breeze.bmp", 1000, 400, false},
    {5, 6, 2, "Media/BreezeMask.bmp", 1000, 400, true},
    {5, 7, 1, "Media/Flameburst.bmp", 1000, 400, false},
    {5, 7, 2, "Media/FlameburstMask.bmp", 1000, 400, true},
    {6, 1, 1, "Media/Explosion.bmp", 50, 50, false},
    {6, 1, 2, "Media/ExplosionMask.bmp", 50, 50, true},
    {6, 2, 1, "Media/Magicexplosion.bmp", 25, 25, false},
    {6, 2, 2, "Media/MagicexplosionMask.bmp", 25, 25, true},
    {6, 3, 1, "Media/Firebeam.bmp", 20, 20, false},
    {6, 3, 2, "Media/FirebeamMask.bmp", 20, 20, true},
    {6, 4, 1, "Media/Firebeamsp.bmp", 20, 20, false},
    {6, 4, 2, "Media/FirebeamspMask.bmp", 20, 20, true},
    {6, 5, 1, "Media/Shield.bmp", 75, 75, false},
    {6, 5, 2, "Media/ShieldMask.bmp", 75, 75, true},
    {6, 6, 1, "Media/Life.bmp", 25, 25, false},
    {6, 6, 2, "Media/LifeMask.bmp", 25, 25, true},
    {7, 1, 1, "Media/MenuBack.bmp", 1024, 768, false},
    {7, 2, 1, "Media/Story.bmp", 150, 50, false},
    {7, 2, 2, "Media/NewGame.bmp", 150, 50, false},
    {7, 3, 1, "Media/Options.bmp", 150, 50, false},
    {7, 3, 2, "Media/Highscore.bmp", 150, 50, false},
    {7, 4, 1, "Media/Credits.bmp", 150, 50, false},
    {7, 4, 2, "Media/End.bmp", 150, 50, false},
    {7, 5, 1, "Media/Namen.bmp", 1024, 768, false},
    {7, 5, 2, "Media/Return.bmp", 120, 75, false},
    {7, 6, 1, "Media/GameOver.bmp", 560, 150, false},
    {7, 6, 2, "Media/GameOverback.bmp", 1024, 768, false},
    {7, 7, 1, "Media/Save.bmp", 120, 75, false},
    {7, 7, 2, "Media/GameOverMask.bmp", 560, 150, true},
    {7, 8, 1, "Media/Difficulty.bmp", 120, 75, false},
    {7, 8, 2, "Media/DifficultyMask.bmp", 120, 75, true},
    {7, 9, 1, "Media/Easy.bmp", 120, 75, false},
    {7, 9, 2, "Media/Hard.bmp", 120, 75, false},
    {7, 10, 1, "Media/Speed.bmp", 120, 75, false},
    {7, 10, 2, "Media/SpeedMask.bmp", 120, 75, true},
    {7, 11, 1, "Media/Slow.bmp", 120, 75, false},
    {7, 11, 2, "Media/Fast.bmp", 120, 75, false},
    {7, 12, 1, "Media/EasyNot.bmp", 120, 75, false},
    {7, 12, 2, "Media/HardNot.bmp", 120, 75, false},
    {7, 13, 1, "Media/SlowNot.bmp", 120, 75, false},
    {7, 13, 2, "Media/FastNot.bmp", 120, 75, false},
    {7, 14, 1, "Media/Normal.bmp", 120, 75, false},
    {7, 14, 2, "Media/NormalNot.bmp", 120, 75, false},
}};
// clang-format on

// Loads every picture of the catalogue into `images`, and frees them.
void LoadPictures();
void FreePictures();

} // namespace Morvek
