// Every session a player plays is kept as a replay: its recording, in a
// folder of replays beside the highscore table, one file a session, the
// newest few kept. Only the file's name reads the wall clock; the game never
// sees it.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace Program::Replays {

constexpr std::string_view kFolder = "replays";
// Sessions begun within one second take these numbers in turn.
constexpr unsigned kPerSecond = 100;

// "2026-12-08_14-03-59_00.txt": the session's start in UTC, which never
// steps back as local time does, then its number within that second, so
// names sort as the sessions began.
std::string NameFor(std::chrono::sys_seconds start, unsigned number);
// Whether `name` is exactly of that form: only such files are ever removed.
bool IsReplayName(std::string_view name);

// Makes the folder and in it a new, empty file named for `start`, never
// over anything that is there. False with the reason.
bool Create(const std::filesystem::path& folder, std::chrono::sys_seconds start,
            std::filesystem::path& made, std::string& why);

// Removes the oldest replays of `folder` until `keep` are left, `current`
// counted and never removed. Anything else there stays: other names, links,
// folders. The number removed.
std::size_t Prune(const std::filesystem::path& folder, std::uint32_t keep,
                  const std::filesystem::path& current);

// Starts keeping this session's replay in `folder`, its first lines what the
// run starts from, and prunes the folder to `keep`. One that can't be kept
// is said in one line on stderr, and the game goes on. The replay's file, or
// an empty path.
std::filesystem::path Start(const std::filesystem::path& folder, std::uint32_t keep,
                            std::chrono::sys_seconds start);

} // namespace Program::Replays
