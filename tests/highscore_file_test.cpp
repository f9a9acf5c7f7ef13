#include "game/core/World.h"
#include "game/screens/NameEntry.h"
#include "game/screens/ScoreFile.h"
#include "support/ScoreDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace Morvek;
using ScoreTests::Name;
using ScoreTests::ScoreDir;
namespace fs = std::filesystem;

namespace {

std::string NameOf(const Highscore& h) {
    return std::string(h.name.begin(), h.name.end());
}

ScoreFile::Table Table(std::initializer_list<std::pair<std::string_view, std::uint32_t>> places) {
    ScoreFile::Table t{};
    std::uint32_t i = 1;
    for (const auto& [name, points] : places) {
        t[i++] = {Name(name), points};
    }
    for (; i <= 10; ++i) {
        t[i] = {Name(""), 0};
    }
    return t;
}

void ExpectPlaces(const ScoreFile::Table& got, const ScoreFile::Table& want) {
    for (std::uint32_t i = 1; i <= 10; ++i) {
        EXPECT_EQ(NameOf(got[i]), NameOf(want[i])) << "place " << i;
        EXPECT_EQ(got[i].points, want[i].points) << "place " << i;
    }
}

const ScoreFile::Table kFull = Table({{"FIREFLY", 1520},
                                      {"ASH", 980},
                                      {"EMBER", 5},
                                      {"OWL", 400},
                                      {"KAT", 77},
                                      {"DRAKE", 12},
                                      {"", 9},
                                      {"SMAUG", 3},
                                      {"Z", 0},
                                      {"ABCDEFG", 4294967295u}});

// A save with no other game about: one try does it, or fails.
bool Saved() {
    return TrySaveResult(0) == SaveOutcome::Saved;
}

} // namespace

TEST(ScoreFormat, WritesOneLineWithNarrowScoresPaddedAfterFirstPlace) {
    const std::string text = ScoreFile::Format(kFull);
    EXPECT_EQ(text.substr(0, 32), "FIREFLY1520 ASH    980 EMBER   5");
    EXPECT_EQ(text, "FIREFLY1520 ASH    980 EMBER   5 OWL    400 KAT    77 DRAKE  12"
                    "         9 SMAUG   3 Z       0 ABCDEFG4294967295");
    // In first place a single digit has no filling blank.
    EXPECT_EQ(ScoreFile::Format(Table({{"ASH", 7}})).substr(0, 8), "ASH    7");
    EXPECT_EQ(ScoreFile::Format(Table({{"X", 50}, {"ASH", 7}})).substr(9, 10), " ASH     7");
    // A table that was never read (all zero) still writes blank names.
    EXPECT_EQ(ScoreFile::Format(ScoreFile::Table{}).substr(0, 19), "       0         0 ");
}

TEST(ScoreFormat, ReadsBackWhatItWrites) {
    ScoreFile::Table got{};
    EXPECT_EQ(ScoreFile::Parse(ScoreFile::Format(kFull), got), 10u);
    ExpectPlaces(got, kFull);
    // Ten blank names with 0, as a first save of an empty table writes them.
    const auto blank = Table({});
    EXPECT_EQ(ScoreFile::Parse(ScoreFile::Format(blank), got), 10u);
    ExpectPlaces(got, blank);
}

