#include "Harness.h"

#include "Database.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <strings.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace Harness {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "morvek-server-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Verified(const fs::path& recording) {
    std::string out;
    const std::string command =
        (kBuild / "morvek").string() + " --verify '" + recording.string() + "' 2>/dev/null";
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) {
            out.append(buf, n);
        }
        ::pclose(p);
    }
    return out;
}

bool OnPostgres() {
    const char* backend = std::getenv("MORVEK_SERVER_BACKEND");
    return backend != nullptr && std::string(backend) == "postgres";
}

namespace {

const fs::path kPgBin = "/usr/lib/postgresql/15/bin";

// As the database's own user: PostgreSQL refuses to run as root.
int AsPostgresUser(const std::string& command) {
    const std::string full = ::geteuid() == 0 ? "runuser -u nobody -- " + command : command;
    return std::system((full + " >/dev/null 2>&1").c_str());
}

} // namespace

Postgres* Postgres::Get(std::string& why) {
    static std::unique_ptr<Postgres> cluster;
    static std::string failed;
    if (cluster || !failed.empty()) {
        why = failed;
        return cluster.get();
    }
    if (!fs::exists(kPgBin / "initdb")) {
        failed = why =
            "PostgreSQL 15 is not installed (make leaderboard-test-postgres installs it)";
        return nullptr;
    }
    std::unique_ptr<Postgres> pg(new Postgres());
    const fs::path dir = pg->dir_.Path();
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr || ::chown(dir.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            failed = why = "cannot hand a folder to the user nobody";
            return nullptr;
        }
    }
    const std::string data = (dir / "data").string();
    if (AsPostgresUser((kPgBin / "initdb").string() + " -D " + data + " -A trust -U morvek") != 0) {
        failed = why = "initdb failed";
        return nullptr;
    }
    const std::string start = (kPgBin / "pg_ctl").string() + " -D " + data + " -l " +
                              (dir / "log").string() + " -w -o \"-k " + dir.string() +
                              " -c listen_addresses='' -c max_connections=200\" start";
    if (AsPostgresUser(start) != 0) {
        failed = why = "pg_ctl start failed: " + ReadFile(dir / "log");
        return nullptr;
    }
    pg->started_ = true;
    // A watcher outlives this program only to stop the cluster when it ends,
    // however it ends (a test killed, a pipe closed under it)
    std::array<int, 2> life{};
    if (::pipe(life.data()) == 0) {
        const std::string stop =
            (kPgBin / "pg_ctl").string() + " -D " + data + " -m immediate -w stop";
        if (::fork() == 0) {
            ::close(life[1]);
            char c = 0;
            while (::read(life[0], &c, 1) != 0 && errno == EINTR) {
            }
            AsPostgresUser(stop);
            std::error_code ignored;
            fs::remove_all(dir, ignored);
            ::_exit(0);
        }
        ::close(life[0]);
        ::fcntl(life[1], F_SETFD, FD_CLOEXEC);
    }
    pg->superuser_ = "postgresql:///postgres?host=" + dir.string() + "&user=morvek";
    cluster = std::move(pg);
    // Stopped when the test program ends
    std::atexit([] { cluster.reset(); });
    return cluster.get();
}

std::string Postgres::NewDatabase() {
    const std::string name = "t" + std::to_string(++databases_);
    Server::Db::OpenPostgres(superuser_)->Exec("CREATE DATABASE " + name);
    return "postgresql:///" + name + "?host=" + dir_.Path().string() + "&user=morvek";
}

Postgres::~Postgres() {
    if (started_) {
        AsPostgresUser((kPgBin / "pg_ctl").string() + " -D " + (dir_.Path() / "data").string() +
                       " -m immediate -w stop");
    }
}

std::string NewDatabase(const TempDir& dir, std::string& why) {
    if (!OnPostgres()) {
        return (dir.Path() / "leaderboard.db").string();
    }
    Postgres* pg = Postgres::Get(why);
    return pg != nullptr ? pg->NewDatabase() : std::string();
}

