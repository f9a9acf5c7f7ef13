// morvek --verify: what each game of a recording came to, told only by
// replaying it, and every recording it can't vouch for refused with its exit
// status and a one-line reason.
#include "host/Verify.h"
#include "host/WholeRun.h"

#include "display/Run.h"
#include "game/Rules.h"
#include "support/JsonText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
namespace Verify = Program::Verify;

fs::path Recordings() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings";
}

std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

const std::string kRules = "0 option rules " + std::to_string(Morvek::kRulesVersion) + "\n";

// A recording with its rules line taken out.
std::string WithoutRules(std::string text) {
    const auto at = text.find("0 option rules ");
    return at == std::string::npos ? text : text.erase(at, text.find('\n', at) + 1 - at);
}

// One game of the JSON line, its fields as text.
using Game = TestSupport::VerifiedGame;

class Verifying : public ::testing::Test {
  protected:
    void SetUp() override {
        build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
    }
    // The game's exit status; what it printed in `out` and `said`.
    int Run(const std::string& args, const fs::path& game = {}) {
        const fs::path program = game.empty() ? build / "morvek" : game;
        const std::string command = "cd '" + dir.path.string() + "' && timeout -s KILL 120 '" +
                                    program.string() + "' " + args + " >../out.txt 2>../said.txt";
        const int raw = std::system(command.c_str());
        out = Get(dir.path / ".." / "out.txt");
        said = Get(dir.path / ".." / "said.txt");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    int VerifyText(const std::string& text) {
        std::ofstream(box.path / "rec.txt", std::ios::binary) << text;
        return Run("--verify ../rec.txt");
    }
    std::vector<Game> Verified(const std::string& text) {
        EXPECT_EQ(VerifyText(text), 0) << said;
        EXPECT_EQ(said, "");
        EXPECT_EQ(Lines(out).size(), 1u) << out;
        return TestSupport::VerifiedGames(out);
    }
    // A replay writes nothing: the folder it ran in stays empty.
    void TearDown() override {
        if (!build.empty()) {
            EXPECT_TRUE(fs::is_empty(dir.path)) << "the verifier wrote in its folder";
        }
    }

    fs::path build;
    const TestSupport::ScopedTempDir box{"morvek-verify"};
    struct Inner {
        explicit Inner(const fs::path& in) : path(in / "run") { fs::create_directory(path); }
        fs::path path;
    } dir{box.path};
    std::string out, said;
};

TEST_F(Verifying, AGameWithoutCheatsIsReportedWithItsScoreAndTheKeptOneForItsCheats) {
    const std::string fair = Get(Recordings() / "no-cheats.txt");
    const auto games = Verified(fair);
    ASSERT_EQ(games.size(), 1u) << out;
    const Game& g = games[0];
    EXPECT_EQ(out.substr(0, out.find("\"games\"")),
              "{\"version\":\"0.9.0\",\"rules\":" + std::to_string(Morvek::kRulesVersion) + ",");
    EXPECT_EQ(g.at("game"), "1");
    EXPECT_EQ(g.at("difficulty"), "normal");
    EXPECT_EQ(g.at("speed"), "fast");
    EXPECT_EQ(g.at("practice"), "false");
    EXPECT_EQ(g.at("ended"), "true");
    EXPECT_EQ(g.at("score"), "1110");
    EXPECT_EQ(g.at("won"), "false");
    EXPECT_EQ(g.at("cheat"), "false");
    EXPECT_EQ(g.at("ticks"), "4211"); // as many as the autopilot counted
    EXPECT_TRUE(TestSupport::IsSha256(g.at("state"))) << out;
    EXPECT_TRUE(TestSupport::IsSha256(g.at("input"))) << out;
    EXPECT_NE(g.at("state"), g.at("input"));

    // The kept autopilot game holds the keypad's cheat keys, and is won.
    const auto kept = Verified(Get(Recordings() / "autopilot.txt"));
    ASSERT_EQ(kept.size(), 1u) << out;
    EXPECT_EQ(kept[0].at("cheat"), "true");
    EXPECT_EQ(kept[0].at("won"), "true");
    EXPECT_EQ(kept[0].at("ended"), "true");
}

TEST_F(Verifying, OneEventChangedIsAnotherGameAndPaddingBeforeItIsNot) {
    auto lines = Lines(Get(Recordings() / "no-cheats.txt"));
    const auto fair = Verified(Joined(lines));
    ASSERT_EQ(fair.size(), 1u);

    // A move the other way, halfway through the game.
    auto changed = lines;
    std::size_t moves = 0;
    for (auto& line : changed) {
        if (line.find(" key down 0x27") != std::string::npos && ++moves == 12) {
            line.replace(line.find("0x27"), 4, "0x25");
            break;
        }
    }
    ASSERT_EQ(moves, 12u);
    const auto other = Verified(Joined(changed));
    ASSERT_EQ(other.size(), 1u);
    EXPECT_NE(other[0].at("input"), fair[0].at("input"));
    EXPECT_NE(other[0].at("state"), fair[0].at("state"));

    // The same game a second later, after the mouse wandered over the menu.
    std::vector<std::string> padded;
    bool moved = false;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == '#' || line.rfind("0 option", 0) == 0) {
            padded.push_back(line);
            continue;
        }
        if (!moved) {
            for (int ms = 100; ms < 1000; ms += 100) {
                padded.push_back(std::to_string(ms) + " mouse move " + std::to_string(ms / 2) +
                                 " 600");
            }
            moved = true;
        }
        const auto space = line.find(' ');
        padded.push_back(std::to_string(std::stoull(line.substr(0, space)) + 1000) +
                         line.substr(space));
    }
    const auto later = Verified(Joined(padded));
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].at("input"), fair[0].at("input"));
    EXPECT_EQ(later[0].at("score"), fair[0].at("score"));
    EXPECT_EQ(later[0].at("ticks"), fair[0].at("ticks"));
}

