#include "Verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace Server {

namespace {

namespace fs = std::filesystem;

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    Fd& operator=(Fd&& o) noexcept {
        Close();
        fd_ = std::exchange(o.fd_, -1);
        return *this;
    }
    ~Fd() { Close(); }
    int Get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

// The child's empty folder, gone with whatever the child left in it.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "morvek-verify-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        }
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

std::pair<Fd, Fd> Pipe() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    return {Fd(fds[0]), Fd(fds[1])};
}

// Only what is safe between fork and exec in a threaded process.
[[noreturn]] void Child(const char* folder, const VerifierSetup& setup, char* const* argv, int out,
                        int err) {
    ::setpgid(0, 0);
    // The server's blocked and ignored signals would outlive the exec
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int devnull = ::open("/dev/null", O_RDONLY);
    if (::chdir(folder) != 0 || devnull < 0 || ::dup2(devnull, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0) {
        ::_exit(127);
    }
    ::close_range(3, ~0U, 0);
    const auto limit = [](int resource, rlim_t value) {
        const rlimit r{value, value};
        ::setrlimit(resource, &r);
    };
    limit(RLIMIT_CPU, static_cast<rlim_t>(setup.cpu.count()));
    if (setup.memoryBytes > 0) {
        limit(RLIMIT_AS, setup.memoryBytes);
    }
    limit(RLIMIT_FSIZE, 0); // it writes nothing anywhere
    limit(RLIMIT_CORE, 0);
    ::execv(argv[0], argv);
    ::_exit(127);
}

} // namespace

VerifierExit RunVerifier(const VerifierSetup& setup, const std::string& recording,
                         const std::atomic<bool>& stopping) {
    VerifierExit result;
    TempFolder folder;
    const fs::path file = folder.Path() / "recording.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(recording.data(), static_cast<std::streamsize>(recording.size()));
        if (!out) {
            result.how = VerifierExit::How::NotStarted;
            result.err = "cannot write the recording into " + folder.Path().string();
            return result;
        }
    }
    if (!setup.media.empty()) {
        std::error_code ec;
        fs::create_directory_symlink(fs::absolute(setup.media), folder.Path() / "Media", ec);
    }
    // Everything the child needs is made before the fork
    std::string program = setup.program, flag = "--verify", name = file.string();
    std::array<char*, 4> argv{program.data(), flag.data(), name.data(), nullptr};
    const std::string where = folder.Path().string();
    auto [outRead, outWrite] = Pipe();
    auto [errRead, errWrite] = Pipe();
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.how = VerifierExit::How::NotStarted;
        result.err = std::strerror(errno);
        return result;
    }
    if (pid == 0) {
        Child(where.c_str(), setup, argv.data(), outWrite.Get(), errWrite.Get());
    }
    outWrite.Close();
    errWrite.Close();

    const auto deadline = std::chrono::steady_clock::now() + setup.wall;
    constexpr std::size_t kMaxErr = 4096;
    std::string err;
    bool killed = false;
    std::array<pollfd, 2> fds{{{outRead.Get(), POLLIN, 0}, {errRead.Get(), POLLIN, 0}}};
    std::array<char, 65536> chunk{};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.how = VerifierExit::How::TimedOut;
            killed = true;
            break;
        }
        if (stopping) {
            result.how = VerifierExit::How::Stopped;
            killed = true;
            break;
        }
        // A tenth of a second at most, to hear of the server stopping
        const int ready =
            ::poll(fds.data(), fds.size(), static_cast<int>(std::min<long>(left.count(), 100)));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            const ssize_t n = ::read(fds[i].fd, chunk.data(), chunk.size());
            if (n <= 0) {
                fds[i].fd = -1;
                continue;
            }
            if (i == 0) {
                result.out.append(chunk.data(), static_cast<std::size_t>(n));
                if (result.out.size() > setup.maxOutput) {
                    result.how = VerifierExit::How::TooMuchOutput;
                    killed = true;
                }
            } else if (err.size() < kMaxErr) {
                // read on past the cap, so the child never blocks on a full pipe
                err.append(chunk.data(),
                           std::min(static_cast<std::size_t>(n), kMaxErr - err.size()));
            }
        }
        if (killed) {
            break;
        }
    }
    if (killed) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    }
    // Its output closed, it may still linger: the deadline holds for that too
    int status = 0;
    while (!killed) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline || stopping) {
            result.how = stopping ? VerifierExit::How::Stopped : VerifierExit::How::TimedOut;
            killed = true;
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            break;
        }
        ::usleep(2000);
    }
    if (killed) {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // Grandchildren it may have left behind go with it
    ::kill(-pid, SIGKILL);
    result.err = err.substr(0, err.find('\n'));
    if (killed) {
        return result;
    }
    if (WIFSIGNALED(status)) {
        result.how = VerifierExit::How::Signalled;
        result.code = WTERMSIG(status);
    } else {
        result.how = VerifierExit::How::Exited;
        result.code = WEXITSTATUS(status);
        if (result.code == 127 && result.out.empty() && result.err.empty()) {
            result.how = VerifierExit::How::NotStarted;
            result.err = "cannot run " + setup.program;
        }
    }
    return result;
}

} // namespace Server
