// Where this run keeps the highscore table: a file named on the command line
// or beside a game run from its build tree, the player's data folder, a file
// of the autopilot's own, or memory when the data folder can't be written.
#pragma once

#include "game/screens/ScoreFile.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace Morvek::ScorePlace {

constexpr std::string_view kTableName = "myscore.txt";
// Written by the build beside the executable: a game started from there keeps
// its table in the working directory, as every version before did.
constexpr std::string_view kBuildTreeMarker = "morvek.build-tree";

enum class Kind : std::uint8_t {
    File,       // `scorefile` as it is: --scores, or the working directory
    DataFolder, // the player's data folder, made at the first save
    Temporary,  // the autopilot's, made at its first save, removed at the end
    Memory,     // the data folder could not be written: kept for this run only
};

struct Situation {
    std::string given; // --scores FILE, or ""
    bool autopilot = false;
    bool buildTree = false;
    std::filesystem::path dataFolder; // empty when the system names none
};

struct Place {
    Kind kind = Kind::File;
    std::string file;
};

Place Choose(const Situation& situation);
bool InBuildTree(const std::filesystem::path& exeDir);

// Makes `place` this run's: sets `scorefile`, forgets any table in memory.
void Use(const Place& place);
Kind InUse();
// A recording's own table, kept in memory for the run: a replay shows and
// saves what the player's game did, whatever this machine's file holds.
void UseRecorded(const ScoreFile::Table& table);

// Where a run keeps its table, whole. A side game swaps in its own, which
// starts empty in memory: it never reads or writes the player's file.
struct Keeping {
    Kind kind = Kind::Memory;
    ScoreFile::Table memory{};
    std::string file;
};
void Exchange(Keeping& other);

// ScoreFile::Read of the table in use. In the data folder, before its first
// save, a table an earlier version left in the working directory is read.
std::uint32_t Read(ScoreFile::Table& table);
// ScoreFile::Save to the table in use. The data folder's first save takes in
// that earlier table (said once on stderr); one that fails moves the table
// to memory with one message, and the run's exit status says so, unless the
// run was asked to stop while it waited. With `busy`, a table held by
// another game sets *busy and nothing else happens (ScoreFile::Save).
bool Save(const std::array<char, 7>& name, std::uint32_t result, ScoreFile::Table& table,
          std::string& error, bool* busy = nullptr);
// Removes the autopilot's file; the other places stay.
void Finish();

} // namespace Morvek::ScorePlace
