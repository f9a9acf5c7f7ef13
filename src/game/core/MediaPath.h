// Where the pictures are: the game has always read "Media/..." from its
// working directory; an installed game finds them beside its executable or
// in its share folder instead, wherever it is started from.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Morvek {

// The first of `file` (as given, relative to the working directory),
// <exe dir>/file, <exe dir>/../share/morvek/file and
// <exe dir>/../share/games/morvek/file that exists. When none does, the
// place in the first of those folders that holds any of the game's pictures,
// so the failure names the folder the game plays from; `file` itself when
// there is no such folder.
std::string MediaPath(std::string_view file);
// The same search from a given executable directory (tests).
std::string MediaPath(std::string_view file, const std::filesystem::path& exeDir);

// Whether a "Media" folder holding any of the game's pictures is in one of
// those places; `looked` lists the places when none is.
bool MediaFolderFound(std::string& looked);
// The same search from a given executable directory (tests).
bool MediaFolderFound(std::string& looked, const std::filesystem::path& exeDir);

} // namespace Morvek
