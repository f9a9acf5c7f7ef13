// Out files on POSIX: the path is walked one folder at a time from the
// working directory (or the root), each folder opened as it is reached, so a
// link met on the way is seen, and the file is made in the last folder opened.
#include "platform/OutFile.h"
#include "platform/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace OutFile {

namespace {

namespace fs = std::filesystem;

struct Id {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const Id&) const = default;
};

Id IdOf(const struct stat& st) {
    return {st.st_dev, st.st_ino};
}

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

std::optional<Id> IdOfPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return IdOf(st);
}

std::optional<Id> IdOfFd(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return std::nullopt;
    }
    return IdOf(st);
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

// A folder where it really is, every link resolved, even when its last
// parts do not exist yet; the root is "".
std::string Located(const std::string& folder) {
    std::error_code ec;
    std::string where = fs::weakly_canonical(fs::absolute(folder, ec), ec).string();
    if (ec) {
        where = fs::absolute(folder, ec).lexically_normal().string();
    }
    while (!where.empty() && where.back() == '/') {
        where.pop_back();
    }
    return where;
}

// The fence's places as they are at this moment.
struct Protected {
    std::vector<Id> folders;
    struct File {
        std::string folder; // Located()
        std::optional<Id> folderId;
        std::string name;
        std::optional<Id> id; // when it exists
    };
    std::vector<File> files;
};

Protected Gather(const Fence& fence) {
    Protected p;
    for (const auto& folder : fence.folders) {
        if (const auto id = IdOfPath(folder)) {
            p.folders.push_back(*id);
        }
    }
    for (const auto& file : fence.files) {
        if (file.empty()) {
            continue;
        }
        // A link at the file is kept to as well as where it leads: the game
        // writes beside the one or the other.
        std::string real, ignored;
        if (!SafeFile::Resolve(file, real, ignored)) {
            real = file;
        }
        for (const std::string& place : {file, real}) {
            Protected::File f;
            f.folder = Located(FolderOf(place));
            f.folderId = IdOfPath(FolderOf(place));
            f.name = NameOf(place);
            f.id = IdOfPath(place);
            p.files.push_back(std::move(f));
        }
    }
    return p;
}

// The identities of `fd`'s folder and of every folder above it.
std::vector<Id> Ancestry(int fd) {
    std::vector<Id> line;
    Fd current(::dup(fd));
    for (int depth = 0; depth < 4096 && current.get() >= 0; ++depth) {
        const auto id = IdOfFd(current.get());
        if (!id) {
            break;
        }
        line.push_back(*id);
        Fd parent(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (parent.get() < 0 || IdOfFd(parent.get()) == id) {
            break; // the root is its own parent
        }
        current = std::move(parent);
    }
    return line;
}

bool Holds(const std::vector<Id>& ids, const std::optional<Id>& id) {
    return id && std::find(ids.begin(), ids.end(), *id) != ids.end();
}

bool UnderProtected(int fd, const Protected& p) {
    for (const Id& id : Ancestry(fd)) {
        if (Holds(p.folders, id)) {
            return true;
        }
    }
    return false;
}

std::string KindOf(const struct stat& st) {
    if (S_ISLNK(st.st_mode)) {
        return "a symbolic link";
    }
    if (S_ISDIR(st.st_mode)) {
        return "a folder";
    }
    if (S_ISFIFO(st.st_mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(st.st_mode)) {
        return "a socket";
    }
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
        return "a device";
    }
    return "not a regular file";
}

Result Refused(Verdict verdict, std::string why = "") {
    return {verdict, std::move(why)};
}

Result Failed(int err) {
    return {Verdict::Failed, std::strerror(err)};
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes `data` under a new name in `dir` and renames it to `name`: the
// rename replaces the entry, never opens what stands there.
Result Replace(int dir, const std::string& name, std::string_view data) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = ".morvek-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(serial.fetch_add(1)) + ".tmp";
        const int fd =
            ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return Failed(errno);
        }
        const bool written = WriteAll(fd, data);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            const int err = written ? errno : writeError;
            ::unlinkat(dir, temp.c_str(), 0);
            return Failed(err);
        }
        if (::renameat(dir, temp.c_str(), dir, name.c_str()) != 0) {
            const int err = errno;
            ::unlinkat(dir, temp.c_str(), 0);
            return Failed(err);
        }
        return {};
    }
    return Failed(EEXIST);
}

