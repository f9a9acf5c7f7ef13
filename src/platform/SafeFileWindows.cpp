// The save's file operations on Windows. Names arrive in UTF-8 and reach the
// system through its wide API, so any user's folder name works. Windows has
// no permission bits: a table is read-only by its attribute, and a new file
// gets the folder's usual access.
#include "platform/SafeFile.h"
#include "platform/TempName.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <utility>
#include <windows.h>

namespace SafeFile {

namespace {

std::wstring Wide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string Reason(DWORD err) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = n > 0 ? Narrow(text) : "error " + std::to_string(err);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

bool Fail(std::string& error, const std::string& what, const std::string& file,
          DWORD err = GetLastError()) {
    error = what + " " + file + ": " + Reason(err);
    return false;
}

bool IsMissing(DWORD err) {
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) {
            CloseHandle(h_);
        }
    }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenNew(const std::string& path) {
    // CREATE_NEW refuses any name that exists, a link included.
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A file on disk, not a folder, device, pipe or link.
bool IsRegular(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

bool WriteAll(HANDLE h, std::string_view text) {
    while (!text.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, text.data(), chunk, &written, nullptr)) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

void RemoveIfRegular(const std::string& file) {
    const DWORD attributes = GetFileAttributesW(Wide(file).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0) {
        DeleteFileW(Wide(file).c_str());
    }
}

} // namespace

// Links on Windows need rights players rarely have; the path is taken as it
// stands and a link found at the lock or the temporary file is refused there.
bool Resolve(const std::string& path, std::string& real, std::string&) {
    real = path;
    return true;
}

bool Inspect(const std::string& path, Status& status, std::string& error) {
    status = {};
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD err = GetLastError();
        return IsMissing(err) || Fail(error, "cannot look at", path, err);
    }
    status.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    status.mode = status.readOnly ? 0444 : 0666;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        status.kind = Kind::Folder;
        return true;
    }
    // Devices (NUL, CON, COM1) and pipes answer too: look at what opens.
    const Handle h(CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (h.valid()) {
        status.kind = IsRegular(h.get()) ? Kind::Regular : Kind::Other;
    } else {
        // held open by another program without sharing: still a file
        status.kind = GetLastError() == ERROR_SHARING_VIOLATION ? Kind::Regular : Kind::Other;
    }
    return true;
}

ReadResult ReadRegular(const std::string& path, std::size_t limit, std::string& data,
                       std::string& error) {
    data.clear();
    const Handle in(CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!in.valid()) {
        const DWORD err = GetLastError();
        if (IsMissing(err)) {
            return ReadResult::Missing;
        }
        Fail(error, "cannot open", path, err);
        return ReadResult::Failed;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(in.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(in.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = path + " is not a regular file";
        return ReadResult::NotRegular;
    }
    data.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit - got, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(in.get(), data.data() + got, chunk, &n, nullptr)) {
            data.clear();
            Fail(error, "cannot read", path);
            return ReadResult::Failed;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    data.resize(got);
    return ReadResult::Ok;
}

Lock::~Lock() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_)); // closing releases the lock
    }
}

bool Lock::Acquire(const std::string& file, int timeoutMs, const std::function<void()>& waiting,
                   std::string& error, const std::function<bool()>& stop) {
    const std::wstring name = Wide(file);
    constexpr DWORD kFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                           OPEN_ALWAYS, kFlags, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        // another user's lock file, or one made read-only
        h = CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, kFlags,
                        nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) {
        return Fail(error, "cannot open the lock file", file);
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    if (!IsRegular(h)) {
        error = "the lock file " + file + " is not a regular file";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool told = false;
    for (;;) {
        OVERLAPPED whole{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &whole)) {
            return true;
        }
        const DWORD err = GetLastError();
        if (err == ERROR_NOT_SUPPORTED || err == ERROR_INVALID_FUNCTION) {
            return true; // a file system without locks: the atomic replace still holds
        }
        if (err != ERROR_LOCK_VIOLATION && err != ERROR_IO_PENDING) {
            return Fail(error, "cannot lock", file, err);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "another program held " + file + " for " +
                    std::to_string((timeoutMs + 999) / 1000) + " s";
            busy_ = true;
            return false;
        }
        if (!std::exchange(told, true) && waiting) {
            waiting();
        }
        if (stop && stop()) {
            error = "stopped while waiting for " + file;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TempFile::~TempFile() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
    if (!path_.empty()) {
        DeleteFileW(Wide(path_).c_str());
    }
}

bool TempFile::Create(const std::string& target, const Status*, std::string& error) {
    static std::atomic<unsigned> serial{0};
    target_ = target;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TempName(target, GetCurrentProcessId(), serial.fetch_add(1));
        const HANDLE h = OpenNew(name);
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
            continue;
        }
        if (h == INVALID_HANDLE_VALUE) {
            return Fail(error, "cannot create", name);
        }
        handle_ = reinterpret_cast<std::intptr_t>(h);
        path_ = std::move(name);
        return true;
    }
    return Fail(error, "cannot create a temporary file beside", target, ERROR_FILE_EXISTS);
}

