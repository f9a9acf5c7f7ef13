// Every session is kept as a replay: names that sort as the sessions began,
// never two alike, and pruning that removes only the oldest of its own.
#include "display/Run.h"
#include "host/Replays.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;
namespace chrono = std::chrono;
namespace Replays = Program::Replays;

namespace {

using namespace std::chrono_literals;

chrono::sys_seconds At(chrono::year_month_day day, chrono::seconds time = 0s) {
    return chrono::sys_days{day} + time;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReplayNames, SortAsTheSessionsBegan) {
    using chrono::December, chrono::January;
    EXPECT_EQ(Replays::NameFor(At(2026y / December / 8, 14h + 3min + 59s), 0),
              "2026-12-08_14-03-59_00.txt");
    // In the order the sessions began: across a second, a minute, midnight,
    // a year, and several in one second.
    const std::vector<std::string> inOrder{
        Replays::NameFor(At(1999y / December / 31, 23h + 59min + 59s), 0),
        Replays::NameFor(At(2000y / January / 1), 0),
        Replays::NameFor(At(2000y / January / 1), 1),
        Replays::NameFor(At(2000y / January / 1), 10),
        Replays::NameFor(At(2000y / January / 1, 1s), 0),
        Replays::NameFor(At(2000y / January / 1, 59s), 99),
        Replays::NameFor(At(2000y / January / 1, 60s), 0),
        Replays::NameFor(At(2000y / January / 2, 9h), 0),
        Replays::NameFor(At(2000y / January / 2, 10h), 0),
        Replays::NameFor(At(2100y / January / 1), 0),
    };
    std::vector<std::string> sorted = inOrder;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, inOrder);
    for (const auto& name : inOrder) {
        EXPECT_TRUE(Replays::IsReplayName(name)) << name;
    }
}

TEST(ReplayNames, OnlyTheExactFormIsOurs) {
    for (const char* foreign :
         {"", "notes.txt", "2026-12-08_14-03-59_00.txt.bak", "2026-12-08_14-03-59_00.TXT",
          "2026-12-08_14-03-59_0.txt", "2026-12-08_14-03-59_000.txt", "2026-12-08_14-03-59.txt",
          "x2026-12-08_14-03-59_00.txt", "2026-12-08 14-03-59_00.txt", "2026-12-08_14-03-5a_00.txt",
          "2026-12-08_14-03-59_00.txt~", ".2026-12-08_14-03-59_00.txt",
          "../2026-12-08_14-03_00.txt", "2026-12-08_14-03-59_00.txt.tmp-1"}) {
        EXPECT_FALSE(Replays::IsReplayName(foreign)) << foreign;
    }
}

class ReplayFolder : public ::testing::Test {
  protected:
    void TearDown() override { Display::Run::Reset(); }
    // A replay of ours, named for `second` of a day, with something in it.
    fs::path Ours(int second, unsigned number = 0) {
        fs::create_directories(folder);
        const fs::path file =
            folder /
            Replays::NameFor(At(chrono::year{2026} / 1 / 1, chrono::seconds{second}), number);
        std::ofstream(file) << "0 option rules 1\n";
        return file;
    }
    TestSupport::ScopedTempDir dir{"morvek-replays"};
    fs::path folder = dir.path / "data" / "replays";
};

TEST_F(ReplayFolder, SessionsOfOneSecondEachGetANewFile) {
    const auto start = At(chrono::year{2026} / 12 / 8, 10s);
    std::vector<fs::path> made(3);
    std::string why;
    for (auto& file : made) {
        ASSERT_TRUE(Replays::Create(folder, start, file, why)) << why;
        std::ofstream(file) << "written"; // a session under way stays as it is
    }
    EXPECT_EQ(made[0].filename(), "2026-12-08_00-00-10_00.txt");
    EXPECT_EQ(made[1].filename(), "2026-12-08_00-00-10_01.txt");
    EXPECT_EQ(made[2].filename(), "2026-12-08_00-00-10_02.txt");
    for (const auto& file : made) {
        EXPECT_EQ(TestSupport::ReadFile(file), "written");
    }
    // Once every number of that second is taken, none is written over.
    for (unsigned n = 3; n < Replays::kPerSecond; ++n) {
        std::ofstream(folder / Replays::NameFor(start, n)) << "taken";
    }
    fs::path none;
    EXPECT_FALSE(Replays::Create(folder, start, none, why));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(TestSupport::ReadFile(folder / Replays::NameFor(start, 99)), "taken");
}

