// The HTTP side: the API under /api/v1, the page at / and the browser
// build under /play/.
#pragma once

#include "Options.h"
#include "RateLimit.h"
#include "Storage.h"

#include <functional>

namespace httplib {
class Server;
}

namespace Server {

struct ApiSetup {
    Storage& storage;
    const Options& options;
    RateLimit& rate;
    std::function<void()> jobAdded; // wakes a worker
    std::string playFolder;         // empty when there is no browser build
};

void InstallRoutes(httplib::Server& http, const ApiSetup& setup);

} // namespace Server
