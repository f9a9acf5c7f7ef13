#include "display/Display.h"
#include "display/Layer.h"
#include "game/core/Catalogue.h"
#include "game/core/World.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using Morvek::catalogue;
using Morvek::world;

namespace {

// Every element the catalogue does not name must stay 0.
void expectOnlyCatalogueFilled() {
    std::set<std::tuple<int, int, int>> named;
    for (const auto& row : catalogue)
        named.insert({row.group, row.slot, row.entry});
    for (int g = 1; g <= 7; ++g)
        for (int s = 1; s <= 14; ++s)
            for (int e = 1; e <= 2; ++e) {
                if (!named.count({g, s, e})) {
                    EXPECT_EQ(world.images[g][s][e], 0u) << g << " " << s << " " << e;
                }
            }
}

TEST(Catalogue, TableHoldsEachElementOnceAndOneHundredAndEightFiles) {
    std::set<std::tuple<int, int, int>> seen;
    std::set<std::string_view> files;
    for (const auto& row : catalogue) {
        EXPECT_TRUE(seen.insert({row.group, row.slot, row.entry}).second) << row.file;
        files.insert(row.file);
    }
    EXPECT_EQ(files.size(), 108u);
}

TEST(Catalogue, LoadbmpNumbersEveryPictureInCatalogueOrder) {
    TestWorld::Fresh();
    Morvek::LoadPictures();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const auto& row = catalogue[i];
        EXPECT_EQ(world.images[row.group][row.slot][row.entry], i + 1) << row.file;
    }
    expectOnlyCatalogueFilled();
}

// A game left and started again in one process (as the tests and a replay
// do) must not keep the last game's pictures: all of them go, the last
// groups and slots included, and loading again gives the same numbers.
TEST(Catalogue, DestroybmpReleasesEveryPictureLoaded) {
    TestWorld::Fresh();
    Morvek::LoadPictures();
    ASSERT_EQ(Display::BitLen(), catalogue.size());
    Morvek::FreePictures();
    EXPECT_EQ(Display::BitLen(), 0u) << "pictures left behind";
    for (const auto& row : catalogue) {
        EXPECT_EQ(world.images[row.group][row.slot][row.entry], 0u) << row.file;
    }
    Morvek::LoadPictures();
    EXPECT_EQ(Display::BitLen(), catalogue.size());
    EXPECT_EQ(world.images[catalogue.back().group][catalogue.back().slot][catalogue.back().entry],
              catalogue.size());
}

// Runs only inside the copy that the next test makes, where the sun picture
// is missing.
TEST(Catalogue, LoadsWithoutTheSun) {
    if (!std::getenv("MORVEK_WITHOUT_SUN")) {
        GTEST_SKIP() << "run by MissingFileLeavesZeroAndLoadingGoesOn";
    }
    TestWorld::Fresh();
    Morvek::LoadPictures();
    EXPECT_EQ(world.images[4][8][1], 0u);
    EXPECT_EQ(world.images[4][8][2], 52u); // its mask takes the number the sun would have had
    EXPECT_EQ(world.images[7][14][2], 109u);
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
                            "--gtest_filter=Catalogue.LoadsWithoutTheSun >/dev/null 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0);
    fs::remove_all(dir);
}

} // namespace
