// What the program needs of the system beyond files, one implementation per
// system: SystemPosix.cpp and SystemWindows.cpp.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace System {

// The folder of the running executable; empty when it can't be found.
std::filesystem::path ExecutableFolder();

// The memory the process holds in RAM, in megabytes; 0 when unknown.
double ResidentMegabytes();

// Asks for [start, start + bytes) to be backed by large pages where the
// system offers them to a plain program: touching fresh memory page by page
// costs more than reading the pictures that fill it. Only a hint.
void PreferLargePages(void* start, std::size_t bytes);

// The command line in UTF-8, whatever the system's own encoding of it.
std::vector<std::string> Arguments(int argc, char** argv);

// A path from the game's UTF-8 text. std::filesystem::path(std::string)
// would read it in the C library's locale on Windows, where "é" becomes "Ã©"
// and the path names another folder.
inline std::filesystem::path PathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A windowed program started from a console writes its messages there; one
// started any other way keeps them silent. Call before writing anything.
void AttachConsole();

} // namespace System
