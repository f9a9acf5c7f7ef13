// What the submission fuzz target does with one input; the server's tests
// run the kept inputs through it too.
#pragma once

#include "Json.h"
#include "Submission.h"
#include "Verdict.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace FuzzTargets {

// The input's first line is a query (name&game&score),
// the rest a body, read both as a recording and as the verifier's answer.
inline void Submission(std::string_view bytes) {
    Server::Claim claim;
    const auto split = bytes.find('\n');
    const std::string_view query = bytes.substr(0, split);
    const std::string_view body = split == std::string_view::npos ? "" : bytes.substr(split + 1);
    // name&game&score, each missing when its part is; an empty game is none
    std::array<std::optional<std::string_view>, 3> parts;
    std::string_view rest = query;
    for (auto& part : parts) {
        if (rest.data() == nullptr) {
            break;
        }
        const auto amp = rest.find('&');
        part = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
    }
    if (parts[1] && parts[1]->empty()) {
        parts[1].reset();
    }
    if (!Server::ReadClaim(parts[0], parts[1], parts[2], claim)) {
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
    exit.out = std::string(body);
    const auto outcome = Server::Judge(exit, claim.game, claim.score);
    if (outcome.accepted && (outcome.score != claim.score || outcome.input.size() != 64)) {
        std::abort();
    }
}

} // namespace FuzzTargets
