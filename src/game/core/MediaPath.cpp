#include "game/core/MediaPath.h"
#include "platform/System.h"

#include <array>
#include <system_error>

namespace Procedures {

namespace {

std::array<std::filesystem::path, 3> Places(const std::filesystem::path& asked,
                                            const std::filesystem::path& exeDir) {
    return {asked, exeDir / asked, exeDir / ".." / "share" / "morvek" / asked};
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
    return std::string(file);
}

std::string MediaPath(std::string_view file) {
    static const std::filesystem::path exeDir = System::ExecutableFolder();
    return MediaPath(file, exeDir);
}

bool MediaFolderFound(std::string& looked) {
    const std::filesystem::path exeDir = System::ExecutableFolder();
    const auto places = Places("Media", exeDir.empty() ? "." : exeDir);
    looked.clear();
    for (const auto& p : places) {
        std::error_code ec;
        if (std::filesystem::is_directory(p, ec)) {
            return true;
        }
        looked += (looked.empty() ? "" : ", ") + p.lexically_normal().string();
    }
    return false;
}

} // namespace Procedures
