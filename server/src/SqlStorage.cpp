// The storage over either database. The statements are the same for both
// but for the few places the Dialect decides.
#include "Storage.h"

#include "Database.h"

#include <array>
#include <stdexcept>

namespace Server {

std::int64_t NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

namespace {

using Db::Dialect;

// Each step of the schema, once per database; the schema_version table
// says how many are done. A new step goes at the end, never in between.
struct Migration {
    const char* sqlite;
    const char* postgres;
};
constexpr std::array<Migration, 1> kMigrations{{
    {R"(
CREATE TABLE runs (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name TEXT NOT NULL, asked_game BIGINT NOT NULL, claimed BIGINT NOT NULL,
  address TEXT NOT NULL, recording_sha TEXT NOT NULL, recording BLOB NOT NULL,
  submitted BIGINT NOT NULL, status TEXT NOT NULL DEFAULT 'pending',
  code TEXT, reason TEXT, game BIGINT, rules BIGINT, difficulty TEXT, speed TEXT,
  score BIGINT, won INTEGER, ticks BIGINT, input TEXT, state TEXT,
  verified BIGINT, accepted_order BIGINT,
  hidden INTEGER NOT NULL DEFAULT 0, hidden_reason TEXT,
  UNIQUE (recording_sha, asked_game));
CREATE TABLE jobs (run BIGINT PRIMARY KEY REFERENCES runs(id), claimed_by TEXT, claimed_at BIGINT);
CREATE TABLE fingerprints (rules BIGINT NOT NULL, input TEXT NOT NULL, run BIGINT NOT NULL,
  PRIMARY KEY (rules, input));
CREATE INDEX runs_board ON runs (rules, difficulty, speed, status, hidden, score DESC, accepted_order);
CREATE INDEX runs_pending ON runs (address, status);
)",
     R"(
CREATE SEQUENCE accept_order;
CREATE TABLE runs (
  id BIGSERIAL PRIMARY KEY,
  name TEXT NOT NULL, asked_game BIGINT NOT NULL, claimed BIGINT NOT NULL,
  address TEXT NOT NULL, recording_sha TEXT NOT NULL, recording BYTEA NOT NULL,
  submitted BIGINT NOT NULL, status TEXT NOT NULL DEFAULT 'pending',
  code TEXT, reason TEXT, game BIGINT, rules BIGINT, difficulty TEXT, speed TEXT,
  score BIGINT, won INTEGER, ticks BIGINT, input TEXT, state TEXT,
  verified BIGINT, accepted_order BIGINT,
  hidden INTEGER NOT NULL DEFAULT 0, hidden_reason TEXT,
  UNIQUE (recording_sha, asked_game));
CREATE TABLE jobs (run BIGINT PRIMARY KEY REFERENCES runs(id), claimed_by TEXT, claimed_at BIGINT);
CREATE TABLE fingerprints (rules BIGINT NOT NULL, input TEXT NOT NULL, run BIGINT NOT NULL,
  PRIMARY KEY (rules, input));
CREATE INDEX runs_board ON runs (rules, difficulty, speed, status, hidden, score DESC, accepted_order);
CREATE INDEX runs_pending ON runs (address, status);
)"},
}};

// Any number will do, as long as nothing else on the database takes it.
constexpr std::int64_t kMigrationLock = 0x4d6f7276656b;

// Words from outside (a proxy's address header, the verifier's reason, a
// moderator's) kept to printable ASCII: PostgreSQL refuses text that is
// not UTF-8, and a refused result would leave its job unfinished for ever.
std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            c = '?';
        }
    }
    return out;
}

std::int64_t Int(const std::optional<std::string>& s) {
    return s ? std::stoll(*s) : 0;
}

// Runs every statement of `script`: SQLite's prepare takes one at a time.
void Script(Db::Connection& c, std::string_view script) {
    while (!script.empty()) {
        const auto end = script.find(';');
        const auto statement = script.substr(0, end);
        if (statement.find_first_not_of(" \n") != std::string_view::npos) {
            c.Exec(std::string(statement));
        }
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
    }
}

