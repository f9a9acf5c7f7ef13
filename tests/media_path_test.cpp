#include "game/core/MediaPath.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

#include <fstream>

namespace {

namespace fs = std::filesystem;

class MediaPathTest : public testing::Test {
  protected:
    void SetUp() override {
        root = TestSupport::MakeTempDir("morvek-media-path");
        fs::create_directories(root / "play");
        fs::create_directories(root / "bin");
        before = fs::current_path();
        fs::current_path(root / "play");
    }
    void TearDown() override {
        fs::current_path(before);
        fs::remove_all(root);
    }
    void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "BM";
    }
    fs::path root, before;
};

TEST_F(MediaPathTest, WorkingDirectoryThenBesideTheGameThenItsShareFolder) {
    const fs::path bin = root / "bin";
    EXPECT_EQ(Morvek::MediaPath("Media/Bat.bmp", bin), "Media/Bat.bmp") << "nowhere: as asked";

    // The package's place, where Debian keeps games' data.
    Touch(root / "share" / "games" / "morvek" / "Media" / "Bat.bmp");
    EXPECT_TRUE(fs::equivalent(Morvek::MediaPath("Media/Bat.bmp", bin),
                               root / "share/games/morvek/Media/Bat.bmp"));

    Touch(root / "share" / "morvek" / "Media" / "Bat.bmp");
    EXPECT_TRUE(fs::equivalent(Morvek::MediaPath("Media/Bat.bmp", bin),
                               root / "share/morvek/Media/Bat.bmp"));

    Touch(bin / "Media" / "Bat.bmp");
    EXPECT_TRUE(fs::equivalent(Morvek::MediaPath("Media/Bat.bmp", bin), bin / "Media/Bat.bmp"));

    // The game's own place keeps first say, as it always had.
    Touch(root / "play" / "Media" / "Bat.bmp");
    EXPECT_EQ(Morvek::MediaPath("Media/Bat.bmp", bin), "Media/Bat.bmp");

    // A directory of that name is not a picture.
    fs::create_directories(root / "play" / "Media" / "Ghost.bmp");
    Touch(bin / "Media" / "Ghost.bmp");
    EXPECT_TRUE(fs::equivalent(Morvek::MediaPath("Media/Ghost.bmp", bin), bin / "Media/Ghost.bmp"));
}

TEST_F(MediaPathTest, OnlyAFolderHoldingTheGamesPicturesCounts) {
    const fs::path bin = root / "bin";
    std::string looked;
    // A Media folder of the player's own, and one with a folder where a picture belongs.
    Touch(root / "play" / "Media" / "holiday.bmp");
    fs::create_directories(bin / "Media" / "Bat.bmp");
    EXPECT_FALSE(Morvek::MediaFolderFound(looked, bin));
    for (const char* place : {"bin/Media", "share/morvek/Media", "share/games/morvek/Media"}) {
        EXPECT_NE(looked.find((root / place).lexically_normal().string()), std::string::npos)
            << place << " not named in: " << looked;
    }

    Touch(root / "share" / "games" / "morvek" / "Media" / "Dragon1.bmp");
    EXPECT_TRUE(Morvek::MediaFolderFound(looked, bin));
    EXPECT_TRUE(fs::equivalent(Morvek::MediaPath("Media/Dragon1.bmp", bin),
                               root / "share/games/morvek/Media/Dragon1.bmp"));
    // A picture missing there is named in that folder, where it was looked for.
    EXPECT_EQ(fs::path(Morvek::MediaPath("Media/Bat.bmp", bin)).lexically_normal(),
              (root / "share/games/morvek/Media/Bat.bmp").lexically_normal());
}

} // namespace
