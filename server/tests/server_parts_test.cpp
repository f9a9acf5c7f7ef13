// The server's pieces that decide alone: what a submission may be, what the
// verifier's answer means, who a client is and how often it may submit.
#include "Address.h"
#include "Boards.h"
#include "Json.h"
#include "Page.h"
#include "RateLimit.h"
#include "Sha256.h"
#include "Submission.h"
#include "Verdict.h"

#include "SubmissionTarget.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace Server;

std::string GameJson(int n, bool ended, long score, bool cheat = false, bool practice = false,
                     const std::string& difficulty = "normal") {
    return "{\"game\":" + std::to_string(n) + ",\"difficulty\":\"" + difficulty +
           "\",\"speed\":\"fast\",\"practice\":" + (practice ? "true" : "false") +
           ",\"ended\":" + (ended ? "true" : "false") + ",\"score\":" + std::to_string(score) +
           ",\"won\":false,\"ticks\":5678,\"cheat\":" + (cheat ? "true" : "false") +
           ",\"state\":\"" + std::string(64, 'a') + "\",\"input\":\"" + std::string(63, 'b') +
           std::to_string(n) + "\"}";
}

VerifierExit Answered(const std::vector<std::string>& games) {
    VerifierExit e;
    e.out = "{\"version\":\"0.9.0\",\"rules\":1,\"games\":[";
    for (std::size_t i = 0; i < games.size(); ++i) {
        e.out += (i > 0 ? "," : "") + games[i];
    }
    e.out += "]}\n";
    return e;
}

TEST(Verdict, RanksOnlyAnEndedHonestGameAtExactlyItsScore) {
    const auto exit =
        Answered({GameJson(1, true, 500), GameJson(2, true, 1234), GameJson(3, false, 90)});
    // by default the last game that ended, not the one still running
    const Outcome last = Judge(exit, 0, 1234);
    EXPECT_TRUE(last.accepted) << last.reason;
    EXPECT_EQ(last.game, 2);
    EXPECT_EQ(last.score, 1234);
    EXPECT_EQ(last.difficulty, "normal");
    EXPECT_TRUE(Judge(exit, 1, 500).accepted);

    const Outcome desync = Judge(exit, 0, 1235);
    EXPECT_FALSE(desync.accepted);
    EXPECT_EQ(desync.code, "desync");
    EXPECT_EQ(Judge(exit, 3, 90).code, "not-ended");
    EXPECT_EQ(Judge(exit, 4, 0).code, "game");
    EXPECT_EQ(Judge(Answered({GameJson(1, true, 7, true)}), 0, 7).code, "cheat");
    EXPECT_EQ(Judge(Answered({GameJson(1, true, 7, false, true)}), 0, 7).code, "practice");
    EXPECT_EQ(Judge(Answered({GameJson(1, false, 7)}), 0, 7).code, "not-ended");
}

TEST(Verdict, TheVerifiersFailuresAreRefusalsAndTheServersOwnAreRetried) {
    VerifierExit e;
    e.code = 6;
    e.err = "morvek: verify: another rules version";
    EXPECT_EQ(Judge(e, 0, 0).code, "rules");
    EXPECT_FALSE(Judge(e, 0, 0).retry);
    e.code = 4;
    EXPECT_EQ(Judge(e, 0, 0).code, "limit");
    e.code = 3;
    EXPECT_EQ(Judge(e, 0, 0).code, "malformed");
    e.code = 5;
    EXPECT_EQ(Judge(e, 0, 0).code, "not-ended");
    // the server's own set-up at fault: the run must not be refused for it
    e.code = 7;
    EXPECT_TRUE(Judge(e, 0, 0).retry);
    e.code = 2;
    EXPECT_TRUE(Judge(e, 0, 0).retry);
    e.how = VerifierExit::How::NotStarted;
    EXPECT_TRUE(Judge(e, 0, 0).retry);
    e.how = VerifierExit::How::TimedOut;
    EXPECT_EQ(Judge(e, 0, 0).code, "limit");
    e.how = VerifierExit::How::Signalled;
    e.code = 9;
    EXPECT_EQ(Judge(e, 0, 0).code, "limit");
    EXPECT_FALSE(Judge(e, 0, 0).accepted);
}

TEST(Verdict, AGarbledAnswerIsNeverAnAcceptance) {
    for (const std::string& out : std::vector<std::string>{
             "", "{}", "{\"rules\":1}", "{\"rules\":1,\"games\":[{\"game\":1}]}",
             "{\"rules\":1,\"games\":[" + GameJson(1, true, 5, false, false, "impossible") + "]}",
             "{\"rules\":1,\"games\":[" + GameJson(1, true, 5) + "]} trailing",
             "{\"rules\":1,\"games\":[{\"game\":1,\"ended\":true,\"score\":5}]}"}) {
        VerifierExit e;
        e.out = out;
        const Outcome o = Judge(e, 0, 5);
        EXPECT_FALSE(o.accepted) << out;
        EXPECT_TRUE(o.retry) << out;
    }
}