void Migrate(Db::Connection& c) {
    const bool pg = c.Kind() == Dialect::Postgres;
    if (pg) {
        c.Exec("SELECT pg_advisory_lock(?)", {kMigrationLock});
    }
    try {
        Db::InTransaction(c, [&] {
            c.Exec("CREATE TABLE IF NOT EXISTS schema_version (version BIGINT NOT NULL)");
            const auto rows = c.Query("SELECT version FROM schema_version");
            std::int64_t done = rows.empty() ? 0 : Int(rows[0][0]);
            if (rows.empty()) {
                c.Exec("INSERT INTO schema_version VALUES (0)");
            }
            if (done > static_cast<std::int64_t>(kMigrations.size())) {
                throw std::runtime_error("the database's schema (version " + std::to_string(done) +
                                         ") is newer than this server knows");
            }
            for (; done < static_cast<std::int64_t>(kMigrations.size()); ++done) {
                const auto& m = kMigrations[static_cast<std::size_t>(done)];
                Script(c, pg ? m.postgres : m.sqlite);
            }
            c.Exec("UPDATE schema_version SET version = ?", {done});
        });
    } catch (...) {
        if (pg) {
            c.Exec("SELECT pg_advisory_unlock(?)", {kMigrationLock});
        }
        throw;
    }
    if (pg) {
        c.Exec("SELECT pg_advisory_unlock(?)", {kMigrationLock});
    }
}

constexpr const char* kRunColumns =
    "id, status, name, asked_game, claimed, submitted, verified, code, reason, game, rules, "
    "difficulty, speed, score, won, ticks, input, state, hidden, hidden_reason";

Run ReadRun(const Db::Row& r) {
    Run run;
    run.id = Int(r[0]);
    run.status = r[1].value_or("");
    run.name = r[2].value_or("");
    run.askedGame = Int(r[3]);
    run.claimed = Int(r[4]);
    run.submitted = Int(r[5]);
    run.verified = Int(r[6]);
    Outcome& o = run.outcome;
    o.accepted = run.status == "accepted";
    o.code = r[7].value_or("");
    o.reason = r[8].value_or("");
    o.game = Int(r[9]);
    o.rules = Int(r[10]);
    o.difficulty = r[11].value_or("");
    o.speed = r[12].value_or("");
    o.score = Int(r[13]);
    o.won = Int(r[14]) != 0;
    o.ticks = Int(r[15]);
    o.input = r[16].value_or("");
    o.state = r[17].value_or("");
    run.hidden = Int(r[18]) != 0;
    run.hiddenReason = r[19].value_or("");
    return run;
}

class SqlStorage final : public Storage {
  public:
    explicit SqlStorage(std::function<std::unique_ptr<Db::Connection>()> open)
        : pool_(std::move(open)) {
        auto c = pool_.Take();
        Migrate(*c);
    }

    Submitted Submit(const NewRun& run) override {
        return Write([&](Db::Connection& c) {
            // Two sendings of one run at once: the second's insert does nothing
            const std::string address = Printable(run.address);
            const auto fresh = c.Query(
                "INSERT INTO runs (name, asked_game, claimed, address, recording_sha, "
                "recording, submitted) VALUES (?, ?, ?, ?, ?, ?, ?) "
                "ON CONFLICT (recording_sha, asked_game) DO NOTHING RETURNING id",
                {std::string_view(run.name), run.game, run.claimed, std::string_view(address),
                 std::string_view(run.recordingSha), Db::Blob{run.recording}, NowSeconds()});
            if (fresh.empty()) {
                const auto old =
                    c.Query("SELECT id FROM runs WHERE recording_sha = ? AND asked_game = ?",
                            {std::string_view(run.recordingSha), run.game});
                return Submitted{Int(old.at(0).at(0)), false};
            }
            const auto id = Int(fresh.at(0).at(0));
            c.Exec("INSERT INTO jobs (run) VALUES (?)", {id});
            return Submitted{id, true};
        });
    }

