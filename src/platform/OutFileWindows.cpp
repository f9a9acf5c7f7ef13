// Out files on Windows: the path is looked at one folder at a time, a link
// (a reparse point) met on the way resolved and checked, and the file is
// written under a new name and moved over the target. Names compare without
// case, as the system's do; names arrive in UTF-8.
#include "platform/OutFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <windows.h>

namespace OutFile {

namespace {

namespace fs = std::filesystem;

std::wstring Wide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string Reason(DWORD err) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (n > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
        reason.assign(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text, -1, reason.data(), size, nullptr, nullptr);
    } else {
        reason = "error " + std::to_string(err);
    }
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

// A path from UTF-8, and a name back to UTF-8.
fs::path Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

Result SystemFailed(DWORD err) {
    return {Verdict::Failed, Reason(err)};
}

// The C library's words for what POSIX systems say here too.
Result Failed(int err) {
    return {Verdict::Failed, std::strerror(err)};
}

Result Refused(Verdict verdict, std::string why = "") {
    return {verdict, std::move(why)};
}

// Where a path really is, links resolved, even when its end does not exist yet.
fs::path Real(const fs::path& path) {
    std::error_code ec;
    fs::path real = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) {
        real = fs::absolute(path, ec).lexically_normal();
    }
    return real;
}

// A path as the system compares it: without case, without a closing separator.
std::wstring Folded(const fs::path& path) {
    std::wstring text = path.lexically_normal().wstring();
    for (wchar_t& c : text) {
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
    }
    while (text.size() > 1 && text.back() == L'\\') {
        text.pop_back();
    }
    return text;
}

// `inner` is `outer` or lies under it.
bool Within(const fs::path& inner, const fs::path& outer) {
    const std::wstring in = Folded(inner), out = Folded(outer);
    return in == out || (in.size() > out.size() && in.compare(0, out.size(), out) == 0 &&
                         (out.back() == L'\\' || in[out.size()] == L'\\'));
}

struct Protected {
    std::vector<fs::path> folders;
    struct File {
        fs::path path;
        fs::path folder;
        std::string name;
    };
    std::vector<File> files;
};

Protected Gather(const Fence& fence) {
    Protected p;
    for (const auto& folder : fence.folders) {
        std::error_code ec;
        if (fs::is_directory(Path(folder), ec)) {
            p.folders.push_back(Real(Path(folder)));
        }
    }
    for (const auto& file : fence.files) {
        if (file.empty()) {
            continue;
        }
        const fs::path path = Path(file);
        p.files.push_back({path,
                           Real(path.parent_path().empty() ? fs::path(".") : path.parent_path()),
                           Utf8(path.filename())});
    }
    return p;
}

bool UnderProtected(const fs::path& place, const Protected& p) {
    for (const auto& folder : p.folders) {
        if (Within(place, folder)) {
            return true;
        }
    }
    return false;
}

Result Replace(const fs::path& folder, const fs::path& target, std::string_view data) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path temp = folder / (".morvek-" + std::to_string(GetCurrentProcessId()) + "-" +
                                        std::to_string(serial.fetch_add(1)) + ".tmp");
        // CREATE_NEW refuses any name that exists, a link included.
        const HANDLE h = CreateFileW(temp.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD err = GetLastError();
            if (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS) {
                continue;
            }
            return SystemFailed(err);
        }
        bool written = true;
        while (written && !data.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
            DWORD done = 0;
            written = WriteFile(h, data.data(), chunk, &done, nullptr) != 0;
            data.remove_prefix(done);
        }
        const DWORD writeError = written ? 0 : GetLastError();
        const bool closed = CloseHandle(h) != 0;
        if (!written || !closed) {
            const DWORD err = written ? GetLastError() : writeError;
            DeleteFileW(temp.wstring().c_str());
            return SystemFailed(err);
        }
        if (!MoveFileExW(temp.wstring().c_str(), target.wstring().c_str(),
                         MOVEFILE_REPLACE_EXISTING)) {
            const DWORD err = GetLastError();
            DeleteFileW(temp.wstring().c_str());
            return SystemFailed(err);
        }
        return {};
    }
    return SystemFailed(ERROR_FILE_EXISTS);
}

