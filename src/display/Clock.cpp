// The virtual clock and its sync points. Input reaches the game only here,
// stamped with the clock at which the game saw it, so a run is a pure
// function of its input log and a recording replays it exactly.
#include "display/Host.h"
#include "display/Layer.h"
#include "display/Sync.h"
#include "platform/OutFile.h"
#include "util/Quote.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>


namespace Display::Run {

namespace {

// A headless run with nothing left to play stops this long after the last event.
constexpr std::uint64_t kIdleEndMs = 10 * 60 * 1000;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool headless = false;
std::uint64_t clock = 0;
// The run asked to end with this status; the host's loop ends it.
std::optional<int> endCode;
int failCode = 0;

// A script's events, 24 bytes each: a script of millions of lines takes
// about as much memory as its text (an InputEvent takes 64). Shot and State
// keep their file apart (its index in `code`) and their line in `x`. A deque
// grows without copying what it holds.
struct Packed {
    std::uint64_t ms = 0;
    std::int32_t x = 0, y = 0;
    std::uint32_t code = 0;
    InputEvent::Kind kind = InputEvent::KeyDown;
};
static_assert(sizeof(Packed) <= 24);

class Script {
  public:
    void Clear() {
        events_.clear();
        files_.clear();
        files_.shrink_to_fit();
    }
    void Add(InputEvent&& e) {
        Packed p{e.ms, e.x, e.y, e.code, e.kind};
        if (e.kind == InputEvent::Shot || e.kind == InputEvent::State) {
            p.code = static_cast<std::uint32_t>(files_.size());
            p.x = static_cast<std::int32_t>(e.line);
            files_.push_back(std::move(e.file));
        }
        events_.push_back(p);
    }
    std::size_t Size() const { return events_.size(); }
    bool Empty() const { return events_.empty(); }
    std::uint64_t Ms(std::size_t i) const { return events_[i].ms; }
    InputEvent At(std::size_t i) const {
        const Packed& p = events_[i];
        InputEvent e{p.ms, p.kind, p.code, p.x, p.y, {}, 0};
        if (p.kind == InputEvent::Shot || p.kind == InputEvent::State) {
            e.code = 0;
            e.x = 0;
            e.line = static_cast<std::uint32_t>(p.x);
            e.file = files_[p.code];
        }
        return e;
    }

