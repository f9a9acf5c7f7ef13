// The highscore file: its reading rule and its format, with no display calls.
#pragma once

#include "game/core/World.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace Procedures {

// Where the table is kept; the one place that names the file.
extern std::string scorefile;

// Inserts the result (scores[11].naam, score) into the table and writes the
// file. On a failed write the table in memory stays as it was and the reason
// goes to stderr; returns whether the file was written.
bool SaveResult();

namespace ScoreFile {

using Table = std::array<highscore, 12>; // [0..11], places 1..10, 11 the new result

constexpr card kPlaces = 10;
// Ten entries as the game writes them take 180 bytes; this leaves hand-edited
// files plenty of room while a huge or endless file is never read whole.
constexpr std::size_t kMaxRead = 4096;

// Places 1..10 from the bytes of a file. Places that could not be read get a
// blank name and 0. Returns how many places were read.
card Parse(std::string_view data, Table& table);

// Reads at most kMaxRead bytes of the file; a missing or unreadable file
// reads as an empty table.
card Read(const std::string& path, Table& table);

// The file's content for places 1..10: one line, no line break.
std::string Format(const Table& table);

// Sorts table[11] (name already typed) with `result` into places 1..10;
// equal scores stay above the new one, the old tenth falls into slot 11.
void Insert(Table& table, card result);

// The temporary file a save writes before it replaces the table.
std::string TempPath(const std::string& path);
// Writes `text` to `file` and flushes it to disk.
bool WriteSynced(const std::string& file, std::string_view text, std::string& error);
// Writes the whole table beside `path` and renames it over it: the file holds
// either the old table or the new one, never a part.
bool Write(const std::string& path, const Table& table, std::string& error);

// A name as it may be drawn: bytes that are not printable become '?'.
std::string Shown(const std::array<char, 7>& naam);

} // namespace ScoreFile
} // namespace Procedures
