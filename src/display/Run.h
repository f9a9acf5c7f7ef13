// How a run is driven: window or headless, the virtual clock, scripted and
// recorded input, and the hooks tests use to feed input directly.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Display::Run {

struct InputEvent {
    enum Kind : std::uint8_t {
        KeyDown,
        KeyUp,
        MouseMove,
        MouseDown,
        MouseUp,
        Shot,
        State,
        Close,
        FocusLost, // the window lost the keyboard focus
        FocusGained,
        Option,     // a setting the run starts from: `option` is "<name> <value>"
        SaveFailed, // the highscores could not be saved: a replay's save fails there too
    };
    std::uint64_t ms = 0; // virtual millisecond at which it applies
    Kind kind = KeyDown;
    std::uint32_t code = 0; // key code; for mouse buttons 0 = left, 1 = right
    std::int32_t x = 0, y = 0;
    std::string file;       // Shot and State: the file written
    std::uint32_t line = 0; // the script line it was read from (Shot, State, Option), 0 for none
    std::string option{};   // Option: "<name> <value>"
};

// The latest time a script may name, about 31 million years: far enough for
// any wait, and far enough from the end of the clock that it never wraps.
constexpr std::uint64_t kLastMs = 1'000'000'000'000'000'000;

// Headless: no window, no real sleeping; the window state is still active.
void SetHeadless(bool headless);
bool Headless();
// Fast forward, for a window: sleeps serve the window without waiting, idle
// steps are skipped as headless, and frames are shown twenty a second. The
// clock and the input, and so the game, are the same at any pace.
void SetFastForward(bool on);
bool FastForward();

// Milliseconds of virtual time since the run started.
std::uint64_t ClockMs();
// The window caption as the game last set it ("" with no window).
std::string Title();
bool WindowOpen();

// Reads a script ("-" is standard input) and makes it the run's; it is kept
// in about 24 bytes an event, less than its text. On a bad line returns false
// with "FILE:LINE: what is wrong".
bool LoadScript(const std::string& file, std::string& error);
// Reads a script, handing each event to `take` in order.
using EventSink = std::function<void(InputEvent&& event)>;
bool ReadScript(const std::string& file, const EventSink& take, std::string& error);
bool ReadScript(const std::string& file, std::vector<InputEvent>& events, std::string& error);
bool ParseScript(const std::string& text, const std::string& name, std::vector<InputEvent>& events,
                 std::string& error);
// The same for a replay that writes nothing: `shot` and `state` are read,
// but where they would write is not looked at.
bool ParseRecording(const std::string& text, const std::string& name,
                    std::vector<InputEvent>& events, std::string& error);
// What is wrong with a script's `shot` or `state` writing `file`, or "": it
// must be a relative path without "..", leading nowhere outside the working
// directory even through symlinks, to a regular file or none, and not to the
// game's own files (ProtectFile, ProtectFolder).
std::string RefuseOutput(const std::string& file);
// Replaces the script with events already parsed (tests). Its Option events
// are kept apart, for the program to start from.
void SetScript(std::vector<InputEvent> events);
std::vector<InputEvent> ScriptOptions();
// Whether the run's script has events still to play.
bool ScriptPlaying();
// One event as a script line, without the line end.
std::string FormatEvent(const InputEvent& event);
// Every input event the game sees is appended to this file, in script format.
// It must be a regular file or a device (/dev/null): a FIFO, a socket or a
// folder is refused, and nothing waits for a reader. False with the reason.
bool SetRecord(const std::string& file, std::string& why);
bool SetRecord(const std::string& file);
// The same for the replay the game keeps of a session on its own: a write
// that fails is said once on stderr and ends the replay, but the run goes on
// and its exit status stays as it would be.
bool SetReplay(const std::string& file, std::string& why);

// The game's own files, which no shot or state may write, named by the game
// at start: the file, and its lock, temporary and backup files beside it
// (<file>.lock, <file>.tmp, <file>.tmp-*, <file>.bak, <file>.bak.N),
// whatever path leads there.
void ProtectFile(const std::string& file);
// ... and the game's own folders: nothing under them.
void ProtectFolder(const std::string& folder);
// Writes `data` as `file` as shots and states are written: under a temporary
// name renamed into place, never through a link, never onto a FIFO, a device
// or the game's own files; the folders it names are made. For a script's
// event, only inside the working directory. False with the reason.
bool WriteOutput(const std::string& file, std::string_view data, std::string& why);

