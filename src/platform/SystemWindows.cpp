#include "platform/System.h"

#include <cstdio>

// windows.h first: the others build on it
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

namespace System {

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

std::filesystem::path ExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) {
            return {};
        }
        if (n < name.size()) {
            name.resize(n);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2); // truncated: a long path
    }
}

double ResidentMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return 0.0;
    }
    return static_cast<double>(counters.WorkingSetSize) / 1048576.0;
}

// Large pages need a right that players' accounts don't hold.
void PreferLargePages(void*, std::size_t) {}

// argv holds the command line in the ANSI code page, which can't spell every
// name; the wide command line can.
std::vector<std::string> Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) {
            LocalFree(wide);
        }
        return {argv, argv + argc};
    }
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        args.push_back(Utf8(wide[i]));
    }
    LocalFree(wide);
    return args;
}

// Built for the GUI subsystem, the game gets no console of its own, so
// Explorer opens none. Started from a console, it borrows that one for the
// streams that were not sent elsewhere.
void AttachConsole() {
    const auto unset = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_UNKNOWN;
    };
    const bool out = unset(STD_OUTPUT_HANDLE);
    const bool err = unset(STD_ERROR_HANDLE);
    if ((!out && !err) || !::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    std::FILE* ignored = nullptr;
    if (out) {
        freopen_s(&ignored, "CONOUT$", "w", stdout);
    }
    if (err) {
        freopen_s(&ignored, "CONOUT$", "w", stderr);
    }
}

} // namespace System