TEST(ScoreReading, LineBreaksBetweenEntriesReadLikeBlanks) {
    std::string lf = ScoreFile::Format(kFull);
    std::string crlf;
    // Swap the blank that ends each score for a line break.
    ScoreFile::Table got{};
    for (std::size_t pos = 0; (pos = lf.find(' ', pos)) != std::string::npos;) {
        if (pos > 0 && lf[pos - 1] >= '0' && lf[pos - 1] <= '9') {
            lf[pos] = '\n';
        }
        ++pos;
    }
    lf += "\n";
    EXPECT_EQ(ScoreFile::Parse(lf, got), 10u);
    ExpectPlaces(got, kFull);

    for (const char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    got = {};
    EXPECT_EQ(ScoreFile::Parse(crlf, got), 10u);
    ExpectPlaces(got, kFull);

    // A short name ended by its line, the score on the next one.
    got = {};
    EXPECT_EQ(ScoreFile::Parse("OWL\r\n400\r\nASH\n7\n", got), 2u);
    ExpectPlaces(got, Table({{"OWL", 400}, {"ASH", 7}}));

    // Lines ended by a carriage return alone: the character after it is the
    // next score or name, never swallowed as if it were a line feed.
    got = {};
    EXPECT_EQ(ScoreFile::Parse("OWL\r400\rASH\r7\rKAT    12", got), 3u);
    ExpectPlaces(got, Table({{"OWL", 400}, {"ASH", 7}, {"KAT", 12}}));
}

TEST(ScoreReading, ShortOrBrokenFilesFillTheRestWithBlankPlaces) {
    ScoreFile::Table got = kFull;
    EXPECT_EQ(ScoreFile::Parse("", got), 0u);
    ExpectPlaces(got, Table({}));

    got = kFull;
    EXPECT_EQ(ScoreFile::Parse("FIREFLY1520 ASH    980 EMBER   5", got), 3u);
    ExpectPlaces(got, Table({{"FIREFLY", 1520}, {"ASH", 980}, {"EMBER", 5}}));

    // A name cut off by the end of the file, and a score that is no number.
    got = kFull;
    EXPECT_EQ(ScoreFile::Parse("FIREFLY1520 AS", got), 1u);
    ExpectPlaces(got, Table({{"FIREFLY", 1520}}));
    // Bytes left over from a longer earlier file run on from the tenth score.
    EXPECT_EQ(ScoreFile::Parse(ScoreFile::Format(kFull) + "LD 3 OLD    12", got), 10u);
    ExpectPlaces(got, kFull);
}

TEST(ScoreReading, HugeScoresCountAsTheLargestCard) {
    ScoreFile::Table got{};
    EXPECT_EQ(ScoreFile::Parse("BIG    4294967296 HUGE   99999999999999999999999999 MAX    "
                               "4294967295 EDGE   4294967294",
                               got),
              4u);
    EXPECT_EQ(got[1].points, 4294967295u);
    EXPECT_EQ(got[2].points, 4294967295u);
    EXPECT_EQ(got[3].points, 4294967295u);
    EXPECT_EQ(got[4].points, 4294967294u);
}

TEST(ScoreReading, GarbageNeverReadsOutOfBoundsOrMoreThanTenPlaces) {
    std::mt19937 gen(1234);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 600), pick(0, 5);
    const std::string alphabet = "0123456789 \t\r\n\x1A"
                                 "ABC";
    for (int round = 0; round < 3000; ++round) {
        std::string data(static_cast<std::size_t>(len(gen)), '\0');
        for (char& c : data) {
            // Mostly bytes the rule reacts to, so that many places get read.
            c = pick(gen) == 0 ? static_cast<char>(byte(gen))
                               : alphabet[static_cast<std::size_t>(byte(gen)) % alphabet.size()];
        }
        ScoreFile::Table got{};
        got[0].points = 11;
        got[11].points = 22;
        const std::uint32_t n = ScoreFile::Parse(data, got);
        ASSERT_LE(n, 10u);
        EXPECT_EQ(got[0].points, 11u);
        EXPECT_EQ(got[11].points, 22u);
        for (std::uint32_t i = n + 1; i <= 10; ++i) {
            ASSERT_EQ(NameOf(got[i]), "       ");
            ASSERT_EQ(got[i].points, 0u);
        }
    }
}

TEST(ScoreInsert, NewResultGoesBelowEqualScoresAndTheTenthLeaves) {
    const auto old = Table({{"A", 100},
                            {"B", 80},
                            {"C", 80},
                            {"D", 50},
                            {"E", 40},
                            {"F", 30},
                            {"G", 20},
                            {"H", 5},
                            {"I", 5},
                            {"J", 5}});
    struct Case {
        std::uint32_t result;
        const char* order; // the names of places 1..10 afterwards, N the new one
        char out;          // what is left in slot 11
    };
    for (const Case c : {
             Case{200, "NABCDEFGHI", 'J'}, // top
             Case{100, "ANBCDEFGHI", 'J'}, // tied at the top
             Case{80, "ABCNDEFGHI", 'J'},  // tied in the middle
             Case{6, "ABCDEFGNHI", 'J'},   // above a tie at the bottom
             Case{5, "ABCDEFGHIJ", 'N'},   // tied with the tenth: stays out
             Case{0, "ABCDEFGHIJ", 'N'},
         }) {
        auto t = old;
        t[11].name = Name("N");
        ScoreFile::Insert(t, c.result);
        std::string order;
        for (std::uint32_t i = 1; i <= 10; ++i) {
            order += t[i].name[0];
            EXPECT_GE(t[i - 1 > 0 ? i - 1 : 1].points, t[i].points) << c.result;
        }
        EXPECT_EQ(order, c.order) << "result " << c.result;
        EXPECT_EQ(t[11].name[0], c.out) << "result " << c.result;
    }
}

