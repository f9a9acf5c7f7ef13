// A file's whole content, "" when it can't be read.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace TestSupport {

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace TestSupport
