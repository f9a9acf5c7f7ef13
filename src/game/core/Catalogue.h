// Every picture the game loads, in loading order: which file fills which
// name, and at what size. The art generator draws from this same table, so
// the files on disk and the loads can never disagree.
#pragma once

#include "game/core/Picture.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace Morvek {

struct CatalogueEntry {
    Picture name;
    std::string_view file;
    std::uint32_t width;
    std::uint32_t height;
    bool mask; // fills the name's mask, black and white: white where its picture shows
};

// clang-format off
inline constexpr std::array<CatalogueEntry, 110> catalogue{{
    {Picture::Dragon1, "Media/Dragon1.bmp", 50, 50, false},
    {Picture::Dragon1, "Media/Dragon1Mask.bmp", 50, 50, true},
    {Picture::Dragon2, "Media/Dragon2.bmp", 50, 50, false},
    {Picture::Dragon2, "Media/Dragon2Mask.bmp", 50, 50, true},
    {Picture::Back1, "Media/Back1.bmp", 1024, 768, false},
    {Picture::Border1, "Media/Border1.bmp", 1024, 768, false},
    {Picture::Back1Mirror, "Media/Back1spiegel.bmp", 1024, 768, false},
    {Picture::Border1Mirror, "Media/Border1spiegel.bmp", 1024, 768, false},
    {Picture::Back2, "Media/Back2.bmp", 1024, 768, false},
    {Picture::Border2, "Media/Border2.bmp", 1024, 768, false},
    {Picture::Back2Mirror, "Media/Back2spiegel.bmp", 1024, 768, false},
    {Picture::Border2Mirror, "Media/Border2spiegel.bmp", 1024, 768, false},
    {Picture::Back3, "Media/Back3.bmp", 1024, 768, false},
    {Picture::Border3, "Media/Border3.bmp", 1024, 768, false},
    {Picture::Back3Mirror, "Media/Back3spiegel.bmp", 1024, 768, false},
    {Picture::Border3Mirror, "Media/Border3spiegel.bmp", 1024, 768, false},
    {Picture::Bat, "Media/Bat.bmp", 50, 50, false},
    {Picture::Bat, "Media/BatMask.bmp", 50, 50, true},
    {Picture::Ghost, "Media/Ghost.bmp", 50, 50, false},
    {Picture::Ghost, "Media/GhostMask.bmp", 50, 50, true},
    {Picture::Succubus, "Media/Succubus.bmp", 50, 50, false},
    {Picture::Succubus, "Media/SuccubusMask.bmp", 50, 50, true},
    {Picture::Genie, "Media/Genie.bmp", 50, 50, false},
    {Picture::Genie, "Media/GenieMask.bmp", 50, 50, true},
    {Picture::Castle, "Media/Castle.bmp", 50, 50, false},
    {Picture::Castle, "Media/CastleMask.bmp", 50, 50, true},
    {Picture::WindGod, "Media/Windgod.bmp", 250, 250, false},
    {Picture::WindGod, "Media/WindgodMask.bmp", 250, 250, true},
    {Picture::IceQueenBlowing, "Media/Icequeen2.bmp", 250, 250, false},
    {Picture::IceQueenBlowing, "Media/Icequeen2Mask.bmp", 250, 250, true},
    {Picture::IceQueen, "Media/Icequeen.bmp", 250, 250, false},
    {Picture::IceQueen, "Media/IcequeenMask.bmp", 250, 250, true},
    {Picture::DragonKing, "Media/Firedragon.bmp", 250, 250, false},
    {Picture::DragonKing, "Media/FiredragonMask.bmp", 250, 250, true},
    {Picture::HatchlingSmall, "Media/Firedragonmini1.bmp", 50, 50, false},
    {Picture::HatchlingSmall, "Media/Firedragonmini1Mask.bmp", 50, 50, true},
    {Picture::HatchlingLarge, "Media/Firedragonmini2.bmp", 100, 100, false},
    {Picture::HatchlingLarge, "Media/Firedragonmini2Mask.bmp", 100, 100, true},
    {Picture::Heart, "Media/DragonHeart.bmp", 37, 37, false},
    {Picture::Heart, "Media/DragonHeartMask.bmp", 37, 37, true},
    {Picture::MagicOrb, "Media/Magicorb.bmp", 37, 37, false},
    {Picture::MagicOrb, "Media/MagicorbMask.bmp", 37, 37, true},
    {Picture::Upgrade, "Media/Upgrade.bmp", 37, 37, false},
    {Picture::Upgrade, "Media/UpgradeMask.bmp", 37, 37, true},
    {Picture::Special, "Media/Special.bmp", 37, 37, false},
    {Picture::Special, "Media/SpecialMask.bmp", 37, 37, true},
    {Picture::Life, "Media/Life.bmp", 37, 37, false},
    {Picture::Life, "Media/LifeMask.bmp", 37, 37, true},
    {Picture::Icicle, "Media/Ijspegel.bmp", 30, 150, false},
    {Picture::Icicle, "Media/IjspegelMask.bmp", 30, 150, true},
    {Picture::IcicleContact, "Media/IjspegelColl.bmp", 30, 150, false},
    {Picture::Sun, "Media/Zon.bmp", 50, 50, false},
    {Picture::Sun, "Media/ZonMask.bmp", 50, 50, true},
    {Picture::Cloud1, "Media/Cloud1.bmp", 150, 300, false},
    {Picture::Cloud1, "Media/Cloud1Mask.bmp", 150, 300, true},
    {Picture::Cloud2, "Media/Cloud2.bmp", 150, 300, false},
    {Picture::Cloud2, "Media/Cloud2Mask.bmp", 150, 300, true},
    {Picture::Fireball, "Media/Fireball.bmp", 20, 20, false},
    {Picture::Fireball, "Media/FireballMask.bmp", 20, 20, true},
    {Picture::Tornado, "Media/Tornado.bmp", 50, 50, false},
    {Picture::Tornado, "Media/TornadoMask.bmp", 50, 50, true},
    {Picture::Storm, "Media/Storm.bmp", 650, 300, false},
    {Picture::Storm, "Media/StormMask.bmp", 650, 300, true},
    {Picture::EnemyFire, "Media/Enemyfire.bmp", 20, 20, false},
    {Picture::EnemyFire, "Media/EnemyfireMask.bmp", 20, 20, true},
    {Picture::Ice, "Media/Ice.bmp", 25, 25, false},
    {Picture::Ice, "Media/IceMask.bmp", 25, 25, true},
    {Picture::Breeze, "Media/Breeze.bmp", 1000, 400, false},
    {Picture::Breeze, "Media/BreezeMask.bmp", 1000, 400, true},
    {Picture::FlameBurst, "Media/Flameburst.bmp", 1000, 400, false},
    {Picture::FlameBurst, "Media/FlameburstMask.bmp", 1000, 400, true},
    {Picture::Explosion, "Media/Explosion.bmp", 50, 50, false},
    {Picture::Explosion, "Media/ExplosionMask.bmp", 50, 50, true},
    {Picture::MagicExplosion, "Media/Magicexplosion.bmp", 25, 25, false},
    {Picture::MagicExplosion, "Media/MagicexplosionMask.bmp", 25, 25, true},
    {Picture::Beam, "Media/Firebeam.bmp", 20, 20, false},
    {Picture::Beam, "Media/FirebeamMask.bmp", 20, 20, true},
    {Picture::BeamMirror, "Media/Firebeamsp.bmp", 20, 20, false},
    {Picture::BeamMirror, "Media/FirebeamspMask.bmp", 20, 20, true},
    {Picture::Shield, "Media/Shield.bmp", 75, 75, false},
    {Picture::Shield, "Media/ShieldMask.bmp", 75, 75, true},
    {Picture::LifeIcon, "Media/Life.bmp", 25, 25, false},
    {Picture::LifeIcon, "Media/LifeMask.bmp", 25, 25, true},
    {Picture::MenuBack, "Media/MenuBack.bmp", 1024, 768, false},
    {Picture::StoryButton, "Media/Story.bmp", 150, 50, false},
    {Picture::NewGameButton, "Media/NewGame.bmp", 150, 50, false},
    {Picture::OptionsButton, "Media/Options.bmp", 150, 50, false},
    {Picture::HighscoreButton, "Media/Highscore.bmp", 150, 50, false},
    {Picture::CreditsButton, "Media/Credits.bmp", 150, 50, false},
    {Picture::EndButton, "Media/End.bmp", 150, 50, false},
    {Picture::CreditsBack, "Media/Namen.bmp", 1024, 768, false},
    {Picture::ReturnButton, "Media/Return.bmp", 120, 75, false},
    {Picture::GameOver, "Media/GameOver.bmp", 560, 150, false},
    {Picture::GameOverBack, "Media/GameOverback.bmp", 1024, 768, false},
    {Picture::SaveButton, "Media/Save.bmp", 120, 75, false},
    {Picture::GameOver, "Media/GameOverMask.bmp", 560, 150, true},
    {Picture::DifficultyHeading, "Media/Difficulty.bmp", 120, 75, false},
    {Picture::DifficultyHeading, "Media/DifficultyMask.bmp", 120, 75, true},
    {Picture::Easy, "Media/Easy.bmp", 120, 75, false},
    {Picture::Hard, "Media/Hard.bmp", 120, 75, false},
    {Picture::SpeedHeading, "Media/Speed.bmp", 120, 75, false},
    {Picture::SpeedHeading, "Media/SpeedMask.bmp", 120, 75, true},
    {Picture::Slow, "Media/Slow.bmp", 120, 75, false},
    {Picture::Fast, "Media/Fast.bmp", 120, 75, false},
    {Picture::EasyOff, "Media/EasyNot.bmp", 120, 75, false},
    {Picture::HardOff, "Media/HardNot.bmp", 120, 75, false},
    {Picture::SlowOff, "Media/SlowNot.bmp", 120, 75, false},
    {Picture::FastOff, "Media/FastNot.bmp", 120, 75, false},
    {Picture::Normal, "Media/Normal.bmp", 120, 75, false},
    {Picture::NormalOff, "Media/NormalNot.bmp", 120, 75, false},
}};
// clang-format on

// The catalogue's row of a picture, or of its mask; nullptr if it has none.
constexpr const CatalogueEntry* RowOf(Picture name, bool mask = false) {
    for (const auto& row : catalogue) {
        if (row.name == name && row.mask == mask) {
            return &row;
        }
    }
    return nullptr;
}

// Loads every picture of the catalogue into `world.pictures`, and frees them.
void LoadPictures();
void FreePictures();

} // namespace Morvek