TEST_F(ReplayFolder, PruningRemovesTheOldestOfOursAndNothingElse) {
    const fs::path oldest = Ours(1), older = Ours(2), old = Ours(3, 0), same = Ours(3, 1);
    const fs::path current = Ours(9);
    // What is not ours: other names, a folder and a link named as ours, and
    // what that link points at.
    const fs::path outside = dir.path / "precious.txt";
    std::ofstream(outside) << "precious";
    std::ofstream(folder / "notes.txt") << "mine";
    std::ofstream(folder / (oldest.filename().string() + ".bak")) << "mine";
    fs::create_directory(folder / "2000-01-01_00-00-00_00.txt");
    std::error_code noLinks; // a system may refuse links to a user
    fs::create_symlink(outside, folder / "2000-01-01_00-00-01_00.txt", noLinks);
    const auto foreign = [&] {
        return fs::exists(folder / "notes.txt") &&
               fs::exists(folder / (oldest.filename().string() + ".bak")) &&
               fs::is_directory(folder / "2000-01-01_00-00-00_00.txt") &&
               (noLinks || fs::is_symlink(folder / "2000-01-01_00-00-01_00.txt")) &&
               TestSupport::ReadFile(outside) == "precious";
    };

    EXPECT_EQ(Replays::Prune(folder, 10, current), 0u);
    EXPECT_EQ(Replays::Prune(folder, 2, current), 3u);
    EXPECT_TRUE(fs::exists(same) && fs::exists(current));
    EXPECT_FALSE(fs::exists(oldest) || fs::exists(older) || fs::exists(old));
    EXPECT_TRUE(foreign());

    // The session being written stays, even when a clock set back named it
    // before every other.
    const fs::path newer = Ours(50), newest = Ours(60);
    const fs::path early = Ours(0);
    EXPECT_EQ(Replays::Prune(folder, 2, early), 3u);
    EXPECT_TRUE(fs::exists(early) && fs::exists(newest));
    EXPECT_FALSE(fs::exists(newer));
    EXPECT_EQ(Replays::Prune(folder, 1, early), 1u);
    EXPECT_TRUE(fs::exists(early));
    EXPECT_TRUE(foreign());
    EXPECT_EQ(Names(folder).size(), noLinks ? 4u : 5u) << "the current one and what is not ours";

    // A folder that is not there prunes nothing.
    EXPECT_EQ(Replays::Prune(dir.path / "none", 1, early), 0u);
}

TEST_F(ReplayFolder, ASessionRecordsFromItsStartAndKeepsTheLastFew) {
    Ours(1);
    Ours(2);
    Ours(3);
    const fs::path file = Replays::Start(folder, 2, At(chrono::year{2026} / 12 / 8));
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.parent_path(), folder);
    Display::Run::InputEvent key;
    key.kind = Display::Run::InputEvent::KeyDown;
    key.code = 0x20;
    Display::Run::Apply(key);
    // Each event is in the file as soon as the game has taken it.
    const std::string text = TestSupport::ReadFile(file);
    EXPECT_EQ(text.substr(0, 15), "0 option rules ") << text;
    EXPECT_NE(text.find("\n0 option score 10 "), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\n0 key down 0x20\n")) << text;
    EXPECT_EQ(Names(folder),
              (std::vector<std::string>{Replays::NameFor(At(chrono::year{2026} / 1 / 1, 3s), 0),
                                        file.filename().string()}));
}

TEST_F(ReplayFolder, ANoneKeptOrUnwritableFolderRecordsNothingAndPlayGoesOn) {
    EXPECT_TRUE(Replays::Start(folder, 0, At(chrono::year{2026} / 12 / 8)).empty());
    EXPECT_FALSE(fs::exists(folder)) << "keeping none makes nothing";

    // A file stands where the folder would be made.
    fs::create_directories(folder.parent_path());
    std::ofstream(folder) << "in the way";
    testing::internal::CaptureStderr();
    const fs::path file = Replays::Start(folder, 5, At(chrono::year{2026} / 12 / 8));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(file.empty());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("not kept as a replay"), std::string::npos) << said;
    EXPECT_EQ(TestSupport::ReadFile(folder), "in the way");
    Display::Run::InputEvent key;
    key.kind = Display::Run::InputEvent::KeyDown;
    testing::internal::CaptureStderr();
    Display::Run::Apply(key); // nothing to write to, nothing more said
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
