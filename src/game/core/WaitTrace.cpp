#include "game/core/WaitTrace.h"

#include "display/Run.h"
#include "game/core/World.h"
#include "platform/OutFile.h"
#include "util/Random.h"

#include <cinttypes>
#include <cstdio>
#include <memory>

namespace Morvek::WaitTrace {

namespace {

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// Flushed with every other stream when the run ends.
std::unique_ptr<std::FILE, Closer> trace;

} // namespace

bool Start(const std::string& file, std::string& why) {
    trace.reset(OutFile::OpenStream(file, why));
    return trace != nullptr;
}

void Write(std::string_view kind, std::uint32_t ms) {
    if (trace) {
        std::fprintf(trace.get(), "%" PRIu64 " %.*s %" PRIu32 " %d %" PRIu32 "\n",
                     Display::Run::ClockMs(), static_cast<int>(kind.size()), kind.data(), ms,
                     static_cast<int>(world.mode), world.random.Seed());
    }
}

} // namespace Morvek::WaitTrace