bool TempFile::Write(std::string_view text, std::string& error) {
    if (!WriteAll(reinterpret_cast<HANDLE>(handle_), text)) {
        return Fail(error, "cannot write", path_);
    }
    return true;
}

bool TempFile::Replace(std::string& error, Sync sync) {
    const HANDLE file = reinterpret_cast<HANDLE>(std::exchange(handle_, -1));
    if (sync == Sync::Now && !FlushFileBuffers(file)) {
        const DWORD err = GetLastError();
        CloseHandle(file);
        return Fail(error, "cannot flush", path_, err);
    }
    if (!CloseHandle(file)) {
        return Fail(error, "cannot close", path_);
    }
    // A file open anywhere can't be replaced, even when shared for deletion:
    // another game reading the table at its start, or a virus scanner, holds
    // it for a moment.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!MoveFileExW(Wide(path_).c_str(), Wide(target_).c_str(),
                        MOVEFILE_REPLACE_EXISTING |
                            (sync == Sync::Now ? MOVEFILE_WRITE_THROUGH : 0))) {
        const DWORD err = GetLastError();
        if ((err != ERROR_ACCESS_DENIED && err != ERROR_SHARING_VIOLATION) ||
            std::chrono::steady_clock::now() >= deadline) {
            return Fail(error, "cannot replace", target_, err);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    path_.clear();
    return true;
}

CreateResult CreateNew(const std::string& path, std::string_view text, const unsigned*,
                       std::string& error) {
    const Handle out(OpenNew(path));
    if (!out.valid()) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_EXISTS) {
            return CreateResult::Exists;
        }
        Fail(error, "cannot create", path, err);
        return CreateResult::Failed;
    }
    if (!WriteAll(out.get(), text) || !FlushFileBuffers(out.get())) {
        Fail(error, "cannot write", path);
        DeleteFileW(Wide(path).c_str());
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

namespace {
std::atomic<bool> hardLinks{true};
}

void UseHardLinks(bool on) {
    hardLinks = on;
}

CreateResult KeepCopy(const std::string& file, const std::string& copy, std::string& error) {
    if (hardLinks && CreateHardLinkW(Wide(copy).c_str(), Wide(file).c_str(), nullptr)) {
        return CreateResult::Created;
    }
    if (hardLinks &&
        (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS)) {
        return CreateResult::Exists;
    }
    // CopyFileW copies every byte or fails; it does not flush, so that is done here.
    if (!CopyFileW(Wide(file).c_str(), Wide(copy).c_str(), TRUE)) {
        const DWORD err = GetLastError();
        if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS) {
            return CreateResult::Exists;
        }
        Fail(error, "cannot copy " + file + " to", copy, err);
        return CreateResult::Failed;
    }
    const Handle out(CreateFileW(Wide(copy).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid() || !FlushFileBuffers(out.get())) {
        Fail(error, "cannot write", copy);
        DeleteFileW(Wide(copy).c_str());
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

void RemoveStaleTemps(const std::string& target) {
    RemoveIfRegular(target + ".tmp");
    const std::string folder = FolderOf(target);
    const std::string base = NameOf(target);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = Narrow(found.cFileName);
        if (IsTempName(name, base)) {
            RemoveIfRegular(folder + "\\" + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool ProbeFolder(const std::string& target, std::string& error) {
    TempFile probe;
    if (!probe.Create(target, nullptr, error)) {
        return Fail(error, "cannot create files in", FolderOf(target));
    }
    return true; // the probe is removed as it goes
}

} // namespace SafeFile
