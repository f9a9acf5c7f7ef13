// Reading what the game writes as JSON (its state dump, the verifier's
// answer) in tests, through the game's own reader.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace TestSupport {

// `json` without its first `"key":` and the number after it, nor the comma
// that follows: the state dump without a field a test lets differ.
std::string WithoutNumber(std::string json, std::string_view key);

// One game of the verifier's answer, each field as text: strings without
// their quotes, numbers and true/false as written.
using VerifiedGame = std::map<std::string, std::string, std::less<>>;
// Every game of the answer; none when `json` is no verifier's answer.
std::vector<VerifiedGame> VerifiedGames(std::string_view json);

// Whether `text` is a SHA-256 as the game writes it: 64 lowercase hex digits.
bool IsSha256(std::string_view text);

} // namespace TestSupport
