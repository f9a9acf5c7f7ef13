// Where a player's own files go on each system: FoldersPosix.cpp and
// FoldersWindows.cpp. Nothing here creates a folder; the game makes them when
// it first writes there.
#pragma once

#include <filesystem>

namespace System {

struct PlayerFolders {
    std::filesystem::path config; // settings.ini
    std::filesystem::path data;   // myscore.txt
};

// Both empty when the system names no home for them (no HOME, no APPDATA).
PlayerFolders PlayerFoldersOf();

} // namespace System
