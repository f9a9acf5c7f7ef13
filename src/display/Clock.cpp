// The virtual clock and its sync points. Input reaches the game only here,
// stamped with the clock at which the game saw it, so a run is a pure
// function of its input log and a recording replays it exactly.
#include "display/Host.h"
#include "display/Layer.h"
#include "display/Machinery.h"
#include "display/Sync.h"
#include "platform/OutFile.h"
#include "util/Quote.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

namespace Display::Run {

namespace {

// A headless run with nothing left to play stops this long after the last event.
constexpr std::uint64_t kIdleEndMs = 10 * 60 * 1000;

RunState state;
// A stop asked by SIGTERM or SIGINT, taken at the next sync point.
volatile std::sig_atomic_t stopSignal = 0;

bool ScriptLeft() {
    const bool left = state.nextEvent < state.script.Size();
    state.scripted = (left);
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
    if (!state.endCode) {
        state.endCode = code;
    }
}

std::optional<int> EndAsked() {
    return state.endCode;
}

// Taken at sync points, so the run ends as the close box would end it.
void TakeSignal() {
    if (stopSignal != 0) {
        AskEnd(128 + stopSignal);
    }
}

void SetHeadless(bool on) {
    state.headless = on;
}
bool Headless() {
    return state.headless;
}
void SetFastForward(bool on) {
    state.fastForward = on;
}
bool FastForward() {
    return state.fastForward;
}
std::uint64_t ClockMs() {
    return state.clock;
}

namespace {

void ClearScript() {
    state.script.Clear();
    state.scriptOptions.clear();
    state.scriptName.clear();
    state.nextEvent = 0;
    state.lastStamp = 0;
}

// Options are kept apart, for the program to start from.
void AddToScript(InputEvent&& event) {
    if (event.kind == InputEvent::Option) {
        state.scriptOptions.push_back(std::move(event));
    } else {
        state.lastStamp = event.ms;
        state.script.Add(std::move(event));
    }
}

} // namespace

void SetScript(std::vector<InputEvent> events) {
    ClearScript();
    for (auto& e : events) {
        AddToScript(std::move(e));
    }
    state.scripted = (!state.script.Empty());
}

std::vector<InputEvent> ScriptOptions() {
    return state.scriptOptions;
}

bool ScriptPlaying() {
    return ScriptLeft();
}

bool LoadScript(const std::string& file, std::string& error) {
    ClearScript();
    if (!ReadScript(file, AddToScript, error)) {
        ClearScript();
        state.scripted = (false);
        return false;
    }
    state.scriptName = file == "-" ? "standard input" : file;
    state.scripted = (!state.script.Empty());
    return true;
}

bool SetRecord(const std::string& file, std::string& why) {
    return state.recording.Open(file, why);
}

bool SetReplay(const std::string& file, std::string& why) {
    return state.recording.Open(file, why, true);
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
    state.stateWriter = std::move(writer);
}
void SetEndHandler(std::function<void()> handler) {
    state.endHandler = std::move(handler);
}
void SetCleanup(std::function<void()> last) {
    state.cleanup = std::move(last);
}
void SetSyncHook(std::function<void()> hook) {
    state.syncHook = std::move(hook);
}
void SetInputObserver(InputObserver observer) {
    state.inputObserver = std::move(observer);
}

void RecordSaveFailed() {
    InputEvent failed;
    failed.kind = InputEvent::SaveFailed;
    failed.ms = state.clock;
    if (!state.recording.Write(failed)) {
        state.writeFailed = true;
    }
}

bool TakeSaveFailed() {
    return std::exchange(state.saveFailed, false);
}

void FailAtEnd(int code) {
    state.failCode = (code);
}

void End(int code) {
    state.writeFailed = !state.recording.Close() || state.writeFailed;
    if (code == 0) {
        code = state.failCode;
    }
    if (code == 0 && state.writeFailed) {
        code = 1;
    }
    if (state.endHandler) {
        state.endHandler();
    }
    if (state.cleanup) {
        state.cleanup();
    }
    std::fflush(nullptr);
    if (Host::Running()) {
        Host::Quit(code);
    }
    std::exit(code);
}

namespace {

// A shot or state; a state.script's own only inside the working directory.
void Write(const InputEvent& seen, bool fromScript) {
    const bool shot = seen.kind == InputEvent::Shot;
    std::string why = "nothing to write";
    ConfineOutput(fromScript);
    const bool written =
        shot ? WriteShot(seen.file, why) : state.stateWriter && state.stateWriter(seen.file, why);
    ConfineOutput(false);
    if (!written) {
        const bool placed = fromScript && seen.line != 0 && !state.scriptName.empty();
        std::cerr << "morvek: " << (placed ? Text::At(state.scriptName, seen.line) + ": " : "")
                  << "cannot write the " << (shot ? "picture " : "state ")
                  << Text::Quote(seen.file, Text::kPathShown) << ": " << why << '\n';
        state.writeFailed = true;
    }
}

void Take(const InputEvent& event, bool fromScript) {
    InputEvent seen = event;
    seen.ms = state.clock;
    if (!state.recording.Write(seen)) {
        state.writeFailed = true;
    }
    if (state.inputObserver) {
        state.inputObserver(seen);
    }
    switch (seen.kind) {
    case InputEvent::Shot:
    case InputEvent::State:
        Write(seen, fromScript);
        break;
    case InputEvent::Close:
        AskEnd(0);
        break;
    case InputEvent::SaveFailed:
        state.saveFailed = true;
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
    state.livePointer = on;
}

void Post(const InputEvent& event) {
    {
        const bool pointer =
            event.kind == InputEvent::MouseMove || event.kind == InputEvent::MouseDown ||
            event.kind == InputEvent::MouseUp || event.kind == InputEvent::FocusLost ||
            event.kind == InputEvent::FocusGained;
        // A playing state.script alone steers the game, so a replay in a window
        // is the state.headless one; the close box still ends it.
        if ((pointer && !state.livePointer) ||
            (state.scripted && event.kind != InputEvent::Close)) {
            return;
        }
        state.live.push_back(event);
        state.closePosted = state.closePosted || event.kind == InputEvent::Close;
    }
}

void ApplyDue() {
    while (!state.endCode && ScriptLeft() && state.script.Ms(state.nextEvent) <= state.clock) {
        const InputEvent event = state.script.At(state.nextEvent++);
        Take(event, true);
    }
    std::vector<InputEvent> batch;
    { batch.swap(state.live); }
    // Quick taps and clicks can go down and up, and down again, between two
    // sync points; the game polls levels, so each key and button moves at
    // most once a sync point and the rest waits for the next.
    std::array<bool, 258> moved{}; // keys, then the left and right button
    std::size_t applied = 0;
    for (; applied < batch.size() && !state.endCode; ++applied) {
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
        state.live.insert(state.live.begin(), batch.begin() + static_cast<std::ptrdiff_t>(applied),
                          batch.end());
    }
}

bool InputWaiting() {
    return ScriptLeft() || !state.live.empty();
}

void WaitForInput() {
    TakeSignal();
    if (state.endCode) {
        return;
    }
    // Waiting takes a virtual millisecond at least, so what arrives now is
    // stamped past the last sync point and a replay hands it to this wait too.
    state.clock += 1;
    if (state.syncHook) {
        state.syncHook();
        if (KeyQueued()) {
            ApplyDue();
            return;
        }
    }
    if (ScriptLeft()) {
        state.clock = std::max(state.clock, state.script.Ms(state.nextEvent));
    } else if (state.headless) {
        if (state.live.empty() && !state.syncHook) {
            AskEnd(0);
            return;
        }
    } else {
        Host::Serve(std::nullopt, [] { return !state.live.empty(); });
    }
    ApplyDue();
}

void WaitOutside(std::uint32_t ms) {
    if (state.headless) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    Host::Serve(ms, [] { return state.closePosted; });
}

void Exchange(RunState& other) {
    std::swap(state, other);
}

void Reset() {
    DropWindow();
    StateWriter writer = std::move(state.stateWriter); // the game's, kept
    state = RunState{};                                // the recording closed, unwritten or not
    state.stateWriter = std::move(writer);
    stopSignal = 0;
    ForgetProtected();
    SetKeepFrames(true);
}

} // namespace Display::Run

namespace Display {

namespace {

void SleepAndSync(std::uint32_t ms) {
    if (!Run::state.headless) {
        // A close request cuts the sleep short so the program ends at once.
        Host::Serve(Run::state.fastForward ? 0 : ms, [] { return Run::state.closePosted; });
    }
    Run::state.clock += ms;
    if (Run::state.syncHook) {
        Run::state.syncHook();
    }
    Run::ApplyDue();
    Run::TakeSignal();
    if (Run::state.headless && !Run::ScriptLeft() && !Run::state.syncHook &&
        Run::state.clock > Run::state.lastStamp + Run::kIdleEndMs) {
        Run::AskEnd(0);
    }
}

} // namespace

void Sleep(std::uint32_t ms) {
    SleepAndSync(ms);
}

} // namespace Display

namespace Display {

void IdleSleep(std::uint32_t ms) {
    // Only a script's input can come: live input stays out while it plays.
    const bool skips = Run::state.headless || Run::state.fastForward;
    if (skips && !Run::state.syncHook && ms > 0 && Run::ScriptLeft()) {
        bool quiet = false;
        { quiet = Run::state.live.empty(); }
        const std::uint64_t now = Run::state.clock;
        const std::uint64_t next = Run::state.script.Ms(Run::state.nextEvent);
        if (quiet && next > now + ms) {
            Run::state.clock += (next - now - 1) / ms * ms;
        }
    }
    SleepAndSync(ms);
}

} // namespace Display
