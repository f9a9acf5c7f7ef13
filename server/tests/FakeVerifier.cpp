// Stands in for `morvek --verify` where a real game would cost too much:
// it answers in the verifier's words as the recording's `fake` lines say.
//   T fake game SCORE ENDED CHEAT PRACTICE DIFFICULTY SPEED SEED
//   T fake sleep SECONDS | spin | flood | crash | exit STATUS
// The game's input fingerprint is the SHA-256 of its SEED, so padding the
// session around it changes nothing. MORVEK_FAKE_LOG names a folder that
// gets an empty file SHA-256.PID for each recording verified: empty, as the
// server lets the verifier write no byte.
#include "Sha256.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "--verify") {
        std::cerr << "morvek: verify: usage: --verify FILE\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    if (text.size() > (4u << 20)) {
        std::cerr << "morvek: verify: over 4 MiB\n";
        return 4;
    }
    if (const char* log = std::getenv("MORVEK_FAKE_LOG")) {
        const std::string mark =
            std::string(log) + "/" + Server::Sha256Hex(text) + "." + std::to_string(::getpid());
        const int fd = ::open(mark.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            ::close(fd);
        }
    }
    std::istringstream lines(text);
    std::string line, games;
    int rules = 0, count = 0;
    bool ended = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string time, kind, what;
        words >> time >> kind >> what;
        if (kind == "option" && what == "rules") {
            words >> rules;
        }
        if (kind != "fake") {
            continue;
        }
        if (what == "sleep") {
            int s = 0;
            words >> s;
            std::this_thread::sleep_for(std::chrono::seconds(s));
        } else if (what == "spin") {
            volatile unsigned long spins = 0;
            for (;;) {
                spins = spins + 1;
            }
        } else if (what == "flood") {
            const std::string block(65536, 'x');
            for (;;) {
                std::cout << block;
            }
        } else if (what == "crash") {
            std::abort();
        } else if (what == "exit") {
            int status = 0;
            words >> status;
            std::cerr << "morvek: verify: told to fail with " << status << "\n";
            return status;
        } else if (what == "game") {
            long score = 0;
            int end = 0, cheat = 0, practice = 0;
            std::string difficulty, speed, seed;
            words >> score >> end >> cheat >> practice >> difficulty >> speed >> seed;
            ended = ended || end != 0;
            ++count;
            games += std::string(count > 1 ? "," : "") + "{\"game\":" + std::to_string(count) +
                     ",\"difficulty\":\"" + difficulty + "\",\"speed\":\"" + speed +
                     "\",\"practice\":" + (practice ? "true" : "false") +
                     ",\"ended\":" + (end ? "true" : "false") +
                     ",\"score\":" + std::to_string(score) + ",\"won\":false,\"ticks\":100" +
                     ",\"cheat\":" + (cheat ? "true" : "false") + ",\"state\":\"" +
                     Server::Sha256Hex("state " + seed) + "\",\"input\":\"" +
                     Server::Sha256Hex(seed) + "\"}";
        }
    }
    if (rules != 1) {
        std::cerr << "morvek: verify: the recording is of rules version " << rules
                  << ", this game plays 1\n";
        return 6;
    }
    if (!ended) {
        std::cerr << "morvek: verify: no game ended\n";
        return 5;
    }
    std::cout << "{\"version\":\"0.9.0\",\"rules\":1,\"games\":[" << games << "]}\n";
    return 0;
}