TEST_F(Verifying, TheGamesOfASessionAreNumberedInOrder) {
    // The autopilot plays on until 6000 ticks: its second game is cut short.
    ASSERT_EQ(Run("--headless --autopilot-no-cheats --autopilot-ticks 6000 --record ../two.txt"), 0)
        << said;
    const auto games = Verified(Get(box.path / "two.txt"));
    ASSERT_EQ(games.size(), 2u) << out;
    EXPECT_EQ(games[0].at("game"), "1");
    EXPECT_EQ(games[1].at("game"), "2");
    EXPECT_EQ(games[0].at("ended"), "true");
    EXPECT_EQ(games[1].at("ended"), "false");
    EXPECT_NE(games[0].at("input"), games[1].at("input"));
    // Its first game is the kept one's: the same game in another session.
    const auto kept = Verified(Get(Recordings() / "no-cheats.txt"));
    EXPECT_EQ(games[0].at("input"), kept[0].at("input"));
    EXPECT_EQ(games[0].at("score"), kept[0].at("score"));
}

TEST_F(Verifying, ACheatKeyHeldSinceTheMenuAndAPracticeStartAreReported) {
    // New game, then Escape gives it up.
    const std::string game = "20 mouse move 175 175\n20 mouse down left\n50 mouse up left\n"
                             "3000 key down 0x1B\n3100 key up 0x1B\n4000 mouse move 0 0\n";
    const auto plain = Verified(kRules + game);
    ASSERT_EQ(plain.size(), 1u) << out;
    EXPECT_EQ(plain[0].at("cheat"), "false");
    EXPECT_EQ(plain[0].at("ended"), "true");
    EXPECT_EQ(plain[0].at("practice"), "false");

    const auto held = Verified(kRules + "10 key down 0x61\n" + game);
    ASSERT_EQ(held.size(), 1u) << out;
    EXPECT_EQ(held[0].at("cheat"), "true");

    const auto practice = Verified(kRules +
                                   "0 option practice level 3 boss\n0 option difficulty hard\n"
                                   "0 option speed slow\n" +
                                   game);
    ASSERT_EQ(practice.size(), 1u) << out;
    EXPECT_EQ(practice[0].at("practice"), "true");
    EXPECT_EQ(practice[0].at("difficulty"), "hard");
    EXPECT_EQ(practice[0].at("speed"), "slow");
}

