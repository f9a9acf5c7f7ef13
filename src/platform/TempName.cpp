#include "platform/TempName.h"

namespace SafeFile {

namespace {
constexpr std::string_view kTempMark = ".tmp-";
}

std::string TempName(const std::string& target, unsigned long process, unsigned serial) {
    return target + std::string(kTempMark) + std::to_string(process) + "-" + std::to_string(serial);
}

bool IsTempName(std::string_view name, std::string_view base) {
    if (name.substr(0, base.size()) != base ||
        name.substr(base.size(), kTempMark.size()) != kTempMark) {
        return false;
    }
    name.remove_prefix(base.size() + kTempMark.size());
    const auto dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i != dash && (name[i] < '0' || name[i] > '9')) {
            return false;
        }
    }
    return true;
}

} // namespace SafeFile
