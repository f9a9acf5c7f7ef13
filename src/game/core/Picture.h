// The names of the game's pictures, and the table of their loaded numbers.
// The catalogue says which file fills which name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Morvek {

// In loading order, as the catalogue lists them.
enum class Picture : std::uint8_t {
    Dragon1,
    Dragon2,
    // Each level's background, its deadly area (black kills), and the mirror
    // images of both, which the scroll shows after them.
    Back1,
    Border1,
    Back1Mirror,
    Border1Mirror,
    Back2,
    Border2,
    Back2Mirror,
    Border2Mirror,
    Back3,
    Border3,
    Back3Mirror,
    Border3Mirror,
    Bat,
    Ghost,
    Succubus,
    Genie,
    Castle,
    WindGod,
    IceQueenBlowing,
    IceQueen,
    DragonKing,
    HatchlingSmall,
    HatchlingLarge,
    Heart,
    MagicOrb,
    Upgrade,
    Special,
    Life,
    Icicle,
    IcicleContact, // opaque, for the deadly layers
    Sun,           // the falling fireballs of level 3
    Cloud1,
    Cloud2,
    Fireball,
    Tornado,
    Storm,
    EnemyFire,
    Ice,
    Breeze,
    FlameBurst,
    Explosion,
    MagicExplosion,
    Beam,
    BeamMirror,
    Shield,
    LifeIcon,
    MenuBack,
    StoryButton,
    NewGameButton,
    OptionsButton,
    HighscoreButton,
    CreditsButton,
    EndButton,
    CreditsBack,
    ReturnButton,
    GameOver,
    GameOverBack,
    SaveButton,
    DifficultyHeading,
    Easy,
    Hard,
    SpeedHeading,
    Slow,
    Fast,
    EasyOff,
    HardOff,
    SlowOff,
    FastOff,
    Normal,
    NormalOff,
};

inline constexpr std::size_t kPictureCount = static_cast<std::size_t>(Picture::NormalOff) + 1;

// The display's numbers of a picture and of its mask; 0 draws nothing.
struct Loaded {
    std::uint32_t picture = 0;
    std::uint32_t mask = 0;
};

// The loaded pictures, by name.
class PictureTable {
  public:
    Loaded& operator[](Picture p) { return rows_[static_cast<std::size_t>(p)]; }
    const Loaded& operator[](Picture p) const { return rows_[static_cast<std::size_t>(p)]; }

  private:
    std::array<Loaded, kPictureCount> rows_{};
};

} // namespace Morvek
