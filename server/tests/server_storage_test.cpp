// The storage, on SQLite, or on a throw-away PostgreSQL when
// MORVEK_SERVER_BACKEND=postgres: the same cases on both.
#include "Database.h"
#include "Sha256.h"
#include "Storage.h"
#include "support/Harness.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace {

using namespace Server;
using std::chrono::seconds;

class StorageTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        where_ = Harness::NewDatabase(dir_, why);
        if (where_.empty()) {
            GTEST_SKIP() << why;
        }
        storage_ = OpenStorage(where_);
    }

    NewRun Run(const std::string& recording, std::int64_t game = 0, std::int64_t claimed = 100) {
        return {"ANN", game, claimed, "127.0.0.1", recording, Sha256Hex(recording)};
    }

    static Outcome Accepted(std::int64_t score, const std::string& input,
                            const std::string& speed = "fast") {
        Outcome o;
        o.accepted = true;
        o.game = 1;
        o.rules = 1;
        o.difficulty = "normal";
        o.speed = speed;
        o.score = score;
        o.input = input;
        o.state = std::string(64, 's');
        return o;
    }

    // Submits, claims and finishes one run at once.
    std::int64_t Ranked(const std::string& recording, const Outcome& o) {
        const auto id = storage_->Submit(Run(recording)).run;
        const auto job = storage_->Claim("w", seconds(60));
        EXPECT_TRUE(job && job->run == id);
        EXPECT_TRUE(storage_->Finish(id, "w", o));
        return id;
    }

    Harness::TempDir dir_;
    std::string where_;
    std::unique_ptr<Storage> storage_;
};

TEST_F(StorageTest, ARunIsStoredOnceWithItsJobAndASecondSendingFindsIt) {
    const auto first = storage_->Submit(Run("rec"));
    EXPECT_TRUE(first.created);
    const auto again = storage_->Submit(Run("rec"));
    EXPECT_FALSE(again.created);
    EXPECT_EQ(again.run, first.run);
    // another game of the same session is another run
    EXPECT_NE(storage_->Submit(Run("rec", 2)).run, first.run);
    EXPECT_EQ(storage_->Queued(), 2);
    EXPECT_EQ(storage_->Pending("127.0.0.1"), 2);
    EXPECT_EQ(storage_->Pending("10.0.0.1"), 0);
    EXPECT_EQ(storage_->Recording(first.run), "rec");
    const auto run = storage_->Find(first.run);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->status, "pending");
    EXPECT_EQ(run->name, "ANN");
    EXPECT_FALSE(storage_->Find(first.run + 100));
}

TEST_F(StorageTest, RecordingsComeBackByteForByte) {
    std::string bytes = "0 option rules 1\n";
    for (int c = 1; c < 256; ++c) {
        bytes += static_cast<char>(c);
    }
    const auto id = storage_->Submit(Run(bytes)).run;
    EXPECT_EQ(storage_->Recording(id), bytes);
    // text from outside that is not UTF-8 is stored all the same (PostgreSQL checks)
    NewRun odd = Run("odd");
    odd.address = "\xff\x80 proxy's word";
    EXPECT_TRUE(storage_->Submit(odd).created);
    Outcome o = Accepted(5, std::string(64, '1'));
    o.accepted = false;
    o.code = "malformed";
    o.reason = "morvek: verify: line \xc3 bad";
    const auto job = storage_->Claim("w", seconds(60));
    ASSERT_TRUE(job);
    EXPECT_TRUE(storage_->Finish(job->run, "w", o));
}

TEST_F(StorageTest, EachJobIsClaimedByOneWorkerAndFinishedOnce) {
    const auto a = storage_->Submit(Run("a")).run;
    const auto b = storage_->Submit(Run("b")).run;
    const auto one = storage_->Claim("w1", seconds(60));
    const auto two = storage_->Claim("w2", seconds(60));
    ASSERT_TRUE(one && two);
    EXPECT_EQ(std::set<std::int64_t>({one->run, two->run}), std::set<std::int64_t>({a, b}));
    EXPECT_FALSE(storage_->Claim("w3", seconds(60)));
    // only the holder stores the result, and only once
    EXPECT_FALSE(storage_->Finish(one->run, "w2", Accepted(5, std::string(64, '1'))));
    EXPECT_TRUE(storage_->Finish(one->run, "w1", Accepted(5, std::string(64, '1'))));
    EXPECT_FALSE(storage_->Finish(one->run, "w1", Accepted(5, std::string(64, '1'))));
    EXPECT_EQ(storage_->Find(one->run)->status, "accepted");
    EXPECT_EQ(storage_->Queued(), 1);
}