TEST_F(Verifying, WhatItCantVouchForIsRefusedWithItsReason) {
    const std::string kept = Get(Recordings() / "autopilot.txt");
    struct Case {
        const char* what;
        std::string text;
        int status;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"no rules line", WithoutRules(kept), Verify::kOtherRules, "names no rules version"},
        {"other rules", "0 option rules 999\n" + WithoutRules(kept), Verify::kOtherRules,
         "rules version 999"},
        {"malformed", kRules + "10 mouse move 1 1\n20 jump\n", Verify::kMalformed,
         "unknown event 'jump'"},
        {"binary",
         std::string("\x7f"
                     "ELF\0\x01\x02\xff\xfe",
                     9) +
             "\n10 close\n",
         Verify::kMalformed, "recording:1:"},
        {"empty", "", Verify::kMalformed, "no events"},
        {"unknown option", kRules + "0 option colour red\n10 close\n", Verify::kMalformed,
         "no option 'colour red'"},
        {"no game", kRules + "10 mouse move 1 1\n", Verify::kNoGameEnded, "begins no game"},
        {"game never ends",
         kRules + "20 mouse move 175 175\n20 mouse down left\n"
                  "50 mouse up left\n2000 key down 0x50\n2100 key up 0x50\n",
         Verify::kNoGameEnded, "no game of the recording comes to its end"},
        {"oversize", kRules + std::string(Verify::kMaxBytes, '#'), Verify::kOverLimit,
         "more than 4194304"},
        {"too many events",
         [] {
             std::string many = kRules;
             for (std::size_t i = 0; i <= Verify::kMaxEvents; ++i) {
                 many += "1 close\n";
             }
             return many;
         }(),
         Verify::kOverLimit, "events, more than 400000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VerifyText(c.text), c.status) << c.what << ": " << said;
        EXPECT_EQ(out, "") << c.what;
        EXPECT_EQ(said.rfind("morvek: verify: ", 0), 0u) << c.what << ": " << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(Lines(said).size(), 1u) << c.what << ": " << said;
    }

    // The command line: the file alone, and one that is there.
    std::ofstream(box.path / "rec.txt") << kRules << kept;
    EXPECT_EQ(Run("--verify ../rec.txt --headless"), Verify::kBadCommandLine);
    EXPECT_NE(said.find("no other option"), std::string::npos) << said;
    EXPECT_EQ(Run("--verify ../missing.txt"), Verify::kBadCommandLine);
    EXPECT_EQ(Run("--verify .."), Verify::kBadCommandLine);
    EXPECT_NE(said.find("not a regular file"), std::string::npos) << said;

    // Without the pictures, whose masks decide what hits what, no verdict.
    const fs::path alone = box.path / "bin" / "morvek";
    fs::create_directories(alone.parent_path());
    fs::copy_file(build / "morvek", alone);
    EXPECT_EQ(Run("--verify ../rec.txt", alone), Verify::kNoPictures) << said;
    EXPECT_NE(said.find("no Media folder"), std::string::npos) << said;
    EXPECT_EQ(out, "");
}

// Endless play is stopped at the tick limit, here a small one.
TEST_F(Verifying, PlayPastTheTickLimitIsStopped) {
    const TestSupport::ScopedTempDir temp("morvek-verify-ticks");
    Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
    std::string json, reason;
    Verify::Limits limits;
    limits.ticks = 1000;
    EXPECT_EQ(Verify::Run((Recordings() / "no-cheats.txt").string(), "0", json, reason, limits),
              Verify::kOverLimit);
    EXPECT_EQ(json, "");
    EXPECT_EQ(reason, "the games play more than 1000 ticks");
    Display::Run::Reset();
}

} // namespace