TEST(ScoreInsert, UnsortedTableKeepsTheBestTenOfOldAndNew) {
    // A hand-edited file, lowest first and the best last.
    auto t = Table({{"LOW0000", 20},
                    {"LOW0001", 21},
                    {"LOW0002", 22},
                    {"LOW0003", 23},
                    {"LOW0004", 24},
                    {"LOW0005", 25},
                    {"LOW0006", 26},
                    {"LOW0007", 27},
                    {"LOW0008", 28},
                    {"CHAMPIO", 9999}});
    t[11].name = Name("N");
    ScoreFile::Insert(t, 25);
    ExpectPlaces(t, Table({{"CHAMPIO", 9999},
                           {"LOW0008", 28},
                           {"LOW0007", 27},
                           {"LOW0006", 26},
                           {"LOW0005", 25},
                           {"N", 25},
                           {"LOW0004", 24},
                           {"LOW0003", 23},
                           {"LOW0002", 22},
                           {"LOW0001", 21}}));
    EXPECT_EQ(NameOf(t[11]), "LOW0000");
}

TEST(ScoreReading, DamagedEntriesAreRepairedInsteadOfEndingTheTable) {
    ScoreFile::Table want = kFull;
    // The reader sorts what it repairs, as the table must be.
    std::stable_sort(want.begin() + 1, want.begin() + 11,
                     [](const Highscore& a, const Highscore& b) { return a.points > b.points; });
    const std::string good = ScoreFile::Format(want);
    ScoreFile::Table got{};
    EXPECT_EQ(ScoreFile::Parse("\n" + ScoreFile::Format(kFull), got), 10u);
    ExpectPlaces(got, want);

    got = {};
    EXPECT_EQ(ScoreFile::Parse("FIREFLYS1520 ASH    X90 EMBER  -5 OWL    400", got), 4u);
    ExpectPlaces(got, Table({{"FIREFLY", 1520}, {"OWL", 400}, {"ASH", 90}, {"EMBER", 0}}));

    // What the game writes reads cleanly, bytes after the tenth entry too;
    // a repaired file does not.
    const auto clean = [](const std::string& data) {
        ScoreFile::Table read{};
        ScoreFile::Parse(data, read);
        return ScoreFile::ReadCleanly(data, read);
    };
    EXPECT_TRUE(clean(""));
    EXPECT_TRUE(clean(good));
    EXPECT_TRUE(clean(good + "LEFT OVER"));
    EXPECT_TRUE(clean(good.substr(0, 30)));
    EXPECT_FALSE(clean("\n" + good));
    EXPECT_FALSE(clean(good.substr(0, 32))); // a name cut short
    std::string crlf = good;
    crlf[17] = '\n';
    EXPECT_FALSE(clean(crlf));
    // Places out of order, which a save sorts.
    EXPECT_FALSE(clean(ScoreFile::Format(kFull)));
    EXPECT_FALSE(clean("LOW    20 CHAMPIO9999"));
    // The tenth score goes on in digits the table can't hold: a save would
    // glue them to a new tenth score.
    EXPECT_FALSE(clean(good + "7"));
    // More than a save reads: the rest would be lost.
    EXPECT_TRUE(clean(good + std::string(ScoreFile::kMaxRead - good.size(), ' ')));
    EXPECT_FALSE(clean(good + std::string(ScoreFile::kMaxRead - good.size() + 1, ' ')));
}

TEST(ScoreShown, ControlAndHighBytesAreNotDrawn) {
    EXPECT_EQ(ScoreFile::Shown(Name("OWL")), "OWL    ");
    EXPECT_EQ(ScoreFile::Shown({'A', '\0', '\x1b', '\x7f', '\xff', 'b', '~'}), "A????b~");
}

TEST(NameKeys, OnlyLettersAreTakenOnlySevenAndBackspaceTakesThemBack) {
    std::array<char, 7> name;
    name.fill(' ');
    std::uint32_t t = 1;
    for (const std::uint32_t key :
         std::initializer_list<std::uint32_t>{'K', '3', 'A', 13, 8, 'T'}) {
        TypeLetter(name, t, key);
    }
    EXPECT_EQ(std::string(name.begin(), name.end()), "KAT    ");
    EXPECT_EQ(t, 4u);
    for (const std::uint32_t key : std::initializer_list<std::uint32_t>{
             'a', 64, 91, 0x161, 0x20, 'Q', 'W', 'E', 'R', 'X', 'Y'}) {
        TypeLetter(name, t, key);
    }
    EXPECT_EQ(std::string(name.begin(), name.end()), "KATQWER");
    EXPECT_EQ(t, 8u);

    // The alphabet's ends are letters too; the bytes beside them are not.
    name.fill(' ');
    t = 1;
    for (const std::uint32_t key :
         std::initializer_list<std::uint32_t>{'@', 'Z', '[', 'A', '`', 'z'}) {
        TypeLetter(name, t, key);
    }
    EXPECT_EQ(std::string(name.begin(), name.end()), "ZA     ");

    // Backspace takes back the last letter typed, and nothing before the first.
    EXPECT_TRUE(EraseLetter(name, t));
    EXPECT_EQ(t, 2u);
    EXPECT_TRUE(EraseLetter(name, t));
    EXPECT_FALSE(EraseLetter(name, t));
    EXPECT_EQ(t, 1u);
    EXPECT_EQ(std::string(name.begin(), name.end()), "       ");
}