Result Walk(const std::string& path, const std::string_view* data, const Fence& fence) {
    const bool make = data != nullptr;
    std::vector<std::string> parts;
    const bool namesFile = SplitPath(path, "/\\", parts);
    const fs::path given = Path(path);
    const bool rooted = given.has_root_path();
    if (fence.withinWorkingDir &&
        (rooted || std::find(parts.begin(), parts.end(), "..") != parts.end())) {
        return Refused(Verdict::Outside);
    }
    if (!namesFile) {
        return fence.withinWorkingDir ? Refused(Verdict::Outside) : Failed(EISDIR);
    }
    const auto cannot = [make](Result failed) { return make ? failed : Result{}; };

    const Protected fenced = Gather(fence);
    const fs::path here = Real(".");
    fs::path at = rooted ? given.root_path() : fs::path(".");
    if (UnderProtected(Real(at), fenced)) {
        return Refused(Verdict::GameFile);
    }
    bool missing = false;
    for (std::size_t i = 0; i + 1 < parts.size() && !missing; ++i) {
        const fs::path next = at / Path(parts[i]);
        DWORD attributes = GetFileAttributesW(next.wstring().c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD err = GetLastError();
            if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND) {
                return cannot(SystemFailed(err));
            }
            if (!make) {
                missing = true;
                break;
            }
            if (!CreateDirectoryW(next.wstring().c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS) {
                return SystemFailed(GetLastError());
            }
            attributes = GetFileAttributesW(next.wstring().c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                return SystemFailed(GetLastError());
            }
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return cannot(Failed(ENOTDIR));
        }
        const fs::path real = Real(next);
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && fence.withinWorkingDir &&
            !Within(real, here)) {
            return Refused(Verdict::Outside);
        }
        if (UnderProtected(real, fenced)) {
            return Refused(Verdict::GameFile);
        }
        at = next;
    }
    const fs::path target = (missing ? fs::path(given) : at / Path(parts.back()));
    const fs::path folder = Real(missing ? given.parent_path() : at);
    if (!missing) {
        const DWORD attributes = GetFileAttributesW(target.wstring().c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                return Refused(Verdict::NotRegular, "a symbolic link");
            }
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                return Refused(Verdict::NotRegular, "a folder");
            }
            std::error_code ec;
            if (!fs::is_regular_file(target, ec)) {
                return Refused(Verdict::NotRegular, "not a regular file");
            }
            for (const auto& f : fenced.files) {
                if (fs::equivalent(target, f.path, ec)) {
                    return Refused(Verdict::GameFile);
                }
            }
        }
    }
    for (const auto& f : fenced.files) {
        if (Folded(folder) == Folded(f.folder) && IsCompanion(parts.back(), f.name, true)) {
            return Refused(Verdict::GameFile);
        }
    }
    if (!make) {
        return {};
    }
    return Replace(at, target, *data);
}

} // namespace

Result Check(const std::string& path, const Fence& fence) {
    return Walk(path, nullptr, fence);
}

Result Write(const std::string& path, std::string_view data, const Fence& fence) {
    return Walk(path, &data, fence);
}

std::FILE* OpenStream(const std::string& path, std::string& why) {
    std::error_code ec;
    if (fs::is_directory(Path(path), ec)) {
        why = "it is a folder, not a file or a device such as NUL";
        return nullptr;
    }
    // Binary: a recording is the same bytes on every system, no CR before its newlines
    std::FILE* file = _wfopen(Wide(path).c_str(), L"wb");
    if (file == nullptr) {
        why = std::strerror(errno);
    }
    return file;
}

} // namespace OutFile
