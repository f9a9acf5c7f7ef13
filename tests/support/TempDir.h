// A new, empty folder of a unique name under the system's temporary folder.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace TestSupport {

inline std::filesystem::path MakeTempDir(std::string_view prefix) {
    std::random_device seed;
    std::mt19937_64 pick(seed());
    for (;;) {
        auto dir = std::filesystem::temp_directory_path() /
                   (std::string(prefix) + "-" + std::to_string(pick() % 1000000000));
        if (std::filesystem::create_directory(dir)) { // false when it existed
            return dir;
        }
    }
}

} // namespace TestSupport
