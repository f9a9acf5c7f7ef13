#include "game/screens/ScorePlace.h"

#include "display/Run.h"
#include "platform/SafeFile.h"
#include "platform/System.h"

#include <iostream>
#include <random>
#include <system_error>
#include <utility>

namespace Morvek::ScorePlace {

namespace {

namespace fs = std::filesystem;

Kind kind = Kind::File;
ScoreFile::Table memory{};

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// The table an earlier version kept in the working directory, while the
// data folder has none yet.
std::string Legacy() {
    const std::string old(kTableName);
    return kind == Kind::DataFolder && !IsFile(scorefile) && IsFile(old) ? old : "";
}

// A name nobody else uses, made at once so no other run can take it.
bool MakeTemporary(std::string& error) {
    std::random_device seed;
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name =
            (folder / ("morvek-autopilot-" + std::to_string(seed()) + ".txt")).string();
        switch (SafeFile::CreateNew(name, "", nullptr, error)) {
        case SafeFile::CreateResult::Created:
            scorefile = name;
            Display::Run::ProtectFile(name); // a script's shot or state keeps off it too
            return true;
        case SafeFile::CreateResult::Exists:
            continue;
        case SafeFile::CreateResult::Failed:
            return false;
        }
    }
    error = "no free name in " + folder.string();
    return false;
}

void InsertInMemory(const std::array<char, 7>& name, std::uint32_t result,
                    ScoreFile::Table& table) {
    table = memory;
    table[11] = {name, 0};
    ScoreFile::Insert(table, result);
    memory = table;
}

} // namespace

void Exchange(Keeping& other) {
    std::swap(kind, other.kind);
    std::swap(memory, other.memory);
    std::swap(scorefile, other.file);
}

Place Choose(const Situation& s) {
    if (!s.given.empty()) {
        return {Kind::File, s.given};
    }
    if (s.autopilot) {
        return {Kind::Temporary, ""};
    }
    if (s.buildTree || s.dataFolder.empty()) {
        return {Kind::File, std::string(kTableName)};
    }
    return {Kind::DataFolder, (s.dataFolder / kTableName).string()};
}

bool InBuildTree(const fs::path& exeDir) {
    std::error_code ec;
    return !exeDir.empty() && fs::is_regular_file(exeDir / kBuildTreeMarker, ec);
}

void Use(const Place& place) {
    kind = place.kind;
    scorefile = place.file;
    memory = {};
    ScoreFile::Parse("", memory);
}

Kind InUse() {
    return kind;
}

void UseRecorded(const ScoreFile::Table& table) {
    kind = Kind::Memory;
    scorefile.clear();
    memory = table;
}

std::uint32_t Read(ScoreFile::Table& table) {
    if (kind == Kind::Memory || scorefile.empty()) {
        for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
            table[i] = memory[i];
        }
        return ScoreFile::kPlaces;
    }
    const std::string old = Legacy();
    return ScoreFile::Read(old.empty() ? scorefile : old, table);
}

bool Save(const std::array<char, 7>& name, std::uint32_t result, ScoreFile::Table& table,
          std::string& error, bool* busy) {
    if (kind == Kind::Memory) {
        InsertInMemory(name, result, table);
        return true;
    }
    if (kind == Kind::Temporary && scorefile.empty() && !MakeTemporary(error)) {
        return false;
    }
    if (kind != Kind::DataFolder) {
        return ScoreFile::Save(scorefile, name, result, table, error, "", busy);
    }
    std::error_code ec;
    // From UTF-8 as the file's name came; mingw would read the bytes as ANSI
    const fs::path folder = System::PathOf(scorefile).parent_path();
    fs::create_directories(folder, ec);
    if (ec) {
        error = ec.message();
    }
    const std::string old = Legacy();
    if (!ec && ScoreFile::Save(scorefile, name, result, table, error,
                               old.empty() ? old : fs::absolute(old).string(), busy)) {
        return true;
    }
    if (Display::Run::StopAsked() || (busy != nullptr && *busy)) {
        return false; // not for want of a place: the run ends, or another game saves
    }
    std::cerr << "morvek: the highscores can't be kept in " << folder.string() << " (" << error
              << "); they are kept in memory until the game ends\n";
    Read(memory);
    kind = Kind::Memory;
    InsertInMemory(name, result, table);
    Display::Run::FailAtEnd(kExitSaveFailed);
    return true;
}

void Finish() {
    if (kind == Kind::Temporary && !scorefile.empty()) {
        std::error_code ignored;
        fs::remove(scorefile, ignored);
        fs::remove(scorefile + ".lock", ignored);
    }
}

} // namespace Morvek::ScorePlace
