// Saving the highscores on Windows: games saving at once, a held lock,
// names the save must not take over, device names, read-only and damaged
// tables, folders with accents, and what a killed save leaves.
#include "game/core/World.h"
#include "game/screens/ScoreFile.h"
#include "platform/SafeFile.h"
#include "support/ScoreDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace Morvek;
using ScoreTests::Name;
namespace fs = std::filesystem;

namespace {

const std::string kTable = "A      100 B      90 C      80 D      70 E      60 F      50 "
                           "G      40 H      30 I      20 J      10";

std::wstring Wide(const std::string& utf8) {
    return fs::u8path(utf8).wstring();
}

class WindowsSave : public ScoreTests::ScoreDir {
  protected:
    void SetUp() override {
        ScoreDir::SetUp();
        table = scorefile;
    }
    bool SaveAs(std::string_view name, std::uint32_t result, std::string* said = nullptr,
                const std::string& path = "") {
        ScoreFile::Table got{};
        std::string error;
        testing::internal::CaptureStderr();
        const bool ok =
            ScoreFile::Save(path.empty() ? table : path, Name(name), result, got, error);
        const std::string out = testing::internal::GetCapturedStderr();
        if (said != nullptr) {
            *said = out + error;
        }
        return ok;
    }
    std::string table;
};

} // namespace

TEST_F(WindowsSave, GamesSavingAtOnceKeepEveryResult) {
    Put(table, kTable);
    constexpr int kGames = 8;
    std::vector<std::thread> games;
    std::vector<int> saved(kGames, 0);
    std::vector<std::string> errors(kGames);
    for (int g = 0; g < kGames; ++g) {
        games.emplace_back([&, g] {
            ScoreFile::Table got{};
            saved[g] = ScoreFile::Save(table, Name(std::string(1, static_cast<char>('K' + g))),
                                       1000 + static_cast<std::uint32_t>(g), got, errors[g]);
        });
    }
    for (auto& game : games) {
        game.join();
    }
    ScoreFile::Table got{};
    ASSERT_EQ(ScoreFile::Read(table, got), 10u);
    for (int g = 0; g < kGames; ++g) {
        EXPECT_TRUE(saved[g]) << "game " << g << ": " << errors[g];
        const std::uint32_t place = static_cast<std::uint32_t>(kGames - g);
        EXPECT_EQ(got[place].points, 1000u + static_cast<std::uint32_t>(g)) << "game " << g;
    }
    EXPECT_EQ(got[kGames + 1].points, 100u);
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(WindowsSave, SaveWaitsForAHeldLockAndSaysSo) {
    Put(table, kTable);
    std::string error;
    auto held = std::make_unique<SafeFile::Lock>();
    ASSERT_TRUE(held->Acquire(table + ".lock", 1000, {}, error)) << error;
    {
        // Waiting has a limit, and giving up names what was held.
        SafeFile::Lock lock;
        EXPECT_FALSE(lock.Acquire(table + ".lock", 50, {}, error));
        EXPECT_NE(error.find(table + ".lock"), std::string::npos) << error;
    }
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held.reset();
    });
    std::string said;
    EXPECT_TRUE(SaveAs("WAITED", 500, &said));
    release.join();
    EXPECT_NE(said.find("waiting for another game"), std::string::npos) << said;
    EXPECT_EQ(Get(table).substr(0, 11), "WAITED 500 ");
}

TEST_F(WindowsSave, TemporaryNamesInUseAreNeverTakenOver) {
    Put(table, kTable);
    // The names the save will try next, held open by someone else so that
    // they can be neither removed nor opened.
    std::string next;
    {
        SafeFile::TempFile probe;
        std::string error;
        ASSERT_TRUE(probe.Create(table, nullptr, error)) << error;
        next = probe.Path();
    }
    const auto dash = next.rfind('-');
    const int serial = std::stoi(next.substr(dash + 1));
    std::vector<HANDLE> held;
    std::vector<std::string> names;
    for (int n = serial + 1; n <= serial + 5; ++n) {
        names.push_back(next.substr(0, dash + 1) + std::to_string(n));
        const HANDLE h = CreateFileW(Wide(names.back()).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "THEIRS", 6, &written, nullptr);
        held.push_back(h);
    }
    std::string said;
    const bool ok = SaveAs("OWL", 55, &said);
    for (const HANDLE h : held) {
        CloseHandle(h);
    }
    EXPECT_TRUE(ok) << said;
    EXPECT_NE(Get(table).find("OWL    55 "), std::string::npos);
    for (const auto& name : names) {
        EXPECT_EQ(Get(name), "THEIRS") << name;
    }
}

