#include "platform/SafeFile.h"
#include "platform/TempName.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace SafeFile {

namespace {

constexpr int kMaxLinks = 40;

bool Fail(std::string& error, const std::string& what, const std::string& file, int err = errno) {
    error = what + " " + file + ": " + std::strerror(err);
    return false;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The rename lasts only once the folder is on disk too. A folder that can't
// be flushed leaves the new file in place all the same.
void SyncFolder(const std::string& file) {
    const Fd dir(::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

// Gives a new file `mode` and, where the process may, the owner and group of
// the file it stands in for: only root may give a file away, and a member
// hand it to its group. The mode comes last, as a new owner may clear bits.
bool Imitate(int fd, unsigned mode, std::int64_t owner, std::int64_t group) {
    if (owner >= 0 && group >= 0 &&
        (static_cast<uid_t>(owner) != ::geteuid() || static_cast<gid_t>(group) != ::getegid()) &&
        ::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group)) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(group));
    }
    return ::fchmod(fd, mode) == 0;
}

void RemoveIfRegular(const std::string& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        ::unlink(file.c_str());
    }
}

} // namespace

bool Resolve(const std::string& path, std::string& real, std::string& error) {
    real = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(real.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return true; // a new file where the last link points
            }
            return Fail(error, "cannot look at", real);
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(real.c_str(), target.data(), target.size());
        if (n < 0) {
            return Fail(error, "cannot read the link", real);
        }
        target.resize(static_cast<std::size_t>(n));
        real = target.starts_with('/') ? target : FolderOf(real) + "/" + target;
    }
    return Fail(error, "cannot follow", path, ELOOP);
}

bool Inspect(const std::string& path, Status& status, std::string& error) {
    status = {};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return true;
        }
        return Fail(error, "cannot look at", path);
    }
    status.mode = st.st_mode & 07777;
    status.owner = st.st_uid;
    status.group = st.st_gid;
    if (S_ISREG(st.st_mode)) {
        status.kind = Kind::Regular;
    } else if (S_ISDIR(st.st_mode)) {
        status.kind = Kind::Folder;
    } else {
        status.kind = Kind::Other;
    }
    // The write bits count even for root: a table made read-only is meant so.
    status.readOnly = (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
    return true;
}

ReadResult ReadRegular(const std::string& path, std::size_t limit, std::string& data,
                       std::string& error) {
    data.clear();
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const Fd in(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() < 0) {
        if (errno == ENOENT) {
            return ReadResult::Missing;
        }
        Fail(error, "cannot open", path);
        return ReadResult::Failed;
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) {
        Fail(error, "cannot look at", path);
        return ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        error = path + " is not a regular file";
        return ReadResult::NotRegular;
    }
    data.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(in.get(), data.data() + got, limit - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            data.clear();
            Fail(error, "cannot read", path);
            return ReadResult::Failed;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
    return ReadResult::Ok;
}

Lock::~Lock() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_)); // closing releases the lock
    }
}

bool Lock::Acquire(const std::string& file, int timeoutMs, const std::function<void()>& waiting,
                   std::string& error, const std::function<bool()>& stop) {
    constexpr int kFlags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(file.c_str(), O_RDWR | kFlags, 0666);
    if (fd < 0 && errno == EACCES) {
        fd = ::open(file.c_str(), O_RDONLY | kFlags, 0666); // another user's lock file
    }
    if (fd < 0) {
        return Fail(error, "cannot open the lock file", file);
    }
    handle_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "the lock file " + file + " is not a regular file";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool told = false;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno == ENOLCK || errno == EOPNOTSUPP) {
            return true; // a file system without locks: the atomic replace still holds
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return Fail(error, "cannot lock", file);
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
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

bool TempFile::Create(const std::string& target, const Status* like, std::string& error) {
    static std::atomic<unsigned> serial{0};
    target_ = target;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name =
            TempName(target, static_cast<unsigned long>(::getpid()), serial.fetch_add(1));
        // O_EXCL refuses any name that exists, a link included.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              like != nullptr ? like->mode : 0666);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return Fail(error, "cannot create", name);
        }
        handle_ = fd;
        path_ = std::move(name);
        if (like != nullptr && !Imitate(fd, like->mode, like->owner, like->group)) {
            return Fail(error, "cannot set the permissions of", path_);
        }
        return true;
    }
    return Fail(error, "cannot create a temporary file beside", target, EEXIST);
}

