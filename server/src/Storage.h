// Where runs, their recordings and the jobs of verifying them live. Two
// backends keep to this: SQLite (one file, one server) and PostgreSQL
// (several servers sharing one database).
#pragma once

#include "Verdict.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Server {

struct NewRun {
    std::string name;
    std::int64_t game = 0; // as asked: 0 for the last game that ended
    std::int64_t claimed = 0;
    std::string address;
    std::string recording;
    std::string recordingSha; // hex, with `game` the key of a retry
};

struct Run {
    std::int64_t id = 0;
    std::string status; // pending, accepted, refused
    std::string name;
    std::int64_t askedGame = 0, claimed = 0;
    std::int64_t submitted = 0, verified = 0; // Unix seconds; verified 0 while pending
    Outcome outcome;                          // meaningful once not pending
    bool hidden = false;
    std::string hiddenReason;
};

struct Entry {
    std::int64_t place = 0;
    std::string name;
    std::int64_t score = 0;
    bool won = false;
    std::int64_t date = 0; // Unix seconds it was accepted
    std::int64_t run = 0;
};

struct Job {
    std::int64_t run = 0;
    std::int64_t game = 0;
    std::int64_t claimed = 0;
    std::string recording;
};

class Storage {
  public:
    virtual ~Storage() = default;

    // Stores the run and its job at once. A run of the same recording and
    // game already stored is answered instead (`created` false).
    struct Submitted {
        std::int64_t run = 0;
        bool created = false;
    };
    virtual Submitted Submit(const NewRun& run) = 0;

    virtual std::optional<Run> Find(std::int64_t run) = 0;
    virtual std::optional<std::string> Recording(std::int64_t run) = 0;
    // Runs of this address still waiting for their result.
    virtual std::int64_t Pending(const std::string& address) = 0;

    // A job nobody holds, or one whose holder's lease ran out, now `worker`'s.
    virtual std::optional<Job> Claim(const std::string& worker, std::chrono::seconds lease) = 0;
    // The run's one result, stored only while `worker` still holds its job;
    // false when it lost it (another took it over). An accepted game whose
    // input is already on a board of its rules is stored refused as a copy.
    virtual bool Finish(std::int64_t run, const std::string& worker, const Outcome& outcome) = 0;
    // Gives a job back untouched, for another try (the server's own trouble).
    virtual void Release(std::int64_t run, const std::string& worker) = 0;
    // Every job claimed by a worker whose name starts with `prefix`, given
    // back: a process that died holding them (SQLite: there is only one).
    virtual void ReleaseAll(const std::string& prefix) = 0;
    // The workers holding jobs now, by name.
    virtual std::vector<std::string> Claimants() = 0;
    // Jobs waiting, claimed or not.
    virtual std::int64_t Queued() = 0;

    // Accepted runs of a board that are not hidden, best first, ties in the
    // order they were accepted.
    virtual std::vector<Entry> Board(std::int64_t rules, const std::string& difficulty,
                                     const std::string& speed, std::int64_t offset,
                                     std::int64_t limit) = 0;
    // The run's place on its board, 0 when it is on none.
    virtual std::int64_t Place(std::int64_t run) = 0;
    // The newest rules version any accepted run has; 0 for none yet.
    virtual std::int64_t LatestRules() = 0;

    // False when there is no such run.
    virtual bool SetHidden(std::int64_t run, bool hidden, const std::string& reason) = 0;
};

// `where` is a file name for SQLite or a postgresql:// (postgres://) address.
// Creates or migrates the schema; throws std::runtime_error with the reason.
std::unique_ptr<Storage> OpenStorage(const std::string& where);

std::int64_t NowSeconds();

} // namespace Server
