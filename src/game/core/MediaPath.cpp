#include "game/core/MediaPath.h"
#include "game/core/Catalogue.h"
#include "platform/System.h"

#include <array>
#include <system_error>

namespace Morvek {

namespace {

// share/games is where Debian's games keep their data (the package's layout).
std::array<std::filesystem::path, 4> Places(const std::filesystem::path& asked,
                                            const std::filesystem::path& exeDir) {
    const std::filesystem::path share = exeDir / ".." / "share";
    return {asked, exeDir / asked, share / "morvek" / asked, share / "games" / "morvek" / asked};
}

// Any other folder that happens to be called Media (a player's own, say)
// must not pass for the game's.
bool HoldsAPicture(const std::filesystem::path& folder) {
    for (const auto& row : catalogue) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(folder / std::filesystem::path(row.file).filename(),
                                             ec)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string MediaPath(std::string_view file, const std::filesystem::path& exeDir) {
    namespace fs = std::filesystem;
    const fs::path asked(file);
    if (asked.is_absolute() || exeDir.empty()) {
        return std::string(file);
    }
    const auto places = Places(asked, exeDir);
    for (const fs::path& p : places) {
        std::error_code ec;
        if (fs::is_regular_file(p, ec)) {
            return p.string();
        }
    }
    // Missing, it is missing from the Media folder the game plays from.
    for (const fs::path& p : places) {
        if (HoldsAPicture(p.parent_path())) {
            return p.string();
        }
    }
    return std::string(file);
}

std::string MediaPath(std::string_view file) {
    static const std::filesystem::path exeDir = System::ExecutableFolder();
    return MediaPath(file, exeDir);
}

bool MediaFolderFound(std::string& looked, const std::filesystem::path& exeDir) {
    const auto places = Places("Media", exeDir.empty() ? "." : exeDir);
    looked.clear();
    for (const auto& p : places) {
        if (HoldsAPicture(p)) {
            return true;
        }
        looked += (looked.empty() ? "" : ", ") + p.lexically_normal().string();
    }
    return false;
}

bool MediaFolderFound(std::string& looked) {
    return MediaFolderFound(looked, System::ExecutableFolder());
}

} // namespace Morvek