    std::optional<Run> Find(std::int64_t run) override {
        auto c = pool_.Take();
        const auto rows =
            c->Query(std::string("SELECT ") + kRunColumns + " FROM runs WHERE id = ?", {run});
        if (rows.empty()) {
            return std::nullopt;
        }
        return ReadRun(rows[0]);
    }

    std::optional<std::string> Recording(std::int64_t run) override {
        auto c = pool_.Take();
        const auto rows = c->Query("SELECT recording FROM runs WHERE id = ?", {run});
        if (rows.empty()) {
            return std::nullopt;
        }
        return rows[0][0].value_or("");
    }

    std::int64_t Pending(const std::string& address) override {
        auto c = pool_.Take();
        const std::string who = Printable(address);
        return Int(c->Query("SELECT COUNT(*) FROM runs WHERE address = ? AND status = 'pending'",
                            {std::string_view(who)})
                       .at(0)
                       .at(0));
    }

    std::optional<Job> Claim(const std::string& worker, std::chrono::seconds lease) override {
        const std::int64_t now = NowSeconds();
        const std::int64_t stale = now - lease.count();
        // SKIP LOCKED lets the workers of several servers pass each other by
        return Write([&](Db::Connection& c) -> std::optional<Job> {
            const bool pg = c.Kind() == Dialect::Postgres;
            const auto rows = c.Query(
                std::string("SELECT run FROM jobs WHERE claimed_by IS NULL OR claimed_at < ? "
                            "ORDER BY run LIMIT 1") +
                    (pg ? " FOR UPDATE SKIP LOCKED" : ""),
                {stale});
            if (rows.empty()) {
                return std::nullopt;
            }
            Job job;
            job.run = Int(rows[0][0]);
            c.Exec("UPDATE jobs SET claimed_by = ?, claimed_at = ? WHERE run = ?",
                   {std::string_view(worker), now, job.run});
            const auto run =
                c.Query("SELECT asked_game, claimed, recording FROM runs WHERE id = ?", {job.run})
                    .at(0);
            job.game = Int(run[0]);
            job.claimed = Int(run[1]);
            job.recording = run[2].value_or("");
            return job;
        });
    }

    bool Finish(std::int64_t run, const std::string& worker, const Outcome& outcome) override {
        return Write([&](Db::Connection& c) {
            const bool pg = c.Kind() == Dialect::Postgres;
            const auto mine =
                c.Query("DELETE FROM jobs WHERE run = ? AND claimed_by = ? RETURNING run",
                        {run, std::string_view(worker)});
            if (mine.empty()) {
                return false; // taken over after our lease ran out: its new holder answers
            }
            Outcome o = outcome;
            o.reason = Printable(o.reason);
            if (o.accepted) {
                const auto first =
                    c.Query("INSERT INTO fingerprints (rules, input, run) VALUES (?, ?, ?) "
                            "ON CONFLICT DO NOTHING RETURNING run",
                            {o.rules, std::string_view(o.input), run});
                if (first.empty()) {
                    const auto holder =
                        c.Query("SELECT run FROM fingerprints WHERE rules = ? AND input = ?",
                                {o.rules, std::string_view(o.input)});
                    o.accepted = false;
                    o.code = "copy";
                    o.reason = "this game is already on the board as run " +
                               holder.at(0).at(0).value_or("?");
                }
            }
            const std::string order =
                !o.accepted ? "NULL"
                : pg        ? "nextval('accept_order')"
                            : "(SELECT COALESCE(MAX(accepted_order), 0) + 1 FROM runs)";
            c.Exec("UPDATE runs SET status = ?, code = ?, reason = ?, game = ?, rules = ?, "
                   "difficulty = ?, speed = ?, score = ?, won = ?, ticks = ?, input = ?, "
                   "state = ?, verified = ?, accepted_order = " +
                       order + " WHERE id = ?",
                   {std::string_view(o.accepted ? "accepted" : "refused"), std::string_view(o.code),
                    std::string_view(o.reason), o.game, o.rules, std::string_view(o.difficulty),
                    std::string_view(o.speed), o.score, std::int64_t{o.won ? 1 : 0}, o.ticks,
                    std::string_view(o.input), std::string_view(o.state), NowSeconds(), run});
            return true;
        });
    }

