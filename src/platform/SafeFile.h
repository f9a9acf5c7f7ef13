// The file operations a safe save rests on, one implementation per system:
// SafeFilePosix.cpp, and beside it one for Windows. Nothing here knows what
// the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace SafeFile {

// What a path names, links followed.
enum class Kind { Missing, Regular, Folder, Other };

struct Status {
    Kind kind = Kind::Missing;
    unsigned mode = 0;     // permission bits of what is there
    bool readOnly = false; // it carries no write permission, or we may not write it
    // Its user and group where the system has them, else -1.
    std::int64_t owner = -1;
    std::int64_t group = -1;
};

// The file `path` finally names, every symbolic link followed (the last one
// may point at a file that does not exist yet). False, with the reason, on a
// loop of links or a link that cannot be read.
bool Resolve(const std::string& path, std::string& real, std::string& error);

// What `path` is. False, with the reason, when it cannot be looked at; a
// missing path is no failure.
bool Inspect(const std::string& path, Status& status, std::string& error);

// Where a save of `path` goes (`real`, as Resolve gives it) and what is
// there now: a regular file or nothing. False, with the reason, for a folder
// or anything else. The same on every system (SaveTarget.cpp).
bool SaveTarget(const std::string& path, std::string& real, Status& status, std::string& error);

// Reads at most `limit` bytes of a regular file. Never waits on a FIFO or a
// device: anything but a regular file is NotRegular and is not read.
enum class ReadResult { Ok, Missing, NotRegular, Failed };
ReadResult ReadRegular(const std::string& path, std::size_t limit, std::string& data,
                       std::string& error);

// An exclusive advisory lock on `file`, created if missing but never through
// a link; held until the Lock is destroyed.
class Lock {
  public:
    Lock() = default;
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock();
    // Waits at most `timeoutMs` (0: tries once). `waiting` is called once, when
    // the lock is found held by someone else; while it waits, `stop` returning
    // true gives up.
    bool Acquire(const std::string& file, int timeoutMs, const std::function<void()>& waiting,
                 std::string& error, const std::function<bool()>& stop = {});
    // The last Acquire gave up because someone else held the lock throughout.
    bool Busy() const { return busy_; }

  private:
    std::intptr_t handle_ = -1;
    bool busy_ = false;
};

// A new file in the folder of `target`, under a unique name of the form
// `<target>.tmp-<unique>` that was created exclusively, never through a link.
// It is removed again unless it replaced the target.
class TempFile {
  public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();
    // The new file gets the permissions of `like` (the file it will replace)
    // exactly and, where the process may, its owner and group; without it,
    // what a new file usually gets.
    bool Create(const std::string& target, const Status* like, std::string& error);
    bool Write(std::string_view text, std::string& error);
    // Flushes the content to disk, closes the file and puts it in the place
    // of the target in one step: the target is either the old or the new file.
    // Unsynced, it leaves the flushing to the system: still whole, but a
    // power cut may bring back the old file. That costs no wait on the disk,
    // for files written while a frame waits whose loss is cheap.
    enum class Sync : std::uint8_t { Now, Later };
    bool Replace(std::string& error, Sync sync = Sync::Now);
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    std::string target_;
    std::intptr_t handle_ = -1;
};

// Writes `text` to a file that must not exist yet (never through a link),
// with exactly `mode` when given, else the usual permissions of a new file.
enum class CreateResult { Created, Exists, Failed };
CreateResult CreateNew(const std::string& path, std::string_view text, const unsigned* mode,
                       std::string& error);

// Keeps `file` as it is now under the new name `copy`, never over anything
// that exists: a hard link where the file system has them, else a copy of
// every byte, on disk before this returns, with the file's permissions and
// (where the process may) its owner.
CreateResult KeepCopy(const std::string& file, const std::string& copy, std::string& error);

// Off, KeepCopy makes no hard links, as on a file system without them: lets
// the tests reach the copy. On by default.
void UseHardLinks(bool on);

// Removes what killed saves left beside `target`: regular files named like a
// TempFile of it, and `<target>.tmp` as older versions named theirs.
void RemoveStaleTemps(const std::string& target);

// Whether a new file can be made beside `target`: its folder exists and we
// may create, write and remove a file of the TempFile form in it.
bool ProbeFolder(const std::string& target, std::string& error);

} // namespace SafeFile
