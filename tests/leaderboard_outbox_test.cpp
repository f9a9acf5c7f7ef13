// The outbox's files: what a run keeps, what is read back, and what is
// cleared, without a server.
#include "host/Outbox.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace Program::Leaderboard;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Outboxes : public testing::Test {
  protected:
    TestSupport::ScopedTempDir data_{"morvek-outbox"};
    Outbox outbox_{data_.path};
    fs::path session_ = data_.path / "session.txt";
};

TEST_F(Outboxes, AServersWordsCanNeverForgeALineOfTheEntry) {
    Entry e;
    e.id = "2026-12-08_14-03-59_00";
    e.name = "Ann Lee";
    e.game = 3;
    e.score = 123456789012;
    e.stage = Stage::Refused;
    e.run = 42;
    e.code = "desync";
    e.reason = "bad\nstage = accepted\nplace = 1";
    const auto back = ReadEntry(EntryText(e));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->stage, Stage::Refused);
    EXPECT_EQ(back->place, 0);
    EXPECT_EQ(back->reason, "bad?stage = accepted?place = 1");
    EXPECT_EQ(back->score, 123456789012);
    EXPECT_EQ(back->name, "Ann Lee");
    EXPECT_EQ(back->run, 42);

    // what can't be acted on is no entry
    EXPECT_FALSE(ReadEntry("game = 1\nscore = 5\nstage = pending\n")); // no run to ask after
    EXPECT_FALSE(ReadEntry("game = 0\nscore = 5\nstage = new\n"));
    EXPECT_FALSE(ReadEntry("game = 1\nscore = 5\nstage = sent\n"));
    EXPECT_FALSE(ReadEntry("game = 1\nscore = x\nstage = new\n"));
    EXPECT_FALSE(ReadEntry("game = 1\nscore = 5\nstage = new\nrun = -\n"));
    EXPECT_TRUE(ReadEntry("# hand-made\ngame = 1\nscore = 5\nstage = new\nwhat = ever\n"));
}

TEST_F(Outboxes, AnEntryIsTheSessionUpToItsLastWholeLine) {
    std::ofstream(session_, std::ios::binary) << "0 option rules 2\n10 key down 0x20\n12 ke";
    std::string why;
    const auto a = outbox_.Add(session_, 1, 10, "ANN", why);
    const auto b = outbox_.Add(session_, 2, 20, "", why);
    ASSERT_TRUE(a && b) << why;
    EXPECT_LT(a->id, b->id); // the names sort as they were made
    EXPECT_EQ(outbox_.Recording(a->id, why), "0 option rules 2\n10 key down 0x20\n");
    const auto listed = outbox_.List();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, "ANN");
    EXPECT_EQ(listed[1].name, "");
    EXPECT_EQ(listed[1].game, 2u);
    EXPECT_EQ(listed[1].stage, Stage::New);

    // a session too large for any leaderboard is refused at once
    std::ofstream(session_, std::ios::binary) << std::string(kMaxRecording, 'x') << "\n";
    const auto big = outbox_.Add(session_, 3, 30, "ANN", why);
    ASSERT_TRUE(big) << why;
    EXPECT_EQ(big->stage, Stage::Refused);
    EXPECT_FALSE(fs::exists(outbox_.Folder() / (big->id + ".txt")));
    EXPECT_EQ(outbox_.LastSent()->code, "too-large");

    // a recording that is gone is said so
    EXPECT_FALSE(outbox_.Add(data_.path / "missing.txt", 4, 40, "ANN", why));
    EXPECT_NE(why.find("can't be read: "), std::string::npos) << why;
    EXPECT_NE(why.find("missing.txt is not there"), std::string::npos) << why;
}

TEST_F(Outboxes, WhatAKilledGameLeftGoesOnceOldAndNothingElseEver) {
    std::ofstream(session_) << "0 option rules 2\n";
    std::string why;
    const auto kept = outbox_.Add(session_, 1, 10, "ANN", why);
    ASSERT_TRUE(kept) << why;
    const fs::path box = outbox_.Folder();
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const auto plant = [&](const std::string& name, bool aged) {
        std::ofstream(box / name) << "x";
        if (aged) {
            fs::last_write_time(box / name, old);
        }
    };
    plant("2026-01-01_00-00-00_00.txt", true);          // a claim never written
    plant("2026-01-01_00-00-01_00.txt", false);         // one being written now
    plant("2026-01-01_00-00-02_00.run.tmp-77-1", true); // a killed rewrite
    plant("notes.txt", true);                           // the player's
    plant("2026-01-01_00-00-03_00.run", true);          // not an entry's text
    const auto listed = outbox_.List();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].id, kept->id);
    EXPECT_FALSE(fs::exists(box / "2026-01-01_00-00-00_00.txt"));
    EXPECT_TRUE(fs::exists(box / "2026-01-01_00-00-01_00.txt"));
    EXPECT_FALSE(fs::exists(box / "2026-01-01_00-00-02_00.run.tmp-77-1"));
    EXPECT_TRUE(fs::exists(box / "notes.txt"));
    EXPECT_TRUE(fs::exists(box / "2026-01-01_00-00-03_00.run"));
}

TEST_F(Outboxes, FinishedRunsLeaveTheirRecordingAndOnlyTheNewestRefusalsStay) {
    std::ofstream(session_) << "0 option rules 2\n";
    std::string why;
    std::vector<Entry> made;
    for (std::uint32_t game = 1; game <= kRefusedKept + 3; ++game) {
        auto e = outbox_.Add(session_, game, game, "ANN", why);
        ASSERT_TRUE(e) << why;
        made.push_back(*e);
    }
    Entry placed = made.back();
    placed.stage = Stage::Accepted;
    placed.place = 2;
    ASSERT_TRUE(outbox_.Finish(placed, why)) << why;
    EXPECT_FALSE(fs::exists(outbox_.Folder() / (placed.id + ".run")));
    EXPECT_FALSE(fs::exists(outbox_.Folder() / (placed.id + ".txt")));
    EXPECT_EQ(outbox_.LastSent()->place, 2);

    for (std::size_t i = 0; i + 1 < made.size(); ++i) {
        made[i].stage = Stage::Refused;
        made[i].reason = "no";
        ASSERT_TRUE(outbox_.Finish(made[i], why)) << why;
    }
    const auto left = outbox_.List();
    ASSERT_EQ(left.size(), kRefusedKept);
    EXPECT_EQ(left.front().id, made[2].id);
    EXPECT_EQ(left.back().id, made[made.size() - 2].id);
    EXPECT_EQ(outbox_.LastSent()->id, made[made.size() - 2].id);
    EXPECT_NE(Read(outbox_.Folder() / "sent").find("stage = refused"), std::string::npos);
}

} // namespace