  private:
    std::deque<Packed> events_;
    std::vector<std::string> files_;
};

Script script;
std::vector<InputEvent> scriptOptions;
std::string scriptName; // as messages name it, "" for a script handed over whole
std::size_t nextEvent = 0;
std::uint64_t lastStamp = 0;

std::unique_ptr<std::FILE, FileCloser> record;
std::string recordName;
// A shot, state or recording that could not be written: the run goes on but
// its exit status says so.
bool writeFailed = false;
// A stop asked by SIGTERM or SIGINT, taken at the next sync point.
volatile std::sig_atomic_t stopSignal = 0;
// Set while a script has events left: live input then stays out of the game.
bool scripted = false;
StateWriter stateWriter;
std::function<void()> endHandler;
std::function<void()> cleanup;
std::function<void()> syncHook;
WaitObserver waitObserver;

// Live input from the window, taken at the next sync point.
std::vector<InputEvent> live;
bool closePosted = false;
bool livePointer = true;

void RecordFailed(int error) {
    std::cerr << "morvek: cannot write the recording " << Text::Quote(recordName, Text::kPathShown)
              << ": " << std::strerror(error) << '\n';
    writeFailed = true;
    record.release(); // closing would only fail again
}

void Record(const InputEvent& event) {
    if (record) {
        // Flushed per line: a crash must not lose the log that reproduces it.
        if (std::fprintf(record.get(), "%s\n", FormatEvent(event).c_str()) < 0 ||
            std::fflush(record.get()) != 0) {
            std::FILE* file = record.get();
            RecordFailed(errno);
            std::fclose(file);
        }
    }
}

// Closes the recording; a failure shows only now on some file systems.
void CloseRecord() {
    if (std::FILE* file = record.release(); file != nullptr && std::fclose(file) != 0) {
        RecordFailed(errno);
    }
}

bool ScriptLeft() {
    const bool left = nextEvent < script.Size();
    scripted = (left);
    return left;
}

void StopOnSignal(int sig) {
    stopSignal = sig;
}

} // namespace

bool StopAsked() {
    return stopSignal != 0;
}

void AskEnd(int code) {
    if (!endCode) {
        endCode = code;
    }
}

std::optional<int> EndAsked() {
    return endCode;
}

// Taken at sync points, so the run ends as the close box would end it.
void TakeSignal() {
    if (stopSignal != 0) {
        AskEnd(128 + stopSignal);
    }
}

void SetHeadless(bool on) {
    headless = on;
}
bool Headless() {
    return headless;
}
std::uint64_t ClockMs() {
    return clock;
}

namespace {

void ClearScript() {
    script.Clear();
    scriptOptions.clear();
    scriptName.clear();
    nextEvent = 0;
    lastStamp = 0;
}

// Options are kept apart, for the program to start from.
void AddToScript(InputEvent&& event) {
    if (event.kind == InputEvent::Option) {
        scriptOptions.push_back(std::move(event));
    } else {
        lastStamp = event.ms;
        script.Add(std::move(event));
    }
}

} // namespace

void SetScript(std::vector<InputEvent> events) {
    ClearScript();
    for (auto& e : events) {
        AddToScript(std::move(e));
    }
    scripted = (!script.Empty());
}

std::vector<InputEvent> ScriptOptions() {
    return scriptOptions;
}

bool LoadScript(const std::string& file, std::string& error) {
    ClearScript();
    if (!ReadScript(file, AddToScript, error)) {
        ClearScript();
        scripted = (false);
        return false;
    }
    scriptName = file == "-" ? "standard input" : file;
    scripted = (!script.Empty());
    return true;
}

bool SetRecord(const std::string& file, std::string& why) {
    record.reset(OutFile::OpenStream(file, why));
    recordName = file;
    return record != nullptr;
}

bool SetRecord(const std::string& file) {
    std::string ignored;
    return SetRecord(file, ignored);
}

// std::signal rather than sigaction: the handler only sets a flag, and the
// same call serves every system the game is built for.
void StopOnSignals() {
    std::signal(SIGTERM, StopOnSignal);
    std::signal(SIGINT, StopOnSignal);
}

void SetStateWriter(StateWriter writer) {
    stateWriter = std::move(writer);
}
void SetEndHandler(std::function<void()> handler) {
    endHandler = std::move(handler);
}
void SetCleanup(std::function<void()> last) {
    cleanup = std::move(last);
}
void SetSyncHook(std::function<void()> hook) {
    syncHook = std::move(hook);
}
void SetWaitObserver(WaitObserver observer) {
    waitObserver = std::move(observer);
}

void FailAtEnd(int code) {
    failCode = (code);
}

void End(int code) {
    CloseRecord();
    if (code == 0) {
        code = failCode;
    }
    if (code == 0 && writeFailed) {
        code = 1;
    }
    if (endHandler) {
        endHandler();
    }
    if (cleanup) {
        cleanup();
    }
    std::fflush(nullptr);
    if (Host::Running()) {
        Host::Quit(code);
    }
    std::exit(code);
}

namespace {

// A shot or state; a script's own only inside the working directory.
void Write(const InputEvent& seen, bool fromScript) {
    const bool shot = seen.kind == InputEvent::Shot;
    std::string why = "nothing to write";
    ConfineOutput(fromScript);
    const bool written =
        shot ? WriteShot(seen.file, why) : stateWriter && stateWriter(seen.file, why);
    ConfineOutput(false);
    if (!written) {
        const bool placed = fromScript && seen.line != 0 && !scriptName.empty();
        std::cerr << "morvek: " << (placed ? Text::At(scriptName, seen.line) + ": " : "")
                  << "cannot write the " << (shot ? "picture " : "state ")
                  << Text::Quote(seen.file, Text::kPathShown) << ": " << why << '\n';
        writeFailed = true;
    }
}

void Take(const InputEvent& event, bool fromScript) {
    InputEvent seen = event;
    seen.ms = clock;
    Record(seen);
    switch (seen.kind) {
    case InputEvent::Shot:
    case InputEvent::State:
        Write(seen, fromScript);
        break;
    case InputEvent::Close:
        AskEnd(0);
        break;
    default:
        ApplyInput(seen);
        break;
    }
}

} // namespace

void Apply(const InputEvent& event) {
    Take(event, false);
}

void SetLivePointer(bool on) {
    livePointer = on;
}

void Post(const InputEvent& event) {
    {
        const bool pointer =
            event.kind == InputEvent::MouseMove || event.kind == InputEvent::MouseDown ||
            event.kind == InputEvent::MouseUp || event.kind == InputEvent::FocusLost ||
            event.kind == InputEvent::FocusGained;
        // A playing script alone steers the game, so a replay in a window
        // is the headless one; the close box still ends it.
        if ((pointer && !livePointer) || (scripted && event.kind != InputEvent::Close)) {
            return;
        }
        live.push_back(event);
        closePosted = closePosted || event.kind == InputEvent::Close;
    }
}

void ApplyDue() {
    while (!endCode && ScriptLeft() && script.Ms(nextEvent) <= clock) {
        const InputEvent event = script.At(nextEvent++);
        Take(event, true);
    }
    std::vector<InputEvent> batch;
    {
        batch.swap(live);
    }
    // Quick taps and clicks can go down and up, and down again, between two
    // sync points; the game polls levels, so each key and button moves at
    // most once a sync point and the rest waits for the next.
    std::array<bool, 258> moved{}; // keys, then the left and right button
    std::size_t applied = 0;
    for (; applied < batch.size() && !endCode; ++applied) {
        const InputEvent& event = batch[applied];
        if (ChangesLevel(event)) {
            const bool key = event.kind == InputEvent::KeyDown || event.kind == InputEvent::KeyUp;
            const std::size_t id = key ? event.code : 256 + (event.code == 0 ? 0 : 1);
            if (moved[id]) {
                break;
            }
            moved[id] = true;
        }
        Apply(event);
    }
    if (applied < batch.size()) {
        live.insert(live.begin(), batch.begin() + static_cast<std::ptrdiff_t>(applied),
                    batch.end());
    }
}

bool InputWaiting() {
    return ScriptLeft() || !live.empty();
}

void Observe(std::string_view kind, std::uint32_t ms) {
    if (waitObserver) {
        waitObserver(kind, ms);
    }
}

void WaitForInput() {
    Observe("input", 0);
    TakeSignal();
    if (endCode) {
        return;
    }
    // Waiting takes a virtual millisecond at least, so what arrives now is
    // stamped past the last sync point and a replay hands it to this wait too.
    clock += 1;
    if (syncHook) {
        syncHook();
        if (KeyQueued()) {
            ApplyDue();
            return;
        }
    }
    if (ScriptLeft()) {
        clock = std::max(clock, script.Ms(nextEvent));
    } else if (headless) {
        if (live.empty() && !syncHook) {
            AskEnd(0);
            return;
        }
    } else {
        Host::Serve(std::nullopt, [] {
            return !live.empty();
        });
    }
    ApplyDue();
}

void WaitOutside(std::uint32_t ms) {
    if (headless) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    Host::Serve(ms, [] { return closePosted; });
}

void Reset() {
    DropWindow();
    headless = false;
    clock = 0;
    endCode.reset();
    failCode = (0);
    SetScript({});
    record.reset();
    ForgetProtected();
    writeFailed = false;
    stopSignal = 0;
    endHandler = nullptr;
    cleanup = nullptr;
    syncHook = nullptr;
    waitObserver = nullptr;
    SetKeepFrames(true);
    live.clear();
    closePosted = false;
    livePointer = true;
}

} // namespace Display::Run

