#include "support/JsonText.h"

#include "util/Json.h"

#include <algorithm>
#include <cstdint>

namespace TestSupport {

std::string WithoutNumber(std::string json, std::string_view key) {
    const std::string field = "\"" + std::string(key) + "\":";
    const std::size_t at = json.find(field);
    if (at == std::string::npos) {
        return json;
    }
    std::size_t end = at + field.size();
    while (end < json.size() && json[end] >= '0' && json[end] <= '9') {
        ++end;
    }
    end += end < json.size() && json[end] == ',' ? 1 : 0;
    return json.erase(at, end - at);
}

std::vector<VerifiedGame> VerifiedGames(std::string_view json) {
    namespace Json = Util::Json;
    std::vector<VerifiedGame> games;
    const auto answer = Json::Parse(json);
    const Json::Value* list = answer ? answer->Find("games") : nullptr;
    if (list == nullptr || list->AsArray() == nullptr) {
        return games;
    }
    for (const Json::Value& one : *list->AsArray()) {
        const auto* fields = std::get_if<Json::Object>(&one.v);
        if (fields == nullptr) {
            continue;
        }
        VerifiedGame game;
        for (const auto& [name, value] : *fields) {
            if (const auto text = value.String()) {
                game[name] = *text;
            } else if (const auto flag = value.Bool()) {
                game[name] = *flag ? "true" : "false";
            } else if (const auto number = value.Integer()) {
                game[name] = std::to_string(*number);
            }
        }
        games.push_back(std::move(game));
    }
    return games;
}

bool IsSha256(std::string_view text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

} // namespace TestSupport
