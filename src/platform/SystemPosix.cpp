#include "platform/System.h"

#include <cstdint>
#include <fstream>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>

namespace System {

std::filesystem::path ExecutableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

void PreferLargePages(void* start, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(start, bytes, MADV_HUGEPAGE); // refused, the pages are small as before
#else
    (void)start;
    (void)bytes;
#endif
}

std::vector<std::string> Arguments(int argc, char** argv) {
    return {argv, argv + argc};
}

void AttachConsole() {}

} // namespace System
