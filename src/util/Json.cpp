#include "util/Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Util::Json {

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7F || c == '<' || c == '>' || c == '&') {
            // < > & escaped too, so JSON dropped into a page stays inert
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const Value* Value::Find(std::string_view key) const {
    const auto* o = std::get_if<Object>(&v);
    if (o == nullptr) {
        return nullptr;
    }
    const auto it = o->find(key);
    return it == o->end() ? nullptr : &it->second;
}

std::optional<std::string> Value::String() const {
    if (const auto* s = std::get_if<std::string>(&v)) {
        return *s;
    }
    return std::nullopt;
}

std::optional<bool> Value::Bool() const {
    if (const auto* b = std::get_if<bool>(&v)) {
        return *b;
    }
    return std::nullopt;
}

std::optional<std::int64_t> Value::Integer() const {
    const auto* d = std::get_if<double>(&v);
    if (d == nullptr || !std::isfinite(*d) || std::floor(*d) != *d || std::fabs(*d) > 9.0e15) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*d);
}

const Array* Value::AsArray() const {
    return std::get_if<Array>(&v);
}

namespace {

constexpr int kMaxDepth = 16;

class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool Whole(Value& out) {
        const bool ok = Read(0, out);
        Space();
        return ok && i_ == s_.size();
    }

  private:
    std::string_view s_;
    std::size_t i_ = 0;

    void Space() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) {
            ++i_;
        }
    }

    bool Word(std::string_view w) {
        if (s_.substr(i_, w.size()) != w) {
            return false;
        }
        i_ += w.size();
        return true;
    }

    bool Read(int depth, Value& out) {
        if (depth > kMaxDepth) {
            return false;
        }
        Space();
        if (i_ >= s_.size()) {
            return false;
        }
        const char c = s_[i_];
        if (c == '{') {
            return ReadObject(depth, out);
        }
        if (c == '[') {
            return ReadArray(depth, out);
        }
        if (c == '"') {
            std::string str;
            if (!ReadString(str)) {
                return false;
            }
            out.v = std::move(str);
            return true;
        }
        if (Word("true")) {
            out.v = true;
            return true;
        }
        if (Word("false")) {
            out.v = false;
            return true;
        }
        if (Word("null")) {
            out.v = nullptr;
            return true;
        }
        return ReadNumber(out);
    }

    bool ReadNumber(Value& out) {
        const std::size_t start = i_;
        if (i_ < s_.size() && s_[i_] == '-') {
            ++i_;
        }
        const std::size_t digits = i_;
        while (i_ < s_.size() &&
               ((s_[i_] >= '0' && s_[i_] <= '9') || s_[i_] == '.' || s_[i_] == 'e' ||
                s_[i_] == 'E' || s_[i_] == '+' || s_[i_] == '-')) {
            ++i_;
        }
        if (i_ == digits || s_[digits] < '0' || s_[digits] > '9') {
            return false;
        }
        const std::string text(s_.substr(start, i_ - start));
        char* end = nullptr;
        const double d = std::strtod(text.c_str(), &end);
        if (end != text.c_str() + text.size()) {
            return false;
        }
        out.v = d;
        return true;
    }

    bool ReadString(std::string& out) {
        ++i_; // the opening quote
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) {
                return false;
            }
            const char e = s_[i_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (i_ + 4 > s_.size()) {
                    return false;
                }
                unsigned code = 0;
                for (int k = 0; k < 4; ++k) {
                    const char h = s_[i_++];
                    code <<= 4;
                    if (h >= '0' && h <= '9') {
                        code |= static_cast<unsigned>(h - '0');
                    } else if (h >= 'a' && h <= 'f') {
                        code |= static_cast<unsigned>(h - 'a' + 10);
                    } else if (h >= 'A' && h <= 'F') {
                        code |= static_cast<unsigned>(h - 'A' + 10);
                    } else {
                        return false;
                    }
                }
                // Nothing the verifier or the server says needs more than one byte a character
                out += code < 0x80 ? static_cast<char>(code) : '?';
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool ReadArray(int depth, Value& out) {
        ++i_;
        Array& items = out.v.emplace<Array>();
        Space();
        if (i_ < s_.size() && s_[i_] == ']') {
            ++i_;
            return true;
        }
        for (;;) {
            if (!Read(depth + 1, items.emplace_back())) {
                return false;
            }
            Space();
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return true;
            }
            return false;
        }
    }

    bool ReadObject(int depth, Value& out) {
        ++i_;
        Object& members = out.v.emplace<Object>();
        Space();
        if (i_ < s_.size() && s_[i_] == '}') {
            ++i_;
            return true;
        }
        for (;;) {
            Space();
            std::string key;
            if (i_ >= s_.size() || s_[i_] != '"' || !ReadString(key)) {
                return false;
            }
            Space();
            if (i_ >= s_.size() || s_[i_] != ':') {
                return false;
            }
            ++i_;
            if (!Read(depth + 1, members[key])) {
                return false;
            }
            Space();
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return true;
            }
            return false;
        }
    }
};

} // namespace

std::optional<Value> Parse(std::string_view text) {
    std::optional<Value> out(std::in_place);
    if (!Reader(text).Whole(*out)) {
        out.reset();
    }
    return out;
}

} // namespace Util::Json