TEST_F(StorageTest, AClaimLeftPastItsLeaseOrByADeadServerIsTakenOver) {
    const auto id = storage_->Submit(Run("a")).run;
    ASSERT_TRUE(storage_->Claim("dead/0", seconds(60)));
    EXPECT_FALSE(storage_->Claim("alive/0", seconds(60)));
    EXPECT_EQ(storage_->Claimants(), std::vector<std::string>{"dead/0"});
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    const auto taken = storage_->Claim("alive/0", seconds(1));
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->run, id);
    // the first holder coming back late stores nothing
    EXPECT_FALSE(storage_->Finish(id, "dead/0", Accepted(5, std::string(64, '1'))));
    storage_->ReleaseAll("alive/");
    EXPECT_TRUE(storage_->Claim("next/0", seconds(60)));
}

TEST_F(StorageTest, AGameAlreadyOnABoardOfItsRulesIsACopy) {
    const std::string input(64, 'c');
    const auto first = Ranked("first", Accepted(900, input));
    const auto copy = Ranked("padded", Accepted(900, input));
    const auto run = storage_->Find(copy);
    EXPECT_EQ(run->status, "refused");
    EXPECT_EQ(run->outcome.code, "copy");
    EXPECT_NE(run->outcome.reason.find(std::to_string(first)), std::string::npos);
    // the same game under other rules is another game
    Outcome other = Accepted(900, input);
    other.rules = 2;
    EXPECT_EQ(storage_->Find(Ranked("new rules", other))->status, "accepted");
}

TEST_F(StorageTest, BoardsAreBestFirstTiesInTheOrderAccepted) {
    const auto low = Ranked("low", Accepted(100, std::string(64, '1')));
    const auto tieFirst = Ranked("tie1", Accepted(500, std::string(64, '2')));
    const auto tieSecond = Ranked("tie2", Accepted(500, std::string(64, '3')));
    const auto best = Ranked("best", Accepted(900, std::string(64, '4')));
    Ranked("slow", Accepted(5000, std::string(64, '5'), "slow"));
    const auto board = storage_->Board(1, "normal", "fast", 0, 10);
    ASSERT_EQ(board.size(), 4u);
    EXPECT_EQ(board[0].run, best);
    EXPECT_EQ(board[1].run, tieFirst);
    EXPECT_EQ(board[2].run, tieSecond);
    EXPECT_EQ(board[3].run, low);
    EXPECT_EQ(board[2].place, 3);
    EXPECT_EQ(storage_->Place(tieSecond), 3);
    const auto page = storage_->Board(1, "normal", "fast", 1, 2);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].place, 2);
    EXPECT_EQ(page[1].run, tieSecond);
    EXPECT_TRUE(storage_->Board(2, "normal", "fast", 0, 10).empty());
    EXPECT_EQ(storage_->LatestRules(), 1);
}

TEST_F(StorageTest, AHiddenRunLeavesItsBoardButKeepsItsRecording) {
    const auto a = Ranked("a", Accepted(900, std::string(64, '1')));
    const auto b = Ranked("b", Accepted(100, std::string(64, '2')));
    EXPECT_TRUE(storage_->SetHidden(a, true, "offensive name"));
    EXPECT_EQ(storage_->Board(1, "normal", "fast", 0, 10).size(), 1u);
    EXPECT_EQ(storage_->Place(b), 1);
    EXPECT_EQ(storage_->Place(a), 0);
    EXPECT_EQ(storage_->Recording(a), "a");
    EXPECT_EQ(storage_->Find(a)->hiddenReason, "offensive name");
    EXPECT_TRUE(storage_->SetHidden(a, false, ""));
    EXPECT_EQ(storage_->Place(a), 1);
    EXPECT_FALSE(storage_->SetHidden(9999, true, "none such"));
}

TEST_F(StorageTest, OpeningAgainKeepsEverythingAndANewerSchemaIsRefused) {
    const auto id = Ranked("kept", Accepted(900, std::string(64, '1')));
    storage_.reset();
    storage_ = OpenStorage(where_);
    EXPECT_EQ(storage_->Find(id)->status, "accepted");
    {
        auto c = Harness::OnPostgres() ? Db::OpenPostgres(where_) : Db::OpenSqlite(where_);
        c->Exec("UPDATE schema_version SET version = 99");
    }
    EXPECT_THROW(OpenStorage(where_), std::runtime_error);
}

TEST_F(StorageTest, ServersStartingTogetherOnANewDatabaseMigrateItOnce) {
    // a fresh database for this race: the fixture's is already migrated
    std::string why;
    const std::string fresh = Harness::OnPostgres() ? Harness::NewDatabase(dir_, why)
                                                    : (dir_.Path() / "fresh.db").string();
    std::vector<std::thread> starting;
    std::atomic<int> failed{0};
    for (int i = 0; i < 4; ++i) {
        starting.emplace_back([&] {
            try {
                OpenStorage(fresh);
            } catch (const std::exception&) {
                ++failed;
            }
        });
    }
    for (auto& t : starting) {
        t.join();
    }
    EXPECT_EQ(failed, 0);
}

} // namespace