ServerProcess::ServerProcess(std::vector<std::string> args) {
    errFile_ = dir_.Path() / "stderr";
    std::array<int, 2> out{};
    if (::pipe2(out.data(), O_CLOEXEC) != 0) {
        return;
    }
    args.insert(args.begin(), (kBuild / "morvek-server").string());
    if (std::find(args.begin(), args.end(), "--port") == args.end()) {
        args.insert(args.end(), {"--port", "0"});
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const std::string err = errFile_.string();
    pid_ = ::fork();
    if (pid_ == 0) {
        // A test that dies takes its servers with it
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out[1], 1);
        ::dup2(e, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline && ::poll(&p, 1, 1000) >= 0) {
        if ((p.revents & (POLLIN | POLLHUP)) == 0) {
            continue;
        }
        if (::read(out[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        line += c;
    }
    // The rest of its output is not wanted: a thread drains it so it never blocks
    std::thread([fd = out[0]] {
        char buf[4096];
        while (::read(fd, buf, sizeof buf) > 0) {
        }
        ::close(fd);
    }).detach();
    firstLine_ = line;
    const auto colon = line.rfind(':');
    if (line.starts_with("listening on http://") && colon != std::string::npos) {
        port_ = std::atoi(line.c_str() + colon + 1);
    }
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        Kill(SIGTERM);
        if (Wait(std::chrono::seconds(10)) < 0) {
            Kill(SIGKILL);
            Wait(std::chrono::seconds(10));
        }
    }
}

std::string ServerProcess::Errors() const {
    return ReadFile(errFile_);
}

void ServerProcess::Kill(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}

int ServerProcess::Wait(std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

std::string Reply::Header(const std::string& name) const {
    std::istringstream lines(headers);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() > name.size() && line[name.size()] == ':' &&
            strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
            std::string v = line.substr(name.size() + 1);
            v.erase(0, v.find_first_not_of(' '));
            while (!v.empty() && (v.back() == '\r' || v.back() == ' ')) {
                v.pop_back();
            }
            return v;
        }
    }
    return "";
}

Reply Raw(int port, const std::string& request, std::chrono::seconds limit) {
    Reply reply;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return reply;
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            break; // the server may answer and close before taking it all
        }
        sent += static_cast<std::size_t>(n);
    }
    std::string all;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    pollfd p{fd, POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline) {
        if (::poll(&p, 1, 100) <= 0) {
            continue;
        }
        char buf[65536];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            break;
        }
        all.append(buf, static_cast<std::size_t>(n));
        // One answer is all a test wants: stop at its end
        const auto end = all.find("\r\n\r\n");
        if (end != std::string::npos) {
            const std::string head = all.substr(0, end);
            Reply partial;
            partial.headers = head;
            const std::string length = partial.Header("Content-Length");
            if (!length.empty() && all.size() >= end + 4 + std::stoul(length)) {
                break;
            }
        }
    }
    ::close(fd);
    const auto end = all.find("\r\n\r\n");
    if (all.starts_with("HTTP/1.1 ") && end != std::string::npos) {
        reply.status = std::atoi(all.c_str() + 9);
        reply.headers = all.substr(0, end);
        reply.body = all.substr(end + 4);
    }
    return reply;
}

Reply Get(int port, const std::string& target) {
    return Raw(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

Reply Post(int port, const std::string& target, const std::string& body, const std::string& type) {
    return Raw(port, "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
                         "Content-Type: " + type +
                         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

std::string Recording(const std::vector<std::string>& lines, int rules) {
    std::string text = "0 option rules " + std::to_string(rules) +
                       "\n0 option difficulty normal\n0 option speed fast\n0 option practice off\n";
    for (const auto& l : lines) {
        text += l + "\n";
    }
    return text;
}

std::string Game(long score, std::string seed, bool ended, bool cheat, bool practice,
                 const std::string& board) {
    std::replace(seed.begin(), seed.end(), ' ', '-'); // one word to the stand-in
    return "10 fake game " + std::to_string(score) + " " + (ended ? "1" : "0") + " " +
           (cheat ? "1" : "0") + " " + (practice ? "1" : "0") + " " + board + " " + seed;
}

std::optional<std::string> Text(const std::string& json, const std::string& key) {
    const std::string k = "\"" + key + "\": \"";
    const auto at = json.find(k);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const auto start = at + k.size();
    return json.substr(start, json.find('"', start) - start);
}

std::optional<long> Number(const std::string& json, const std::string& key) {
    const std::string k = "\"" + key + "\": ";
    const auto at = json.find(k);
    if (at == std::string::npos || json[at + k.size()] == 'n') {
        return std::nullopt;
    }
    return std::atol(json.c_str() + at + k.size());
}

std::string AwaitResult(int port, long run, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string body;
    while (std::chrono::steady_clock::now() < deadline) {
        body = Get(port, "/api/v1/runs/" + std::to_string(run)).body;
        if (Text(body, "status") != "pending") {
            return body;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return body;
}

} // namespace Harness
