#include "platform/Folders.h"

#include <cstdlib>
#include <string>

namespace System {

// The zip has no installer, so %APPDATA% (the roaming profile) is the one
// place every Windows gives a program for its player's files.
PlayerFolders PlayerFoldersOf() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || appData[0] == L'\0') {
        return {};
    }
    const std::filesystem::path folder = std::filesystem::path(std::wstring(appData)) / L"Morvek";
    return {folder, folder};
}

} // namespace System
