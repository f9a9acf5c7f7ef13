#include "platform/Folders.h"

#include <cstdlib>

namespace System {

#ifndef __EMSCRIPTEN__
namespace {

// The XDG base directory rules ignore relative values: they would make
// the place depend on where the game was started.
std::filesystem::path Base(const char* variable, const char* underHome) {
    if (const char* set = std::getenv(variable); set != nullptr && set[0] == '/') {
        return set;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return std::filesystem::path(home) / underHome;
}

} // namespace
#endif

PlayerFolders PlayerFoldersOf() {
#ifdef __EMSCRIPTEN__
    // The page mounts its persistent storage here (web/index.html).
    return {"/save", "/save"};
#else
    PlayerFolders folders;
    if (auto config = Base("XDG_CONFIG_HOME", ".config"); !config.empty()) {
        folders.config = config / "morvek";
    }
    if (auto data = Base("XDG_DATA_HOME", ".local/share"); !data.empty()) {
        folders.data = data / "morvek";
    }
    return folders;
#endif
}

} // namespace System
