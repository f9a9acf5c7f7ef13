#include "display/Display.h"
#include "display/Layer.h"
#include "game/core/Catalogue.h"
#include "game/core/EnemyKinds.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
using Morvek::catalogue;
using Morvek::world;

namespace {

using Morvek::Picture;

Picture NameAt(std::size_t i) {
    return static_cast<Picture>(i);
}

// Every name is filled by exactly one picture and at most one mask of its
// size, and the rows fill nothing else; the files are 108, two of them loaded
// at two sizes.
TEST(Catalogue, EachNameHasOnePictureAndAtMostOneMask) {
    std::size_t masks = 0;
    for (std::size_t i = 0; i < Morvek::kPictureCount; ++i) {
        SCOPED_TRACE(i);
        std::size_t pictures = 0, ownMasks = 0;
        for (const auto& row : catalogue) {
            if (row.name == NameAt(i)) {
                (row.mask ? ownMasks : pictures) += 1;
            }
        }
        EXPECT_EQ(pictures, 1u);
        EXPECT_LE(ownMasks, 1u);
        masks += ownMasks;
        const auto* picture = Morvek::RowOf(NameAt(i));
        const auto* mask = Morvek::RowOf(NameAt(i), true);
        if (picture && mask) {
            EXPECT_EQ(mask->width, picture->width) << mask->file;
            EXPECT_EQ(mask->height, picture->height) << mask->file;
        }
    }
    EXPECT_EQ(Morvek::kPictureCount + masks, catalogue.size());
    std::set<std::string_view> files;
    for (const auto& row : catalogue) {
        files.insert(row.file);
    }
    EXPECT_EQ(files.size(), 108u);
}

TEST(Catalogue, LoadingNumbersEveryPictureInCatalogueOrder) {
    TestWorld::Fresh();
    Morvek::LoadPictures();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const auto& row = catalogue[i];
        const auto& loaded = world.pictures[row.name];
        EXPECT_EQ(row.mask ? loaded.mask : loaded.picture, i + 1) << row.file;
    }
    for (std::size_t i = 0; i < Morvek::kPictureCount; ++i) {
        if (!Morvek::RowOf(NameAt(i), true)) {
            EXPECT_EQ(Morvek::MaskNumber(NameAt(i)), 0u) << i;
        }
    }
}

// A game left and started again in one process (as the tests and a replay
// do) must not keep the last game's pictures: all of them go, the last
// names included, and loading again gives the same numbers.
TEST(Catalogue, FreeingReleasesEveryPictureLoaded) {
    TestWorld::Fresh();
    Morvek::LoadPictures();
    ASSERT_EQ(Display::BitLen(), catalogue.size());
    Morvek::FreePictures();
    EXPECT_EQ(Display::BitLen(), 0u) << "pictures left behind";
    for (std::size_t i = 0; i < Morvek::kPictureCount; ++i) {
        EXPECT_EQ(Morvek::PictureNumber(NameAt(i)), 0u) << i;
        EXPECT_EQ(Morvek::MaskNumber(NameAt(i)), 0u) << i;
    }
    Morvek::LoadPictures();
    EXPECT_EQ(Display::BitLen(), catalogue.size());
    EXPECT_EQ(Morvek::PictureNumber(catalogue.back().name), catalogue.size());
}

// What a frame draws through a mask has one, and each level's backgrounds
// span the scroll's width; a wrong name in a table shows here.
TEST(Catalogue, ScenesNameFittingPictures) {
    namespace P = Morvek::ScenePictures;
    std::vector<Picture> masked{Picture::Shield, P::kBeamPieces[0], P::kBeamPieces[1],
                                Morvek::Layout::kGameOverPicture};
    const auto add = [&masked](const auto& sprites) {
        for (const P::Sprite& s : sprites) {
            if (s.picture) {
                masked.push_back(*s.picture);
            }
        }
    };
    for (const Morvek::EnemyKind& kind : Morvek::kEnemyKinds) {
        add(std::array{kind.picture});
    }
    add(P::kBullets);
    add(P::kExplosions);
    add(P::kItems);
    add(P::kDragon);
    add(P::kClouds);
    add(std::array{P::kIcicle, P::kFireball, P::kLifeIcon, P::kSpecialIcon});
    for (const auto& h : Morvek::Layout::kOptionHeadings) {
        masked.push_back(h.picture);
    }
    for (const auto& item : Morvek::Layout::kStoryItems) {
        masked.push_back(item.picture);
    }
    for (const Picture p : masked) {
        EXPECT_NE(Morvek::RowOf(p, true), nullptr) << static_cast<int>(p);
    }
    for (std::uint32_t level = 1; level <= Morvek::kLastLevel; ++level) {
        const auto& scenery = Morvek::LevelOf(level).scenery;
        for (const Picture p :
             {scenery.shown[0], scenery.shown[1], scenery.deadly[0], scenery.deadly[1]}) {
            ASSERT_NE(Morvek::RowOf(p), nullptr);
            EXPECT_EQ(Morvek::RowOf(p)->width, static_cast<std::uint32_t>(P::kBackgroundWidth))
                << Morvek::RowOf(p)->file;
            EXPECT_EQ(Morvek::RowOf(p, true), nullptr) << static_cast<int>(p);
        }
    }
}

// Runs only inside the copy that the next test makes, where the sun picture
// is missing: disabled, so that an ordinary run neither runs nor skips it.
TEST(Catalogue, DISABLED_LoadsWithoutTheSun) {
    ASSERT_NE(std::getenv("MORVEK_WITHOUT_SUN"), nullptr)
        << "run by MissingFileLeavesZeroAndLoadingGoesOn";
    TestWorld::Fresh();
    Morvek::LoadPictures();
    EXPECT_EQ(Morvek::PictureNumber(Picture::Sun), 0u);
    EXPECT_EQ(Morvek::MaskNumber(Picture::Sun), 52u); // the number the sun would have had
    EXPECT_EQ(Morvek::PictureNumber(Picture::NormalOff), 109u);
}

TEST(Catalogue, MissingFileLeavesZeroAndLoadingGoesOn) {
    // The game also looks for pictures beside its executable, so a copy of
    // this test runs from a directory of its own with a Media/ lacking Zon.bmp.
    const fs::path dir =
        fs::temp_directory_path() / ("morvek-without-sun-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Media");
    for (const auto& entry : fs::directory_iterator(fs::current_path() / "Media"))
        if (entry.path().filename() != "Zon.bmp")
            fs::create_symlink(entry.path(), dir / "Media" / entry.path().filename());
    fs::copy_file("/proc/self/exe", dir / "catalogue_test");
    const std::string run = "cd '" + dir.string() +
                            "' && MORVEK_WITHOUT_SUN=1 ./catalogue_test "
                            "--gtest_also_run_disabled_tests "
                            "--gtest_filter=Catalogue.DISABLED_LoadsWithoutTheSun >/dev/null 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0);
    fs::remove_all(dir);
}

} // namespace
