// The text form of input events, shared by scripts and recordings.
#include "display/Run.h"
#include "util/Quote.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string_view>
#include <sys/stat.h>

namespace Display::Run {

namespace {

using Kind = InputEvent::Kind;

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

// Longer lines are no script: refused before they can fill the memory.
constexpr std::size_t kMaxLine = 4096;

using Text::Quote;

template <typename T> bool Number(std::string_view word, T& value, int base = 10) {
    const auto [end, err] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    return err == std::errc{} && end == word.data() + word.size();
}

// Decimal or 0x hex, 0..255.
bool KeyCode(std::string_view word, std::uint32_t& code) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    return (hex ? Number(word.substr(2), code, 16) : Number(word, code)) && code <= 255;
}

// The words an option's value may take: one, but for a practice start
// ("level 3 boss") and a place of the highscore table ("1 ROBOTIC 5000").
std::size_t OptionWords(std::string_view option) {
    return option == "practice" || option == "score" ? 3 : 1;
}

// Options that are rows of a table are told apart by their first word.
std::size_t OptionKeyWords(std::string_view option) {
    return option == "score" ? 2 : 1;
}

std::string Joined(const std::vector<std::string_view>& w, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < w.size(); ++i) {
        text += (i > from ? " " : "") + std::string(w[i]);
    }
    return text;
}

// Reads the words after the stamp into `event`; returns what is wrong, or "".
std::string ReadEvent(const std::vector<std::string_view>& w, InputEvent& event, bool checkOutput) {
    const std::string_view what = w[1];
    auto expect = [&](std::size_t n) -> std::string {
        if (w.size() < n) {
            return Quote(what) + " needs more words";
        }
        if (w.size() > n) {
            return "unexpected " + Quote(w[n]);
        }
        return "";
    };
    if (what == "key") {
        if (auto bad = expect(4); !bad.empty()) {
            return bad;
        }
        if (w[2] != "down" && w[2] != "up") {
            return "expected 'down' or 'up', not " + Quote(w[2]);
        }
        event.kind = w[2] == "down" ? Kind::KeyDown : Kind::KeyUp;
        if (!KeyCode(w[3], event.code)) {
            return "bad key code " + Quote(w[3]) + " (0..255, decimal or 0x hex)";
        }
        return "";
    }
    if (what == "mouse") {
        if (w.size() >= 3 && w[2] == "move") {
            if (auto bad = expect(5); !bad.empty()) {
                return bad;
            }
            event.kind = Kind::MouseMove;
            for (int i = 0; i < 2; ++i) {
                if (!Number(w[3 + i], i == 0 ? event.x : event.y)) {
                    return "bad coordinate " + Quote(w[3 + i]);
                }
            }
            return "";
        }
        if (auto bad = expect(4); !bad.empty()) {
            return bad;
        }
        if (w[2] != "down" && w[2] != "up") {
            return "expected 'move', 'down' or 'up', not " + Quote(w[2]);
        }
        event.kind = w[2] == "down" ? Kind::MouseDown : Kind::MouseUp;
        if (w[3] != "left" && w[3] != "right") {
            return "expected 'left' or 'right', not " + Quote(w[3]);
        }
        event.code = w[3] == "left" ? 0 : 1;
        return "";
    }
    if (what == "shot" || what == "state") {
        event.kind = what == "shot" ? Kind::Shot : Kind::State;
        if (w.size() < 3) {
            return Quote(what) + " needs a file name";
        }
        // The file name is the rest of the line, spaces and all.
        event.file = std::string(w[2].data(), w.back().data() + w.back().size());
        return checkOutput ? RefuseOutput(event.file) : "";
    }
    if (what == "focus") {
        if (auto bad = expect(3); !bad.empty()) {
            return bad;
        }
        if (w[2] != "lost" && w[2] != "gained") {
            return "expected 'lost' or 'gained', not " + Quote(w[2]);
        }
        event.kind = w[2] == "lost" ? Kind::FocusLost : Kind::FocusGained;
        return "";
    }
    if (what == "option") {
        event.kind = Kind::Option;
        if (w.size() < 4) {
            return Quote(what) + " needs more words";
        }
        if (w.size() > 3 + OptionWords(w[2])) {
            return "unexpected " + Quote(w[3 + OptionWords(w[2])]);
        }
        event.option = Joined(w, 2);
        return "";
    }
    if (what == "save") {
        event.kind = Kind::SaveFailed;
        if (auto bad = expect(3); !bad.empty()) {
            return bad;
        }
        return w[2] == "failed" ? "" : "expected 'failed', not " + Quote(w[2]);
    }
    if (what == "close") {
        event.kind = Kind::Close;
        return expect(2);
    }
    return "unknown event " + Quote(what);
}

