// The leaderboard as a web page: plain HTML from the server, readable with
// JavaScript off; a little inline script only follows a submitted run.
#pragma once

#include "Boards.h"
#include "Storage.h"

#include <string>
#include <string_view>
#include <vector>

namespace Server::Page {

std::string Escape(std::string_view text);
// "2026-12-08", in UTC.
std::string Date(std::int64_t unixSeconds);

struct Shown {
    Boards::Board board;
    std::vector<Entry> entries;
};

std::string Index(std::int64_t rules, const std::vector<Shown>& boards, bool playAvailable);
std::string RunPage(const Run& run, std::int64_t place);

// The page's own headers: nothing from elsewhere may load into it.
extern const char* const kPolicy;

} // namespace Server::Page
