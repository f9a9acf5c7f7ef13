// The submission path without the network: the query and body checks, and
// the verifier's answer read back (the verifier is ours, but its output
// crosses a process boundary all the same).
#include "SubmissionTarget.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzTargets::Submission(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
