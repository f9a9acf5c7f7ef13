// A new, empty folder of a unique name under the system's temporary folder.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

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

// A unique folder that goes with its owner, so runs side by side never meet.
struct ScopedTempDir {
    explicit ScopedTempDir(std::string_view prefix) : path(MakeTempDir(prefix)) {}
    ~ScopedTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    const std::filesystem::path path;
};

} // namespace TestSupport