// Reads `in` line by line, each line bounded, so an endless one (a device,
// a stream of zeros) ends in an error rather than in the allocator.
bool ParseLines(std::istream& in, const std::string& name, const EventSink& take,
                std::string& error, bool checkOutputs = true) {
    std::vector<char> buffer(kMaxLine + 2);
    std::uint64_t previous = 0;
    bool leading = true; // nothing but options so far
    // Each option's value and line: the same option twice must agree.
    std::map<std::string, std::pair<std::string, std::size_t>, std::less<>> options;
    for (std::size_t number = 1;; ++number) {
        auto fail = [&](const std::string& what) {
            error = Text::At(name, number) + ": " + what;
            return false;
        };
        in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (in.fail() && got + 1 >= buffer.size()) {
            return fail("line longer than " + std::to_string(kMaxLine) + " bytes");
        }
        if (got == 0 && in.fail()) {
            return !in.bad() || fail(std::strerror(errno));
        }
        // The line end was taken too, unless the text ended first.
        const std::size_t length = in.eof() ? got : got - 1;
        const std::string_view line(buffer.data(), length);
        if (line.size() > kMaxLine) {
            return fail("line longer than " + std::to_string(kMaxLine) + " bytes");
        }
        if (line.find('\0') != std::string_view::npos) {
            return fail("a NUL byte in the line");
        }
        const std::string_view content = line.substr(0, line.find('#'));
        const auto w = Words(content);
        if (w.empty()) {
            continue;
        }
        InputEvent event;
        event.line = static_cast<std::uint32_t>(std::min<std::size_t>(number, UINT32_MAX));
        if (!Number(w[0], event.ms)) {
            return fail("bad time " + Quote(w[0]));
        }
        if (event.ms > kLastMs) {
            return fail("time " + std::to_string(event.ms) + " is past the clock's end (" +
                        std::to_string(kLastMs) + ")");
        }
        if (event.ms < previous) {
            return fail("time " + std::to_string(event.ms) + " is before the line above (" +
                        std::to_string(previous) + ")");
        }
        if (w.size() < 2) {
            return fail("missing event after the time");
        }
        if (auto bad = ReadEvent(w, event, checkOutputs); !bad.empty()) {
            return fail(bad);
        }
        if (event.kind == Kind::Option) {
            // A run starts from its options: they lead, before anything happens.
            if (event.ms != 0 || !leading) {
                return fail("an option comes first, at time 0");
            }
            const std::size_t keyWords = 2 + OptionKeyWords(w[2]);
            if (w.size() <= keyWords) {
                return fail(Quote(w[2]) + " needs more words");
            }
            const std::string option(w[2].data(), w[keyWords - 1].data() + w[keyWords - 1].size());
            const std::string value = Joined(w, keyWords);
            const auto [at, added] = options.try_emplace(option, value, number);
            if (!added && at->second.first != value) {
                return fail("option " + Quote(option) + " is " + Quote(value) + " here but " +
                            Quote(at->second.first) + " on line " +
                            std::to_string(at->second.second));
            }
        }
        leading = leading && event.kind == Kind::Option;
        previous = event.ms;
        take(std::move(event));
    }
}

bool ParseText(const std::string& text, const std::string& name, std::vector<InputEvent>& events,
               std::string& error, bool checkOutputs) {
    std::istringstream lines(text);
    return ParseLines(
        lines, name, [&events](InputEvent&& e) { events.push_back(std::move(e)); }, error,
        checkOutputs);
}

} // namespace

bool ParseScript(const std::string& text, const std::string& name, std::vector<InputEvent>& events,
                 std::string& error) {
    return ParseText(text, name, events, error, true);
}

bool ParseRecording(const std::string& text, const std::string& name,
                    std::vector<InputEvent>& events, std::string& error) {
    return ParseText(text, name, events, error, false);
}

bool ReadScript(const std::string& file, const EventSink& take, std::string& error) {
    if (file == "-") {
        return ParseLines(std::cin, "standard input", take, error);
    }
    const std::string shown = Text::Printable(file, Text::kPathShown);
    // Only a plain file: a FIFO would block the start for good and a folder
    // reads as an empty script.
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        error = shown + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = shown + ": not a regular file";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = shown + ": " + std::strerror(errno);
        return false;
    }
    return ParseLines(in, file, take, error);
}

bool ReadScript(const std::string& file, std::vector<InputEvent>& events, std::string& error) {
    return ReadScript(
        file, [&events](InputEvent&& e) { events.push_back(std::move(e)); }, error);
}

std::string FormatEvent(const InputEvent& event) {
    std::string text = std::to_string(event.ms) + " ";
    const char* button = event.code == 0 ? "left" : "right";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(event.code & 0xFF));
    switch (event.kind) {
    case Kind::KeyDown:
        return text + "key down " + code;
    case Kind::KeyUp:
        return text + "key up " + code;
    case Kind::MouseMove:
        return text + "mouse move " + std::to_string(event.x) + " " + std::to_string(event.y);
    case Kind::MouseDown:
        return text + "mouse down " + button;
    case Kind::MouseUp:
        return text + "mouse up " + button;
    case Kind::Shot:
        return text + "shot " + event.file;
    case Kind::State:
        return text + "state " + event.file;
    case Kind::Close:
        return text + "close";
    case Kind::FocusLost:
        return text + "focus lost";
    case Kind::FocusGained:
        return text + "focus gained";
    case Kind::Option:
        return text + "option " + event.option;
    case Kind::SaveFailed:
        return text + "save failed";
    }
    return text;
}

} // namespace Display::Run