TEST(Json, ReadsWhatTheVerifierWritesAndNothingMalformed) {
    const auto v =
        Json::Parse(R"( {"a": [1, 2.5, -3e2], "b": "x\"\\\u0041", "c": null, "d": true} )");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Find("b")->String(), "x\"\\A");
    EXPECT_EQ(v->Find("a")->AsArray()->at(2).Integer(), -300);
    EXPECT_FALSE(v->Find("a")->AsArray()->at(1).Integer()); // not whole
    EXPECT_EQ(v->Find("d")->Bool(), true);
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "\"open", "01x", "{\"a\":1}}", "tru",
                            "\"\x01\"", "[-]", "{\"a\":\"\\q\"}"}) {
        EXPECT_FALSE(Json::Parse(bad)) << bad;
    }
    // deep nesting is refused, not recursed into until the stack ends
    EXPECT_FALSE(Json::Parse(std::string(100000, '[')));
}

TEST(Json, QuotedTextCannotBreakOutOfItsStringOrAPage) {
    const std::string nasty = "a\"b\\c\n</script><\x01\xff";
    const std::string q = Json::Quote(nasty);
    EXPECT_EQ(q.find("</"), std::string::npos);
    EXPECT_EQ(q.find('\n'), std::string::npos);
    const auto back = Json::Parse(q);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->String()->substr(0, 9), "a\"b\\c\n</s");
}

TEST(Submission, TakesTheNameEntrysLettersAndWholeNumbers) {
    Claim c;
    EXPECT_FALSE(ReadClaim("ann", std::nullopt, "1234", c));
    EXPECT_EQ(c.name, "ANN");
    EXPECT_EQ(c.game, 0);
    EXPECT_EQ(c.score, 1234);
    EXPECT_FALSE(ReadClaim("SEVENCH", "3", "0", c));
    EXPECT_EQ(c.game, 3);
    for (const auto& [name, game, score] :
         std::vector<std::tuple<std::optional<std::string_view>, std::optional<std::string_view>,
                                std::optional<std::string_view>>>{
             {std::nullopt, std::nullopt, "1"},
             {"", std::nullopt, "1"},
             {"EIGHTCHR", std::nullopt, "1"},
             {"A B", std::nullopt, "1"},
             {"\xc3\x89MILE", std::nullopt, "1"},
             {"ANN1", std::nullopt, "1"},
             {"ANN", std::nullopt, std::nullopt},
             {"ANN", std::nullopt, "-1"},
             {"ANN", std::nullopt, "12a"},
             {"ANN", std::nullopt, "99999999999999999999"},
             {"ANN", "0", "1"},
             {"ANN", "", "1"},
         }) {
        const auto refusal = ReadClaim(name, game, score, c);
        ASSERT_TRUE(refusal) << name.value_or("-") << " " << score.value_or("-");
        EXPECT_EQ(refusal->status, 400);
    }
}

TEST(Submission, OnlyTextLinesWithTheirTimesAndARulesLinePass) {
    const std::string good = "0 option rules 1\r\n0 option speed fast\n\n20 key down 0x20\n";
    EXPECT_FALSE(CheckRecording(good));
    // comments and spacing as the game's scripts have them
    EXPECT_FALSE(CheckRecording("# three games\n  0\toption  rules 1  # the rules\n"
                                "800 mouse move 175 175  # New game\n\t\n"));
    const auto code = [](std::string_view body) {
        const auto r = CheckRecording(body);
        return r ? r->code : std::string("ok");
    };
    EXPECT_EQ(code(""), "empty");
    EXPECT_EQ(code(std::string("0 option rules 1\n0 key\0down\n", 27)), "binary");
    EXPECT_EQ(code("0 option rules 1\n\x1b[2J\n"), "binary");
    EXPECT_EQ(code("0 option rules 1\nkey down 0x20\n"), "malformed");
    EXPECT_EQ(code("0 option rules 1\n-5 key down\n"), "malformed");
    EXPECT_EQ(code("0 option rules 1\n20\n"), "malformed");
    EXPECT_EQ(code("0 option speed fast\n20 key down 0x20\n"), "rules");
    EXPECT_EQ(code("5 option rules 1\n"), "rules"); // only at time 0
    EXPECT_EQ(code("# 0 option rules 1\n0 key down 0x20\n"), "rules");
    EXPECT_EQ(code("0 option rulesx 1\n"), "rules");
    EXPECT_EQ(CheckRecording(std::string(kMaxRecordingBytes + 1, 'x'))->status, 413);
    EXPECT_EQ(CheckRecording("0 speed\n")->status, 422);
}

