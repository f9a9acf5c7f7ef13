// The little JSON the game and its leaderboard speak: answers written by hand
// with Quote(), and short answers read back into a tree.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Util::Json {

// `text` as a JSON string, quotes included; bytes that are not printable
// ASCII are escaped, so a name or a reason can never break the answer.
std::string Quote(std::string_view text);

struct Value;
using Array = std::vector<Value>;
using Object = std::map<std::string, Value, std::less<>>;

struct Value {
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> v;

    const Value* Find(std::string_view key) const;
    std::optional<std::string> String() const;
    std::optional<bool> Bool() const;
    // Only a whole number that a double holds exactly.
    std::optional<std::int64_t> Integer() const;
    const Array* AsArray() const;
};

// Nothing when `text` is not one JSON value (surrounding space allowed), or
// nests deeper than a verifier's answer ever does.
std::optional<Value> Parse(std::string_view text);

} // namespace Util::Json
