// What the program needs of the system beyond files, one implementation per
// system: SystemPosix.cpp and SystemWindows.cpp.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
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

// A windowed program started from a console writes its messages there; one
// started any other way keeps them silent. Call before writing anything.
void AttachConsole();

} // namespace System
