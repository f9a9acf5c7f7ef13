#include "display/Wimdows.h"
#include "game/Procedures.h"
#include "game/core/Catalogue.h"
#include "game/core/World.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using Procedures::catalogue;
using Procedures::images;

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
                    EXPECT_EQ(images[g][s][e], 0u) << g << " " << s << " " << e;
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
    Procedures::Loadbmp();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const auto& row = catalogue[i];
        EXPECT_EQ(images[row.group][row.slot][row.entry], i + 1) << row.file;
    }
    expectOnlyCatalogueFilled();
}

TEST(Catalogue, MissingFileLeavesZeroAndLoadingGoesOn) {
    // A copy of Media/ without the sun picture, in a directory of its own.
    const fs::path home = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / "morvek-catalogue-test";
    fs::remove_all(dir);
    fs::create_directories(dir / "Media");
    for (const auto& entry : fs::directory_iterator(home / "Media"))
        if (entry.path().filename() != "Zon.bmp")
            fs::create_symlink(entry.path(), dir / "Media" / entry.path().filename());
    fs::current_path(dir);
    TestWorld::Fresh();
    Procedures::Loadbmp();
    fs::current_path(home);
    fs::remove_all(dir);

    EXPECT_EQ(images[4][8][1], 0u);
    EXPECT_EQ(images[4][8][2], 52u); // its mask takes the number the sun would have had
    EXPECT_EQ(images[7][14][2], 109u);
}

TEST(Catalogue, WithoutMediaEverythingStaysZero) {
    const fs::path home = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / "morvek-catalogue-empty";
    fs::create_directories(dir);
    fs::current_path(dir);
    TestWorld::Fresh();
    Procedures::Loadbmp();
    fs::current_path(home);
    fs::remove_all(dir);
    for (const auto& row : catalogue)
        EXPECT_EQ(images[row.group][row.slot][row.entry], 0u) << row.file;
}

} // namespace
