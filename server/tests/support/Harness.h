// What the server's suites share: a server started as its own process, a
// throw-away PostgreSQL, raw requests, and recordings made up for the
// stand-in verifier.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Harness {

namespace fs = std::filesystem;

const fs::path kBuild = MORVEK_BUILD_DIR;
const fs::path kSource = MORVEK_SOURCE_DIR;

// A folder of the test's own, gone afterwards.
class TempDir {
  public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

// The backend a suite runs on: MORVEK_SERVER_BACKEND=postgres, or SQLite.
bool OnPostgres();

// A PostgreSQL server of its own in a temporary folder, on a Unix socket
// only, started once per test program. Empty when it can't be: the caller
// skips then, and a skip fails the run on CI.
class Postgres {
  public:
    static Postgres* Get(std::string& why);
    // A fresh database on it, as a postgresql:// address.
    std::string NewDatabase();
    ~Postgres();

  private:
    Postgres() = default;
    TempDir dir_;
    std::string superuser_;
    int databases_ = 0;
    bool started_ = false;
};

// Where a test's storage lives: a SQLite file in `dir`, or a new database.
// Empty with `why` set when PostgreSQL was asked for and is missing.
std::string NewDatabase(const TempDir& dir, std::string& why);

// A test on a database of its own; skipped (a failure on CI) without one.
class OnDatabase : public testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        database_ = NewDatabase(dir_, why);
        if (database_.empty()) {
            GTEST_SKIP() << why;
        }
    }

    TempDir dir_;
    std::string database_;
};

// morvek-server started with `args` (--port 0 added), its first line read.
class ServerProcess {
  public:
    explicit ServerProcess(std::vector<std::string> args);
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess();

    bool Started() const { return port_ > 0; }
    int Port() const { return port_; }
    const std::string& FirstLine() const { return firstLine_; }
    // All it wrote on stderr so far.
    std::string Errors() const;
    void Kill(int signal);
    // Its exit status once it ended (by itself or killed), -1 if it did not in time.
    int Wait(std::chrono::seconds limit);

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string firstLine_;
    fs::path errFile_;
    TempDir dir_;
};

struct Reply {
    int status = 0; // 0: no answer
    std::string body;
    std::string headers;
    std::string Header(const std::string& name) const;
};

// One request over a fresh connection to 127.0.0.1:port, exactly the
// bytes given; the answer read until the server closes or `limit` passes.
Reply Raw(int port, const std::string& request,
          std::chrono::seconds limit = std::chrono::seconds(10));
Reply Get(int port, const std::string& target);
Reply Post(int port, const std::string& target, const std::string& body,
           const std::string& type = "text/plain");

// A recording for the stand-in verifier: its rules line, then `lines`.
std::string Recording(const std::vector<std::string>& lines, int rules = 1);
// One game line: `seed` makes its input fingerprint.
std::string Game(long score, std::string seed, bool ended = true, bool cheat = false,
                 bool practice = false, const std::string& board = "normal fast");

// A JSON answer's number or string field, crudely: the tests' answers are ours.
std::optional<long> Number(const std::string& json, const std::string& key);
std::optional<std::string> Text(const std::string& json, const std::string& key);

// Polls the run until it is no longer pending, or `limit` passes.
std::string AwaitResult(int port, long run, std::chrono::seconds limit = std::chrono::seconds(30));

std::string ReadFile(const fs::path& file);
// The game's own answer for a recording: `morvek --verify`'s line.
std::string Verified(const fs::path& recording);

} // namespace Harness
