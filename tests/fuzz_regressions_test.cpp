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

TEST(FuzzRegressions, Scripts) {
    EXPECT_GT(RunKept("script", FuzzTargets::Script), 0);
}

TEST(FuzzRegressions, Pictures) {
    EXPECT_GT(RunKept("picture", FuzzTargets::Picture), 0);
}

} // namespace