namespace Display {

namespace {

void SleepUnobserved(std::uint32_t ms) {
    if (!Run::headless) {
        // A close request cuts the sleep short so the program ends at once.
        Host::Serve(ms, [] {
            return Run::closePosted;
        });
    }
    Run::clock += ms;
    if (Run::syncHook) {
        Run::syncHook();
    }
    Run::ApplyDue();
    Run::TakeSignal();
    if (Run::headless && !Run::ScriptLeft() && !Run::syncHook &&
        Run::clock > Run::lastStamp + Run::kIdleEndMs) {
        Run::AskEnd(0);
    }
}

} // namespace

void Sleep(std::uint32_t ms) {
    Run::Observe("sleep", ms);
    SleepUnobserved(ms);
}

} // namespace Display

namespace Display {

void IdleSleep(std::uint32_t ms) {
    Run::Observe("idle", ms);
    if (Run::headless && !Run::syncHook && ms > 0 && Run::ScriptLeft()) {
        bool quiet = false;
        {
            quiet = Run::live.empty();
        }
        const std::uint64_t now = Run::clock;
        const std::uint64_t next = Run::script.Ms(Run::nextEvent);
        if (quiet && next > now + ms) {
            Run::clock += (next - now - 1) / ms * ms;
        }
    }
    SleepUnobserved(ms);
}

} // namespace Display