TEST_F(WindowsSave, DevicesAndFoldersAreNeitherReadNorReplaced) {
    fs::create_directory(dir / "folder");
    for (const std::string& path :
         {std::string("NUL"), std::string("CON"), (dir / "folder").string()}) {
        SafeFile::Status status;
        std::string error;
        ASSERT_TRUE(SafeFile::Inspect(path, status, error)) << path << ": " << error;
        EXPECT_NE(status.kind, SafeFile::Kind::Regular) << path;
        EXPECT_FALSE(ScoreFile::CheckPath(path, error)) << path;
        std::string said;
        EXPECT_FALSE(SaveAs("OWL", 500, &said, path)) << path;
        std::string data;
        EXPECT_NE(SafeFile::ReadRegular(path, 100, data, error), SafeFile::ReadResult::Ok) << path;
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

TEST_F(WindowsSave, ReadOnlyTableIsLeftAlone) {
    Put(table, kTable);
    ASSERT_TRUE(SetFileAttributesW(Wide(table).c_str(), FILE_ATTRIBUTE_READONLY));
    std::string said;
    EXPECT_FALSE(SaveAs("OWL", 500, &said));
    EXPECT_NE(said.find(table), std::string::npos) << said;
    EXPECT_EQ(Get(table), kTable);
    SetFileAttributesW(Wide(table).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsSave, DamagedTableIsKeptBesideBeforeItIsReplaced) {
    const std::string damaged = "\n" + kTable;
    Put(table, damaged);
    std::string said;
    ASSERT_TRUE(SaveAs("OWL", 55, &said));
    EXPECT_EQ(Get(table + ".bak"), damaged);
    EXPECT_EQ(Get(table).substr(0, 11), "A      100 ");
    EXPECT_NE(Get(table).find("OWL    55 "), std::string::npos);
    // Damaged again: the first backup stays as it is.
    Put(table, "ASH    -5 " + kTable);
    ASSERT_TRUE(SaveAs("KAT", 5, &said));
    EXPECT_EQ(Get(table + ".bak"), damaged);
    EXPECT_EQ(Get(table + ".bak.2"), "ASH    -5 " + kTable);
}

TEST_F(WindowsSave, FolderWithSpacesAndAccentsHoldsTheTable) {
    const fs::path home = dir / fs::u8path("José Müller");
    fs::create_directory(home);
    const std::string path = (home / "myscore.txt").string(); // UTF-8 here
    std::string error;
    EXPECT_TRUE(ScoreFile::CheckPath(path, error)) << error;
    ASSERT_TRUE(SaveAs("OWL", 55, nullptr, path));
    ASSERT_TRUE(SaveAs("KAT", 66, nullptr, path));
    ScoreFile::Table got{};
    ASSERT_EQ(ScoreFile::Read(path, got), 10u);
    EXPECT_EQ(got[1].name, Name("KAT"));
    EXPECT_EQ(got[2].name, Name("OWL"));
    EXPECT_TRUE(fs::exists(home / "myscore.txt.lock"));
}

TEST_F(WindowsSave, ScoresPathThatCantHoldATableStopsTheGameAtOnce) {
    if (!fs::exists("morvek.exe")) {
        GTEST_SKIP() << "the game is not built here";
    }
    fs::create_directory(dir / "folder");
    for (const std::string& path :
         {std::string("NUL"), (dir / "folder").string(), (dir / "none" / "myscore.txt").string()}) {
        const std::string command = "morvek.exe --headless --scores \"" + path + "\" >NUL 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 2) << path;
    }
}