// Check (data null) or Write.
Result Walk(const std::string& path, const std::string_view* data, const Fence& fence) {
    const bool make = data != nullptr;
    // What the words say, before anything is looked at.
    std::vector<std::string> parts;
    const bool namesFile = SplitPath(path, "/", parts);
    const bool absolute = path.starts_with('/');
    if (fence.withinWorkingDir &&
        (absolute || std::find(parts.begin(), parts.end(), "..") != parts.end())) {
        return Refused(Verdict::Outside);
    }
    if (!namesFile) {
        return fence.withinWorkingDir ? Refused(Verdict::Outside) : Failed(EISDIR);
    }
    // Looking fails: a Check lets it pass, the Write says why.
    const auto cannot = [make](int err) { return make ? Failed(err) : Result{}; };

    const Protected fenced = Gather(fence);
    Fd dir(::open(absolute ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const auto start = dir.get() >= 0 ? IdOfFd(dir.get()) : std::nullopt;
    if (!start) {
        return cannot(errno);
    }
    if (UnderProtected(dir.get(), fenced)) {
        return Refused(Verdict::GameFile);
    }
    const std::string home = Located(".");
    std::string where = absolute ? "" : home;
    bool missing = false; // a Check reached a folder that is not there yet
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (missing) {
            where += "/" + part;
            continue;
        }
        struct stat st {};
        if (::fstatat(dir.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                return cannot(errno);
            }
            if (!make) {
                missing = true;
                where += "/" + part;
                continue;
            }
            if (::mkdirat(dir.get(), part.c_str(), 0777) != 0 && errno != EEXIST) {
                return Failed(errno);
            }
            if (::fstatat(dir.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
                return Failed(errno);
            }
        }
        const bool link = S_ISLNK(st.st_mode);
        if (!link && !S_ISDIR(st.st_mode)) {
            return cannot(ENOTDIR);
        }
        if (link) {
            // Where the link leads, even where nothing is yet.
            std::string target, ignored;
            where = Located(SafeFile::Resolve(where + "/" + part, target, ignored)
                                ? target
                                : where + "/" + part);
            if (fence.withinWorkingDir && where != home && !where.starts_with(home + "/")) {
                return Refused(Verdict::Outside);
            }
        }
        Fd next(::openat(dir.get(), part.c_str(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC | (link ? 0 : O_NOFOLLOW)));
        if (next.get() < 0) {
            return cannot(errno);
        }
        if (link) {
            // Where the link leads must be where the folder opened is.
            if (IdOfPath(where.empty() ? "/" : where) != IdOfFd(next.get())) {
                return cannot(ESTALE);
            }
            const auto line = Ancestry(next.get());
            if (fence.withinWorkingDir && !Holds(line, start)) {
                return Refused(Verdict::Outside);
            }
            for (const Id& id : line) {
                if (Holds(fenced.folders, id)) {
                    return Refused(Verdict::GameFile);
                }
            }
        } else {
            if (part == "..") {
                const auto slash = where.find_last_of('/');
                where.resize(slash == std::string::npos ? 0 : slash);
            } else {
                where += "/" + part;
            }
            if (Holds(fenced.folders, IdOfFd(next.get()))) {
                return Refused(Verdict::GameFile);
            }
        }
        dir = std::move(next);
    }
    const std::string& name = parts.back();
    std::optional<Id> folder;
    if (!missing) {
        folder = IdOfFd(dir.get());
        struct stat st {};
        if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISREG(st.st_mode)) {
                return Refused(Verdict::NotRegular, KindOf(st));
            }
            for (const auto& f : fenced.files) {
                if (f.id && *f.id == IdOf(st)) {
                    return Refused(Verdict::GameFile);
                }
            }
        } else if (errno != ENOENT) {
            return cannot(errno);
        }
    }
    for (const auto& f : fenced.files) {
        const bool sameFolder =
            (folder && f.folderId && *folder == *f.folderId) || where == f.folder;
        if (sameFolder && IsCompanion(name, f.name)) {
            return Refused(Verdict::GameFile);
        }
    }
    if (!make) {
        return {};
    }
    return Replace(dir.get(), name, *data);
}

// A stream goes to a file or a device: a FIFO would hold the run until
// something reads it, and stall it whenever the reader does.
std::string Describe(const struct stat& st) {
    return "it is " + KindOf(st) + ", not a file or a device such as /dev/null";
}

} // namespace

Result Check(const std::string& path, const Fence& fence) {
    return Walk(path, nullptr, fence);
}

Result Write(const std::string& path, std::string_view data, const Fence& fence) {
    return Walk(path, &data, fence);
}

std::FILE* OpenStream(const std::string& path, std::string& why) {
    const auto usable = [](const struct stat& st) {
        return S_ISREG(st.st_mode) || S_ISCHR(st.st_mode);
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !usable(st)) {
        why = Describe(st);
        return nullptr;
    }
    // Non-blocking, so that a FIFO put there meanwhile can't hold the start.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = std::strerror(errno);
        return nullptr;
    }
    if (::fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    if (!usable(st)) {
        why = Describe(st);
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if ((S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        why = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "w");
    if (file == nullptr) {
        why = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

} // namespace OutFile
