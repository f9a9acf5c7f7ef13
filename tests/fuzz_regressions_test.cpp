// Every input the fuzzers have found trouble with, and their seeds, run
// through the same code as the fuzz targets on every test run.
#include "../fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kFuzz = fs::path(__FILE__).parent_path().parent_path() / "fuzz";

// Runs `target` on each kept input for it; returns how many there were.
int RunKept(const std::string& name, const std::function<void(std::string_view)>& target) {
    int count = 0;
    for (const char* kind : {"regressions", "seeds"}) {
        const fs::path dir = kFuzz / kind / name;
        if (!fs::is_directory(dir)) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream data;
            data << in.rdbuf();
            SCOPED_TRACE(entry.path().string());
            target(data.str());
            ++count;
        }
    }
    return count;
}

TEST(FuzzRegressions, HighscoreFiles) {
    EXPECT_GT(RunKept("scores", FuzzTargets::Scores), 0);
}

TEST(FuzzRegressions, SettingsFiles) {
    EXPECT_GT(RunKept("settings", FuzzTargets::SettingsFile), 0);
}

TEST(FuzzRegressions, Scripts) {
    EXPECT_GT(RunKept("script", FuzzTargets::Script), 0);
}

TEST(FuzzRegressions, Pictures) {
    EXPECT_GT(RunKept("picture", FuzzTargets::Picture), 0);
}

// A picture file whose header claims more pixels than it could hold is
// refused before anything is allocated; an honest small one still loads.
TEST(FuzzRegressions, PictureHeadersAreBelievedOnlyWhenTheFileCanHoldThem) {
    const auto load = [](const fs::path& input) {
        std::ifstream in(input, std::ios::binary);
        std::ostringstream data;
        data << in.rdbuf();
        const std::string file = FuzzTargets::TempFile("regression.bmp");
        FuzzTargets::WriteFile(file, data.str().substr(2)); // the size bytes of the target
        const std::uint32_t b = Display::LoadBitmap(file, 16, 12);
        std::remove(file.c_str());
        return b;
    };
    FuzzTargets::Picture("\x10\x10"); // opens the headless window
    EXPECT_EQ(load(kFuzz / "regressions/picture/huge-header.bmp"), 0u);
    const std::uint32_t small = load(kFuzz / "seeds/picture/small.bmp");
    EXPECT_NE(small, 0u);
    Display::DestroyBitmap(small);
}

} // namespace