TEST_F(ScoreDir, MissingFileReadsBlankAndFirstSaveCreatesIt) {
    EXPECT_EQ(ScoreFile::Read(scorefile, world.scores), 0u);
    ExpectPlaces(world.scores, Table({}));
    world.scores[kResultPlace].name = Name("OWL");
    world.score = 300;
    ASSERT_TRUE(Saved());
    EXPECT_EQ(Get(scorefile), ScoreFile::Format(Table({{"OWL", 300}})));
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(ScoreDir, ShortFileIsRepairedByTheNextSave) {
    Put(scorefile, "FIREFLY1520\r\nASH    980\r\n");
    EXPECT_EQ(ScoreFile::Read(scorefile, world.scores), 2u);
    world.scores[kResultPlace].name = Name("EMBER");
    world.score = 5;
    ASSERT_TRUE(Saved());
    EXPECT_EQ(Get(scorefile),
              ScoreFile::Format(Table({{"FIREFLY", 1520}, {"ASH", 980}, {"EMBER", 5}})));
}

TEST_F(ScoreDir, MegabyteFileIsReadOnlyAsFarAsTenPlacesNeed) {
    std::string big = ScoreFile::Format(kFull);
    big += std::string(1 << 20, 'X');
    Put(scorefile, big);
    ASSERT_EQ(ScoreFile::Read(scorefile, world.scores), 10u);
    ExpectPlaces(world.scores, kFull);

    // One endless line of digits: a single huge score, nothing else.
    Put(scorefile, "ENDLESS" + std::string(1 << 20, '7'));
    ASSERT_EQ(ScoreFile::Read(scorefile, world.scores), 1u);
    EXPECT_EQ(world.scores[1].points, 4294967295u);
}

TEST_F(ScoreDir, TemporaryFilesOfKilledSavesAreRemovedAndNothingElse) {
    const std::string old = ScoreFile::Format(kFull);
    Put(scorefile, old);
    // Saves killed before their rename, of this and of older versions.
    Put(scorefile + ".tmp-4242-0", "TORN   1");
    Put(scorefile + ".tmp", "TORN   2");
    // Not ours, or not plain files: they stay.
    Put(scorefile + ".tmp-notes", "mine");
    Put(scorefile + ".tmp-7-", "mine"); // a process but no serial
    fs::create_directory(scorefile + ".tmp-1-1");
    std::error_code noLinks; // Windows lets only some users make links
    fs::create_symlink("myscore.txt", scorefile + ".tmp-2-2", noLinks);
    ScoreFile::Table got{};
    EXPECT_EQ(ScoreFile::Read(scorefile, got), 10u);
    ExpectPlaces(got, kFull);

    world.scores[kResultPlace].name = Name("NEW");
    world.score = 2000;
    ASSERT_TRUE(Saved());
    EXPECT_NE(Get(scorefile).find("NEW    2000 "), std::string::npos);
    EXPECT_EQ(Leftovers(), noLinks ? "myscore.txt.tmp-1-1 myscore.txt.tmp-7- myscore.txt.tmp-notes "
                                   : "myscore.txt.tmp-1-1 myscore.txt.tmp-2-2 myscore.txt.tmp-7- "
                                     "myscore.txt.tmp-notes ");
}

TEST_F(ScoreDir, FailedWriteKeepsTheTableInMemoryAndSaysSo) {
    scorefile = (dir / "gone" / "myscore.txt").string();
    world.scores = kFull;
    world.scores[kResultPlace].name = Name("NEW");
    world.score = 2000;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Saved());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(scorefile), std::string::npos) << said;
    ExpectPlaces(world.scores, kFull);

    // A directory in the file's place cannot be replaced either; it stays.
    scorefile = (dir / "taken").string();
    fs::create_directories(dir / "taken" / "inside");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Saved());
    testing::internal::GetCapturedStderr();
    ExpectPlaces(world.scores, kFull);
    EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));
    EXPECT_EQ(Leftovers(), "");
}
