// The submission path without the network: the query and body checks, and
// the verifier's answer read back (a verifier is ours, but its output
// crosses a process boundary all the same).
#include "Json.h"
#include "Submission.h"
#include "Verdict.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Server::Claim claim;
    const auto split = bytes.find('\n');
    const std::string_view query = bytes.substr(0, split);
    const std::string_view body = split == std::string_view::npos ? "" : bytes.substr(split + 1);
    if (!Server::ReadClaim(query.substr(0, 8),
                           query.substr(std::min<std::size_t>(8, query.size()), 4),
                           query.substr(std::min<std::size_t>(12, query.size())), claim)) {
        if (claim.name.empty() || claim.name.size() > 7 || claim.score < 0 || claim.game < 0) {
            std::abort();
        }
    }
    const auto refusal = Server::CheckRecording(body);
    if (refusal && (refusal->status < 400 || refusal->status > 499)) {
        std::abort();
    }
    if (!refusal && (body.empty() || body.find('\0') != std::string_view::npos)) {
        std::abort(); // nothing empty or binary is ever stored
    }
    Server::VerifierExit exit;
    exit.out = std::string(bytes);
    const auto outcome = Server::Judge(exit, claim.game, claim.score);
    if (outcome.accepted && (outcome.score != claim.score || outcome.input.size() != 64)) {
        std::abort();
    }
    (void)Server::Json::Parse(bytes);
    return 0;
}
