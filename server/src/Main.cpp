// morvek-server: the leaderboard service, and its moderation commands.
#include "Api.h"
#include "Options.h"
#include "RateLimit.h"
#include "Storage.h"
#include "Submission.h"
#include "Workers.h"

#include <httplib.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

namespace {

namespace fs = std::filesystem;

bool IsPostgres(const std::string& database) {
    return database.starts_with("postgresql://") || database.starts_with("postgres://");
}

fs::path OwnFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path(".") : self.parent_path();
}

int Moderate(const Server::Options& o) {
    const auto storage = Server::OpenStorage(o.database);
    const bool hide = o.command == "hide";
    if (!storage->SetHidden(o.run, hide, o.reason)) {
        std::cerr << "morvek-server: there is no run " << o.run << "\n";
        return 1;
    }
    std::cout << "run " << o.run << (hide ? " hidden: " + o.reason : " back on its board") << "\n";
    return 0;
}

// Claims of a server on this machine whose process is gone are given back
// at once, rather than when their lease runs out. A claim of a live server
// taken by mistake (another machine of the same name) costs only a second
// replay: its result is stored once all the same.
void ReleaseDeadNeighbours(Server::Storage& storage, const std::string& host) {
    for (const std::string& claimant : storage.Claimants()) {
        // host:pid:started/worker
        const auto colon = claimant.find(':');
        if (colon == std::string::npos || claimant.substr(0, colon) != host) {
            continue;
        }
        const long pid = std::atol(claimant.c_str() + colon + 1);
        if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH) {
            storage.ReleaseAll(claimant.substr(0, claimant.find('/')) + "/");
        }
    }
}

// One server to a SQLite file: its workers' claims are then all this
// process's, and a claim found at the start is one a killed server left.
class FileLock {
  public:
    explicit FileLock(const std::string& database) {
        const std::string name = database + ".server-lock";
        fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            throw std::runtime_error("another server is using " + database +
                                     " (use PostgreSQL for several)");
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() { ::close(fd_); }

  private:
    int fd_ = -1;
};

// The library listens with a backlog of 5: more clients connecting at once
// wait a second for TCP to try again. Its socket is ours to widen that.
class Http : public httplib::Server {
  public:
    void WidenBacklog() { ::listen(svr_sock_, SOMAXCONN); }
};

int Serve(const Server::Options& o) {
    // SIGINT and SIGTERM stop the server between requests, taken by one
    // thread: blocked before any other starts; jobs left wait in the database
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    std::optional<FileLock> lock;
    if (!IsPostgres(o.database)) {
        lock.emplace(o.database);
    }
    const auto storage = Server::OpenStorage(o.database);
    char host[256] = "host";
    ::gethostname(host, sizeof host - 1);
    const std::string me = std::string(host) + ":" + std::to_string(::getpid()) + ":" +
                           std::to_string(Server::NowSeconds());
    if (lock) {
        storage->ReleaseAll("");
    } else {
        ReleaseDeadNeighbours(*storage, host);
    }

    Server::VerifierSetup verifier;
    verifier.program = o.verifier.empty() ? (OwnFolder() / "morvek").string() : o.verifier;
    verifier.media = o.media;
    verifier.cpu = o.verifyCpu;
    verifier.wall = o.verifyWall;
    verifier.memoryBytes = o.verifyMemoryMb << 20;
    if (::access(verifier.program.c_str(), X_OK) != 0) {
        throw std::runtime_error("no verifier at " + verifier.program + " (--verifier PATH)");
    }
    const unsigned workers =
        o.workers > 0 ? o.workers : std::max(1u, std::thread::hardware_concurrency());

    std::string play = o.play.empty() ? std::string(MORVEK_SOURCE_DIR "/build-web") : o.play;
    if (!fs::is_regular_file(fs::path(play) / "index.html")) {
        std::cerr << "no browser build in " << play
                  << ": /play/ answers 404 (make web builds it)\n";
        play.clear();
    }

    Server::RateLimit rate(o.ratePerMinute, o.burst);
    Http http;
    // The library's interface hands the queue over as a pointer it deletes
    http.new_task_queue = [n = o.threads] {
        return std::make_unique<httplib::ThreadPool>(n).release();
    };
    http.set_payload_max_length(Server::kMaxRequestBytes);
    http.set_read_timeout(o.readTimeout);
    http.set_write_timeout(o.writeTimeout);
    http.set_keep_alive_timeout(5);
    http.set_keep_alive_max_count(100);
    // The library's default adds SO_REUSEPORT, with which a second server
    // binds the same port without a word and the two share its clients
    http.set_socket_options([](socket_t sock) {
        const int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    Server::Workers pool(*storage, verifier, me, workers, o.lease);
    Server::InstallRoutes(http, {*storage, o, rate, [&pool] { pool.Wake(); }, play});

    int port = o.port;
    if (port == 0) {
        port = http.bind_to_any_port(o.address);
    } else if (!http.bind_to_port(o.address, port)) {
        port = -1;
    }
    if (port < 0) {
        throw std::runtime_error("cannot listen on " + o.address + ":" + std::to_string(o.port) +
                                 " (taken, or not an address of this machine)");
    }
    http.WidenBacklog();
    std::cout << "listening on http://" << o.address << ":" << port << std::endl;
    std::cout << "database " << (IsPostgres(o.database) ? "PostgreSQL" : o.database) << ", "
              << workers << " workers, verifier " << verifier.program << std::endl;

    std::thread waiter([&http, stop] {
        int sig = 0;
        sigwait(&stop, &sig);
        http.stop();
    });
    const bool ok = http.listen_after_bind();
    if (!ok) {
        // the listening ended by itself: release the waiter
        ::kill(::getpid(), SIGTERM);
    }
    waiter.join();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    std::string error;
    bool help = false;
    const auto options =
        Server::ReadOptions(std::vector<std::string>(argv + 1, argv + argc), error, help);
    if (help) {
        std::cout << Server::kUsage;
        return 0;
    }
    if (!options) {
        std::cerr << "morvek-server: " << error << "\n" << Server::kUsage;
        return 2;
    }
    try {
        return options->command.empty() ? Serve(*options) : Moderate(*options);
    } catch (const std::exception& e) {
        std::cerr << "morvek-server: " << e.what() << "\n";
        return 1;
    }
}
