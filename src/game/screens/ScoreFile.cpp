#include "game/screens/ScoreFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <limits>
#include <memory>
#include <unistd.h>
#include <utility>

namespace Procedures {

std::string scorefile = "myscore.txt";

bool SaveResult() {
    ScoreFile::Table next = scores;
    ScoreFile::Insert(next, score);
    std::string error;
    if (!ScoreFile::Write(scorefile, next, error)) {
        std::cerr << "morvek: the highscores could not be saved to " << scorefile << ": " << error
                  << '\n';
        return false;
    }
    scores = next;
    return true;
}

namespace ScoreFile {

namespace {

constexpr char kCtrlZ = 0x1A;

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == kCtrlZ;
}

constexpr std::array<char, 7> kBlankName{' ', ' ', ' ', ' ', ' ', ' ', ' '};

// The leading digits make the score, as files of the old game may carry
// leftover bytes right after the tenth one. A score too big for 32 bits
// counts as the biggest one.
bool ToCard(std::string_view token, card& value) {
    if (token.empty() || token[0] < '0' || token[0] > '9') {
        return false;
    }
    std::uint64_t v = 0;
    for (const char c : token) {
        if (c < '0' || c > '9') {
            break;
        }
        v = std::min<std::uint64_t>(v * 10 + static_cast<unsigned>(c - '0'),
                                    std::numeric_limits<card>::max());
    }
    value = static_cast<card>(v);
    return true;
}

// Skips the line feed of a CR LF pair, so files with DOS line ends read as
// files with plain ones.
void SkipLineFeedAfterReturn(std::string_view data, std::size_t& pos) {
    if (pos < data.size() && data[pos] == '\n') {
        ++pos;
    }
}

} // namespace

card Parse(std::string_view data, Table& table) {
    std::size_t pos = 0;
    card read = 0;
    for (card i = 1; i <= kPlaces; ++i) {
        table[i] = {kBlankName, 0};
    }
    for (card i = 1; i <= kPlaces; ++i) {
        highscore entry{kBlankName, 0};
        std::size_t taken = 0;
        while (taken < entry.naam.size() && pos < data.size()) {
            const char c = data[pos++];
            if (c == '\n' || c == kCtrlZ) {
                break;
            }
            if (c == '\r') {
                SkipLineFeedAfterReturn(data, pos);
                break;
            }
            entry.naam[taken++] = c;
        }
        while (pos < data.size() && IsSeparator(data[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < data.size() && !IsSeparator(data[pos])) {
            ++pos;
        }
        const std::string_view digits = data.substr(start, pos - start);
        if (pos < data.size()) {
            if (data[pos++] == '\r') {
                SkipLineFeedAfterReturn(data, pos);
            }
        }
        if (!ToCard(digits, entry.getal)) {
            break; // the rest of the file is not a table
        }
        table[i] = entry;
        read = i;
    }
    return read;
}

card Read(const std::string& path, Table& table) {
    std::string data(kMaxRead, '\0');
    std::size_t got = 0;
    {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"),
                                                                &std::fclose);
        if (f) {
            got = std::fread(data.data(), 1, data.size(), f.get());
        }
    }
    data.resize(got);
    return Parse(data, table);
}

std::string Format(const Table& table) {
    std::string out;
    for (card i = 1; i <= kPlaces; ++i) {
        if (i > 1) {
            out += ' ';
        }
        // A table never read holds NUL names; the file pads names with blanks.
        for (const char c : table[i].naam) {
            out += c == '\0' ? ' ' : c;
        }
        const std::string number = std::to_string(table[i].getal);
        if (i > 1 && number.size() < 2) {
            out += ' ';
        }
        out += number;
    }
    return out;
}

void Insert(Table& table, card result) {
    table[11].getal = result;
    for (card i = 1; i <= kPlaces; ++i) {
        if (table[i].getal < table[11].getal) {
            std::swap(table[i], table[11]);
        }
    }
}

std::string TempPath(const std::string& path) {
    return path + ".tmp";
}

namespace {

struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    // Closes now, so that a failing close is seen.
    bool Close() {
        const int f = std::exchange(fd, -1);
        return ::close(f) == 0;
    }
};

bool Fail(std::string& error, const char* what, const std::string& file) {
    error = std::string(what) + " " + file + ": " + std::strerror(errno);
    return false;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool WriteSynced(const std::string& file, std::string_view text, std::string& error) {
    Fd out(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.fd < 0) {
        return Fail(error, "cannot create", file);
    }
    while (!text.empty()) {
        const ssize_t n = ::write(out.fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(error, "cannot write", file);
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::fsync(out.fd) != 0) {
        return Fail(error, "cannot flush", file);
    }
    if (!out.Close()) {
        return Fail(error, "cannot close", file);
    }
    return true;
}

bool Write(const std::string& path, const Table& table, std::string& error) {
    const std::string temp = TempPath(path);
    if (!WriteSynced(temp, Format(table), error)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        Fail(error, "cannot replace", path);
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself lasts only once the directory is on disk too; if
    // that flush fails the new table is still in place, so it is no failure.
    Fd dir(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0) {
        ::fsync(dir.fd);
    }
    return true;
}

std::string Shown(const std::array<char, 7>& naam) {
    std::string shown(naam.begin(), naam.end());
    for (char& c : shown) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E) {
            c = '?';
        }
    }
    return shown;
}

} // namespace ScoreFile
} // namespace Procedures
