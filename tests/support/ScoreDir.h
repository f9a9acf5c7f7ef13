// A folder of its own for each test of the highscore file.
#pragma once

#include "game/core/World.h"
#include "game/screens/ScoreFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace ScoreTests {

namespace fs = std::filesystem;

std::array<char, 7> Name(std::string_view s) {
    std::array<char, 7> n;
    n.fill(' ');
    for (std::size_t i = 0; i < s.size() && i < n.size(); ++i) {
        n[i] = s[i];
    }
    return n;
}

// A fresh directory per test, removed afterwards.
class ScoreDir : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = TestSupport::MakeTempDir("morvek-scores");
        saved = Morvek::scorefile;
        Morvek::scorefile = (dir / "myscore.txt").string();
        Morvek::world = Morvek::World{};
    }
    void TearDown() override {
        Morvek::scorefile = saved;
        fs::remove_all(dir);
    }
    static void Put(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string Get(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Names of files a save may leave beside the table, sorted.
    std::string Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.find(".tmp") != std::string::npos) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        std::string all;
        for (const auto& n : names) {
            all += n + " ";
        }
        return all;
    }
    fs::path dir;
    std::string saved;
};

} // namespace ScoreTests
