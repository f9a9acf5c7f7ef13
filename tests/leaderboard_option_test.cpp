// --leaderboard on the game's command line: a bad address is a bad option.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(fs::current_path() / "morvek")) {
            GTEST_SKIP() << "needs the built game";
        }
    }
    // The game's exit status, its stdout and stderr in `out`.
    int Run(const std::string& args, std::string& out) {
        const std::string file = (dir.path / "out.txt").string();
        const std::string command =
            "'" + (fs::current_path() / "morvek").string() + "' " + args + " >'" + file + "' 2>&1";
        const int raw = std::system(command.c_str());
        std::ifstream in(file, std::ios::binary);
        out.assign(std::istreambuf_iterator<char>(in), {});
        return WEXITSTATUS(raw);
    }
    TestSupport::ScopedTempDir dir{"morvek-leaderboard"};
};

TEST_F(CommandLine, ABadAddressIsABadOptionAndAGoodOneIsTaken) {
    std::string out;
    EXPECT_EQ(Run("--leaderboard http://127.0.0.1@evil.com --version", out), 2) << out;
    EXPECT_NE(out.find("morvek: --leaderboard: 'http://127.0.0.1@evil.com'"), std::string::npos)
        << out;
    EXPECT_NE(out.find("usage: morvek"), std::string::npos) << out;
    EXPECT_EQ(Run("--leaderboard", out), 2) << out;
    EXPECT_EQ(Run("--leaderboard https://board.example.org:8443/m --version", out), 0) << out;
}
} // namespace