// The run has asked to end: the close box, a signal, or a headless run with
// no input left to come. The status it ends with; the host's loop then ends
// the run (End). Input after the request is not taken.
std::optional<int> EndAsked();
// Asks for the run to end with `code`, unless an end is already asked.
void AskEnd(int code);

// Headless: SIGTERM and SIGINT end the run at its next sync point as the
// close box would, with the status 128 + the signal's number.
void StopOnSignals();
// Whether such a signal came; a long wait between sync points gives up on it.
bool StopAsked();
// Asks for the run's end, as a sync point would, when such a signal came.
void TakeSignal();

// Writes the game's world state as JSON (through WriteOutput); the game
// registers it. False with the reason.
using StateWriter = std::function<bool(const std::string& file, std::string& why)>;
void SetStateWriter(StateWriter writer);

// Called when a run can make no more progress (headless and out of input,
// or the window closed). The default flushes the recording and exits with 0.
void SetEndHandler(std::function<void()> handler);
// Runs after the end handler, whoever set that: the program's own tidying up.
void SetCleanup(std::function<void()> cleanup);
[[noreturn]] void End(int code);
// A run that otherwise ends well ends with `code` instead of 0: something
// failed on the way that the exit status must not hide.
void FailAtEnd(int code);

// Told of every event the game takes, stamped as a recording holds it. It
// must only read, or runs stop replaying.
using InputObserver = std::function<void(const InputEvent& event)>;
void SetInputObserver(InputObserver observer);
// A highscore save failed: the recording says so where it happened, so that
// a replay, whose table never fails to save, takes the same course.
void RecordSaveFailed();
// Whether the script said that the save being made now failed; asking
// clears it.
bool TakeSaveFailed();

// Called at every sync point before due input is applied; what it hands to
// Apply is recorded like any other input. The host plugs the autopilot in
// here. With a hook set a headless run never ends for want of input: the
// hook decides.
void SetSyncHook(std::function<void()> hook);

// Whether WaitForInput would find input at once: a script's next event, or
// live input (a page's loop waits for it before asking).
bool InputWaiting();
// A screen waits for a key press: waits for input (virtual time passes), or
// ends a headless run that can get no more.
void WaitForInput();

// The game waits on something outside it for `ms` of real time: the window
// is served, but the virtual clock stays and no input reaches the game.
void WaitOutside(std::uint32_t ms);

// Applies one event at once, as a sync point would (tests, scripts, live input).
void Apply(const InputEvent& event);
// Hands a live event to the game from any thread; it applies at the next sync point.
void Post(const InputEvent& event);
// The same, for the hosts: an event made of its parts.
inline void Post(InputEvent::Kind kind, std::uint32_t code = 0, std::int32_t x = 0,
                 std::int32_t y = 0) {
    InputEvent event;
    event.kind = kind;
    event.code = code;
    event.x = x;
    event.y = y;
    Post(event);
}
// Off: live mouse and focus events are dropped, for a demo that plays by
// itself and that a stray pointer or a lost focus must not steer or pause.
// Keys still reach it: M mutes it, Escape gives its game up.
void SetLivePointer(bool on);
// Writes the frame last presented by UpdateWindow as a 24-bit BMP, through
// WriteOutput. False with the reason.
bool WriteShot(const std::string& file, std::string& why);
bool WriteShot(const std::string& file);

// Called on the game thread at every UpdateWindow of an open window (the
// sound). It must only read the game's state, or runs stop replaying.
void SetFrameHook(std::function<void()> hook);
// Headless, the presented frame is only ever read by `shot`; a run that will
// take none (the autopilot racing through a game) can skip keeping it.
void SetKeepFrames(bool keep);

// Back to the state at program start: no window, empty tables, clock 0,
// no script, no recording, nothing protected. For tests.
void Reset();

} // namespace Display::Run
