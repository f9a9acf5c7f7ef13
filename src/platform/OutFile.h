// Files a run writes on the player's word: a script's shots and states, the
// autopilot's pictures, the recording. One implementation per system:
// OutFilePosix.cpp, and beside it one for Windows.
//
// A shot or state is written under a temporary name beside its target and
// renamed over it, so no link at the target is ever followed and whatever a
// link there pointed at stays as it was. What stands at the target must be a
// regular file or nothing: a link, a FIFO, a device or a folder is refused
// (never opened, so never waited on). The game's own files are out of bounds
// wherever the path that leads there comes from.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace OutFile {

// What a write must keep out of.
struct Fence {
    // Only a relative path without "..", leading nowhere outside the working
    // directory, not even through a link to a folder (links to folders inside
    // it are followed).
    bool withinWorkingDir = false;
    // The game's own files: each one, and beside it <file>.lock, <file>.tmp,
    // <file>.tmp-*, <file>.bak and <file>.bak.N; compared by where they
    // really are (links resolved) and, when they exist, by identity.
    std::vector<std::string> files;
    // The game's own folders: nothing under them, whatever path leads there.
    std::vector<std::string> folders;
};

enum class Verdict {
    Ok,
    Outside,    // leaves the working directory (only with withinWorkingDir)
    GameFile,   // one of the fence's files, or under one of its folders
    NotRegular, // a link, FIFO, device or folder stands at the target
    Failed,     // the system refused: `why` holds its reason
};

struct Result {
    Verdict verdict = Verdict::Ok;
    std::string why; // what stands there, or the system's reason; "" for Ok and Outside
    explicit operator bool() const { return verdict == Verdict::Ok; }
};

// Whether `path` may be written, by what is there now; nothing is made or
// written. A path that can't be looked at passes: Write says why it fails.
Result Check(const std::string& path, const Fence& fence);

// Writes `data` as the file `path`, making the folders it names; each folder
// on the way is checked as it is reached. Never follows a link at `path`.
Result Write(const std::string& path, std::string_view data, const Fence& fence);

// Opens `path` for a stream of text, links followed: a regular file (made
// empty) or a character device such as /dev/null. A FIFO, socket or folder
// is refused, and nothing waits for a reader. nullptr with the reason.
std::FILE* OpenStream(const std::string& path, std::string& why);

// The words of `path` between any of `separators`, without "" and "." (both
// systems' walks start here); false when the last word names no file ("",
// "." or "..").
inline bool SplitPath(std::string_view path, std::string_view separators,
                      std::vector<std::string>& parts) {
    parts.clear();
    std::string_view last;
    for (std::size_t at = 0; at <= path.size();) {
        const auto end = std::min(path.find_first_of(separators, at), path.size());
        last = path.substr(at, end - at);
        if (!last.empty() && last != ".") {
            parts.emplace_back(last);
        }
        at = end + 1;
    }
    return !last.empty() && last != "." && last != "..";
}

// Whether `name`, in the folder of a protected file called `base`, is that
// file or one of its lock, temporary or backup files.
inline bool IsCompanion(std::string_view name, std::string_view base, bool ignoreCase = false) {
    const auto lower = [ignoreCase](char c) {
        return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (name.size() < base.size()) {
        return false;
    }
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (lower(name[i]) != lower(base[i])) {
            return false;
        }
    }
    std::string rest;
    for (const char c : name.substr(base.size())) {
        rest += lower(c);
    }
    if (rest.empty() || rest == ".lock" || rest == ".tmp" || rest == ".bak" ||
        rest.starts_with(".tmp-")) {
        return true;
    }
    if (!rest.starts_with(".bak.") || rest.size() == 5) {
        return false;
    }
    for (const char c : std::string_view(rest).substr(5)) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

} // namespace OutFile
