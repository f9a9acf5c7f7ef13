#include "game/core/MediaPath.h"
#include "platform/System.h"

#include <array>
#include <system_error>

namespace Procedures {

std::string MediaPath(std::string_view file, const std::filesystem::path& exeDir) {
    namespace fs = std::filesystem;
    const fs::path asked(file);
    if (asked.is_absolute() || exeDir.empty()) {
        return std::string(file);
    }
    const std::array<fs::path, 3> places{asked, exeDir / asked,
                                         exeDir / ".." / "share" / "morvek" / asked};
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

} // namespace Procedures