bool TempFile::Write(std::string_view text, std::string& error) {
    if (!WriteAll(static_cast<int>(handle_), text)) {
        return Fail(error, "cannot write", path_);
    }
    return true;
}

bool TempFile::Replace(std::string& error, Sync sync) {
    const int fd = static_cast<int>(std::exchange(handle_, -1));
    if (sync == Sync::Now && ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        return Fail(error, "cannot flush", path_, err);
    }
    if (::close(fd) != 0) {
        return Fail(error, "cannot close", path_);
    }
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
        return Fail(error, "cannot replace", target_);
    }
    path_.clear();
    if (sync == Sync::Now) {
        SyncFolder(target_);
    }
    return true;
}

CreateResult CreateNew(const std::string& path, std::string_view text, const unsigned* mode,
                       std::string& error) {
    const Fd out(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        mode != nullptr ? *mode : 0666));
    if (out.get() < 0) {
        if (errno == EEXIST) {
            return CreateResult::Exists;
        }
        Fail(error, "cannot create", path);
        return CreateResult::Failed;
    }
    if (!WriteAll(out.get(), text) || ::fsync(out.get()) != 0) {
        Fail(error, "cannot write", path);
        ::unlink(path.c_str());
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

namespace {

std::atomic<bool> hardLinks{true};

// Every byte of `file`, or nothing: a short copy is removed again.
CreateResult CopyWhole(const std::string& file, const std::string& copy, std::string& error) {
    const Fd in(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0) {
        Fail(error, "cannot read", file);
        return CreateResult::Failed;
    }
    const Fd out(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        st.st_mode & 07777));
    if (out.get() < 0) {
        if (errno == EEXIST) {
            return CreateResult::Exists;
        }
        Fail(error, "cannot create", copy);
        return CreateResult::Failed;
    }
    const auto failed = [&](const std::string& what, const std::string& name, int err) {
        Fail(error, what, name, err);
        ::unlink(copy.c_str());
        return CreateResult::Failed;
    };
    if (!Imitate(out.get(), st.st_mode & 07777, st.st_uid, st.st_gid)) {
        return failed("cannot set the permissions of", copy, errno);
    }
    std::string buffer(1 << 16, '\0');
    off_t copied = 0;
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return failed("cannot read", file, errno);
        }
        if (n == 0) {
            break;
        }
        if (!WriteAll(out.get(), std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
            return failed("cannot write", copy, errno);
        }
        copied += n;
    }
    struct stat written {};
    if (::fstat(out.get(), &written) != 0 || written.st_size != copied || copied != st.st_size) {
        return failed("cannot copy all of", file + " to " + copy, EIO);
    }
    if (::fsync(out.get()) != 0) {
        return failed("cannot write", copy, errno);
    }
    SyncFolder(copy);
    return CreateResult::Created;
}

} // namespace

void UseHardLinks(bool on) {
    hardLinks = on;
}

CreateResult KeepCopy(const std::string& file, const std::string& copy, std::string& error) {
    if (hardLinks) {
        if (::link(file.c_str(), copy.c_str()) == 0) {
            SyncFolder(copy);
            return CreateResult::Created;
        }
        if (errno == EEXIST) {
            return CreateResult::Exists;
        }
    }
    return CopyWhole(file, copy, error);
}

void RemoveStaleTemps(const std::string& target) {
    RemoveIfRegular(target + ".tmp");
    const std::string folder = FolderOf(target);
    const std::string base = NameOf(target);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        return;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (IsTempName(entry->d_name, base)) {
            RemoveIfRegular(folder + "/" + entry->d_name);
        }
    }
}

bool ProbeFolder(const std::string& target, std::string& error) {
    TempFile probe;
    if (!probe.Create(target, nullptr, error)) {
        return Fail(error, "cannot create files in", FolderOf(target));
    }
    return true; // the probe is removed as it goes
}

} // namespace SafeFile