TEST(RateLimit, ABurstThenOneAtTheRefillRateForEachAddressApart) {
    RateLimit limit(6, 3); // one every ten seconds, three at once
    const auto t0 = RateLimit::Clock::now();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(limit.Take("a", t0), 0);
    }
    EXPECT_EQ(limit.Take("a", t0), 10);
    EXPECT_EQ(limit.Take("b", t0), 0);
    EXPECT_EQ(limit.Take("a", t0 + std::chrono::seconds(4)), 6);
    EXPECT_EQ(limit.Take("a", t0 + std::chrono::seconds(10)), 0);
    // a long wait fills the bucket no fuller than its burst
    const auto later = t0 + std::chrono::hours(5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(limit.Take("a", later), 0);
    }
    EXPECT_GT(limit.Take("a", later), 0);
}

TEST(ClientAddress, XForwardedForIsBelievedOnlyFromOurProxies) {
    const std::vector<std::string> proxies{"10.0.0.1", "10.0.0.2"};
    EXPECT_EQ(ClientAddress("203.0.113.9", "1.2.3.4", proxies), "203.0.113.9");
    EXPECT_EQ(ClientAddress("10.0.0.1", "1.2.3.4", proxies), "1.2.3.4");
    // a client's own made-up entries sit left of what our proxy added
    EXPECT_EQ(ClientAddress("10.0.0.1", "6.6.6.6, 1.2.3.4", proxies), "1.2.3.4");
    EXPECT_EQ(ClientAddress("10.0.0.1", "6.6.6.6, 1.2.3.4, 10.0.0.2", proxies), "1.2.3.4");
    EXPECT_EQ(ClientAddress("10.0.0.1", "", proxies), "10.0.0.1");
    EXPECT_EQ(ClientAddress("10.0.0.1", " , ", proxies), "10.0.0.1");
}

TEST(Boards, SixNamedAsTheOptionsScreenNamesThem) {
    ASSERT_EQ(Boards::All().size(), 6u);
    EXPECT_EQ(Boards::FromName("normal-fast")->speed, "fast");
    EXPECT_FALSE(Boards::FromName("normal-warp"));
    EXPECT_FALSE(Boards::Known("fast", "normal"));
}

TEST(Page, NamesAndReasonsAreEscaped) {
    Server::Run run;
    run.id = 3;
    run.status = "refused";
    run.name = "<b>";
    run.outcome.code = "desync";
    run.outcome.reason = "<script>alert(1)</script>";
    const std::string html = Page::RunPage(run, 0);
    EXPECT_EQ(html.find("<script>alert"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);
    std::vector<Page::Shown> boards{{Boards::All()[0], {{1, "<i>", 5, true, 0, 9}}}};
    const std::string index = Page::Index(1, boards, true);
    EXPECT_EQ(index.find("<i>"), std::string::npos);
    EXPECT_NE(index.find("href=\"/play/?run=9\""), std::string::npos);
    // the policy lets exactly the page's own script run
    const auto open = index.find("<script>") + 8;
    const std::string script = index.substr(open, index.find("</script>") - open);
    EXPECT_NE(std::string(Page::kPolicy).find("'sha256-" + Sha256Base64(script) + "'"),
              std::string::npos);
    EXPECT_EQ(index.find("http://"), std::string::npos); // nothing loaded from elsewhere
    EXPECT_EQ(index.find("https://"), std::string::npos);
}

} // namespace

namespace {

// Every input the submission fuzzer was seeded with or found trouble with.
TEST(FuzzRegressions, Submissions) {
    int count = 0;
    for (const char* kind : {"seeds", "regressions"}) {
        const auto dir = std::filesystem::path(MORVEK_SOURCE_DIR) / "fuzz" / kind / "submission";
        if (!std::filesystem::is_directory(dir)) {
            continue;
        }
        for (const auto& file : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(file.path(), std::ios::binary);
            std::stringstream data;
            data << in.rdbuf();
            SCOPED_TRACE(file.path().string());
            FuzzTargets::Submission(data.str());
            ++count;
        }
    }
    EXPECT_GT(count, 0);
}

// The seed of an honest answer is accepted, so the fuzzer starts from a
// verdict that ranks and mutates from there.
TEST(FuzzRegressions, TheAnswerSeedRanks) {
    std::ifstream in(std::filesystem::path(MORVEK_SOURCE_DIR) / "fuzz/seeds/submission/answer.txt");
    std::stringstream data;
    data << in.rdbuf();
    const std::string text = data.str();
    Server::VerifierExit exit;
    exit.out = text.substr(text.find('\n') + 1);
    EXPECT_TRUE(Server::Judge(exit, 1, 1234).accepted);
}

} // namespace