    void Release(std::int64_t run, const std::string& worker) override {
        auto c = pool_.Take();
        c->Exec("UPDATE jobs SET claimed_by = NULL, claimed_at = NULL WHERE run = ? AND "
                "claimed_by = ?",
                {run, std::string_view(worker)});
    }

    void ReleaseAll(const std::string& prefix) override {
        auto c = pool_.Take();
        c->Exec("UPDATE jobs SET claimed_by = NULL, claimed_at = NULL WHERE "
                "substr(claimed_by, 1, ?) = ?",
                {static_cast<std::int64_t>(prefix.size()), std::string_view(prefix)});
    }

    std::vector<std::string> Claimants() override {
        auto c = pool_.Take();
        std::vector<std::string> names;
        for (const auto& r :
             c->Query("SELECT DISTINCT claimed_by FROM jobs WHERE claimed_by IS NOT NULL")) {
            names.push_back(r[0].value_or(""));
        }
        return names;
    }

    std::int64_t Queued() override {
        auto c = pool_.Take();
        return Int(c->Query("SELECT COUNT(*) FROM jobs").at(0).at(0));
    }

    std::vector<Entry> Board(std::int64_t rules, const std::string& difficulty,
                             const std::string& speed, std::int64_t offset,
                             std::int64_t limit) override {
        auto c = pool_.Take();
        const auto rows = c->Query(
            "SELECT name, score, won, verified, id FROM runs WHERE rules = ? AND difficulty = ? "
            "AND speed = ? AND status = 'accepted' AND hidden = 0 "
            "ORDER BY score DESC, accepted_order LIMIT ? OFFSET ?",
            {rules, std::string_view(difficulty), std::string_view(speed), limit, offset});
        std::vector<Entry> entries;
        for (const auto& r : rows) {
            entries.push_back({offset + static_cast<std::int64_t>(entries.size()) + 1,
                               r[0].value_or(""), Int(r[1]), Int(r[2]) != 0, Int(r[3]), Int(r[4])});
        }
        return entries;
    }

    std::int64_t Place(std::int64_t run) override {
        auto c = pool_.Take();
        const auto rows = c->Query(
            "SELECT 1 + (SELECT COUNT(*) FROM runs o WHERE o.rules = r.rules AND "
            "o.difficulty = r.difficulty AND o.speed = r.speed AND o.status = 'accepted' AND "
            "o.hidden = 0 AND (o.score > r.score OR (o.score = r.score AND "
            "o.accepted_order < r.accepted_order))) FROM runs r WHERE r.id = ? AND "
            "r.status = 'accepted' AND r.hidden = 0",
            {run});
        return rows.empty() ? 0 : Int(rows[0][0]);
    }

    std::int64_t LatestRules() override {
        auto c = pool_.Take();
        return Int(c->Query("SELECT MAX(rules) FROM runs WHERE status = 'accepted'").at(0).at(0));
    }

    bool SetHidden(std::int64_t run, bool hidden, const std::string& reason) override {
        auto c = pool_.Take();
        const std::string why = Printable(reason);
        return !c->Query("UPDATE runs SET hidden = ?, hidden_reason = ? WHERE id = ? RETURNING id",
                         {std::int64_t{hidden ? 1 : 0},
                          hidden ? Db::Param(std::string_view(why)) : Db::Param(nullptr), run})
                    .empty();
    }

  private:
    template <class F> auto Write(F&& body) -> decltype(body(std::declval<Db::Connection&>())) {
        auto c = pool_.Take();
        try {
            return Db::InTransaction(*c, [&] { return body(*c); });
        } catch (...) {
            c.Discard();
            throw;
        }
    }

    Db::Pool pool_;
};

} // namespace

std::unique_ptr<Storage> OpenStorage(const std::string& where) {
    if (where.starts_with("postgresql://") || where.starts_with("postgres://")) {
        return std::make_unique<SqlStorage>([where] { return Db::OpenPostgres(where); });
    }
    return std::make_unique<SqlStorage>([where] { return Db::OpenSqlite(where); });
}

} // namespace Server
