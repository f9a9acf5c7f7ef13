// The window on SDL. The main thread waits in SDL_WaitEvent; the game thread
// wakes it with an SDL user event whenever it needs something done, so
// neither side ever spins.
#include "display/Bindings.h"
#include "display/Font.h"
#include "display/Host.h"
#include "display/KeyMap.h"
#include "display/Note.h"
#include "display/PadMap.h"
#include "display/Run.h"
#include "display/Scaling.h"
#include "display/Sync.h"
#include "display/X11Watch.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace Display::Host {

namespace {

using Run::InputEvent;

// What the game thread asks of the main thread; guarded by `lock`.
struct Requests {
    bool open = false, close = false, title = false, quit = false;
    bool opened = false; // result of the last open
    int quitCode = 0;
    std::string text; // caption
    std::uint32_t width = 0, height = 0;
};

std::atomic<bool> running{false};
std::atomic<bool> displayLost{false};
std::thread::id windowThread;
std::uint32_t wakeEvent = 0;
std::mutex lock;
std::condition_variable served;
Requests asked;
std::atomic<bool> presentAsked{false};
Note note;              // guarded by `lock`
bool noteAsked = false; // guarded by `lock`: a new note waits to be shown

Settings settings; // written before Start only

// Main thread only from here.
SDL_Window* sdlWindow = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
std::uint64_t shownSerial = 0;
Keys::HeldKeys held;
Scaling::Size frameSize;
std::int32_t lastX = -1, lastY = -1;
bool closeSent = false;
bool focused = true;            // as the game was last told
std::set<SDL_Keycode> toggling; // fullscreen keys down
Bindings::Hearing<SDL_Keycode> hearing;
std::map<SDL_JoystickID, SDL_GameController*> pads;
bool noteOnScreen = false; // the last repaint showed a note

bool Wake() {
    // Waking the window talks to the display, which may be gone.
    if (displayLost.load()) {
        return false;
    }
    SDL_Event event{};
    event.type = wakeEvent;
    return SDL_PushEvent(&event) > 0;
}

using Run::Post;

void PostKeys(const std::vector<Pad::KeyChange>& changes) {
    for (const auto& c : changes) {
        Post(c.down ? InputEvent::KeyDown : InputEvent::KeyUp, c.code);
    }
}

// A controller is opened as soon as it is plugged in (and at start, for
// those already there) and closed when it goes.
void PadAdded(int device) {
    if (!SDL_IsGameController(device)) {
        return;
    }
    SDL_GameController* pad = SDL_GameControllerOpen(device);
    if (pad == nullptr) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    if (!pads.emplace(id, pad).second) {
        SDL_GameControllerClose(pad); // told twice about the same one
    }
}

void PadRemoved(SDL_JoystickID id) {
    if (const auto found = pads.find(id); found != pads.end()) {
        SDL_GameControllerClose(found->second);
        pads.erase(found);
    }
    PostKeys(Pad::Removed(held, id));
}

void DestroyWindow() {
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
    }
    if (renderer != nullptr) {
        SDL_DestroyRenderer(renderer);
    }
    if (sdlWindow != nullptr) {
        SDL_DestroyWindow(sdlWindow);
    }
    texture = nullptr;
    renderer = nullptr;
    sdlWindow = nullptr;
    held.ReleaseAll();
    hearing.Clear();
}

bool CreateWindow(const std::string& title, std::uint32_t width, std::uint32_t height) {
    DestroyWindow();
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    frameSize = {w, h};
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        usable = {};
    }
    const auto size = Scaling::InitialSize({usable.w, usable.h}, frameSize, settings.scale);
    const Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                         (settings.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    sdlWindow = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 size.w, size.h, flags);
    renderer = sdlWindow != nullptr ? SDL_CreateRenderer(sdlWindow, -1, 0) : nullptr;
    texture = renderer != nullptr ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                                      SDL_TEXTUREACCESS_STREAMING, w, h)
                                  : nullptr;
    if (texture == nullptr) {
        std::cerr << "morvek: cannot open the window: " << SDL_GetError() << '\n';
        DestroyWindow();
        return false;
    }
    SDL_StopTextInput();
    shownSerial = 0;
    lastX = lastY = -1;
    closeSent = false;
    focused = true;
    return true;
}

Scaling::Size OutputSize() {
    Scaling::Size out;
    if (SDL_GetRendererOutputSize(renderer, &out.w, &out.h) != 0) {
        out = {};
    }
    return out;
}

std::string NoteText() {
    std::lock_guard guard(lock);
    return std::string(note.Text(SDL_GetTicks64()));
}

std::optional<std::uint64_t> NoteLeft() {
    std::lock_guard guard(lock);
    return note.Left(SDL_GetTicks64());
}

// The note goes over the shown picture only, low in the game's view, clear
// of the title and the HUD, in letters three frame pixels to a font pixel, on a dimmed box.
void DrawNote(const Scaling::Viewport& view, std::string_view text) {
    const int px = std::max(1, 3 * view.w / std::max(frameSize.w, 1));
    const int pad = 3 * px;
    const int width = static_cast<int>(text.size()) * Font::kAdvance * px;
    const int height = Font::kCellHeight * px;
    const int x = view.x + (view.w - width) / 2;
    const int y = view.y + view.h - height - 4 * pad;
    const SDL_Rect box{x - pad, y - pad, width + 2 * pad, height + pad};
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 176);
    SDL_RenderFillRect(renderer, &box);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
    std::vector<SDL_Rect> dots;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto& glyph = Font::GlyphOf(0, static_cast<unsigned char>(text[i]));
        const int left = x + static_cast<int>(i) * Font::kAdvance * px;
        for (int row = 0; row < Font::kCellHeight; ++row) {
            for (int col = 0; col < Font::kCellWidth; ++col) {
                if ((glyph[static_cast<std::size_t>(row)] & (0x80u >> col)) != 0) {
                    dots.push_back({left + col * px, y + row * px, px, px});
                }
            }
        }
    }
    SDL_RenderFillRects(renderer, dots.data(), static_cast<int>(dots.size()));
}

void Repaint() {
    const auto view = Scaling::Letterbox(OutputSize(), frameSize, settings.integerScale);
    const SDL_Rect dest{view.x, view.y, view.w, view.h};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_SetTextureScaleMode(texture, Scaling::Smooth(view, frameSize) ? SDL_ScaleModeLinear
                                                                      : SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer, texture, nullptr, &dest);
    const std::string text = NoteText();
    noteOnScreen = !text.empty();
    if (noteOnScreen) {
        DrawNote(view, text);
    }
    SDL_RenderPresent(renderer);
}

void ToggleFullscreen() {
    const bool full = (SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(sdlWindow, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    Repaint();
    if (settings.fullscreenSwitched) {
        settings.fullscreenSwitched(!full);
    }
}

// Shows the newest presented frame, uploading only what changed.
void Show() {
    presentAsked.store(false);
    if (texture == nullptr) {
        return;
    }
    {
        auto& frame = Presented();
        std::lock_guard guard(frame.lock);
        if (frame.serial == shownSerial) {
            return;
        }
        shownSerial = frame.serial;
        const PixelRect r = frame.changed;
        frame.changed = {};
        if (!r.Empty()) {
            const SDL_Rect area{r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0};
            const std::size_t first = static_cast<std::size_t>(r.y0) * frame.width + r.x0;
            SDL_UpdateTexture(texture, &area, frame.pixels.data() + first,
                              static_cast<int>(frame.width * 4));
        }
    }
    Repaint();
}

// The exit status of a run whose display went away, unless the run had a
// reason of its own to fail.
constexpr int kDisplayLost = 3;

int LostCode(int code) {
    return code != 0 ? code : kDisplayLost;
}

// Once the display is gone no SDL or X call can be made any more, and Xlib
// must not get control back. The game ends as it ends on the close box, its
// recording complete; until then the window's thread answers the game's
// requests as if it had no window.
[[noreturn]] void DisplayLost() {
    if (!displayLost.exchange(true)) {
        std::cerr << "morvek: the display went away; the game ends as at the close box\n";
    }
    if (std::this_thread::get_id() != windowThread) {
        // The game's own thread met the dead display waking the window.
        InputEvent close;
        close.kind = InputEvent::Close;
        Run::Apply(close);
    }
    Post(InputEvent::Close);
    std::unique_lock guard(lock);
    for (;;) {
        if (asked.quit) {
            std::fflush(nullptr);
            std::_Exit(LostCode(asked.quitCode));
        }
        asked.opened = false;
        asked.open = asked.close = asked.title = false;
        served.notify_all();
        // The game's requests wake the window's event loop, not this one.
        served.wait_for(guard, std::chrono::milliseconds(10));
    }
}

[[noreturn]] void Exit(int code) {
    DestroyWindow();
    SDL_Quit();
    std::fflush(nullptr);
    std::_Exit(code);
}

void Serve() {
    std::unique_lock guard(lock);
    if (asked.quit) {
        Exit(asked.quitCode);
    }
    if (asked.open) {
        asked.opened = CreateWindow(asked.text, asked.width, asked.height);
        asked.open = false;
    }
    if (asked.close) {
        DestroyWindow();
        asked.close = false;
    }
    if (asked.title) {
        if (sdlWindow != nullptr) {
            SDL_SetWindowTitle(sdlWindow, asked.text.c_str());
        }
        asked.title = false;
    }
    const bool noted = std::exchange(noteAsked, false);
    guard.unlock();
    served.notify_all();
    Show();
    if (noted && texture != nullptr) {
        Repaint();
    }
}

void RequestClose() {
    if (!closeSent) {
        closeSent = true;
        Post(InputEvent::Close);
    }
}

// Button events carry a position; a click where the last move did not end
// (a window opened under the mouse) must still land where it happened. The
// game hears frame pixels, whatever the window's size.
void MoveTo(std::int32_t wx, std::int32_t wy) {
    Scaling::Size window;
    SDL_GetWindowSize(sdlWindow, &window.w, &window.h);
    const auto out = OutputSize();
    const auto view = Scaling::Letterbox(out, frameSize, settings.integerScale);
    const auto [x, y] = Scaling::ToFrame(view, window, out, frameSize, {wx, wy});
    if (x != lastX || y != lastY) {
        lastX = x;
        lastY = y;
        Post(InputEvent::MouseMove, 0, x, y);
    }
}

void Handle(const SDL_Event& event) {
    if (event.type == wakeEvent) {
        Serve();
        return;
    }
    switch (event.type) {
    case SDL_QUIT:
        RequestClose();
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            RequestClose();
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            for (const std::uint8_t code : held.ReleaseAll()) {
                Post(InputEvent::KeyUp, code);
            }
            hearing.Clear();
            if (focused) {
                focused = false;
                Post(InputEvent::FocusLost);
            }
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && !focused) {
            focused = true;
            Post(InputEvent::FocusGained);
        } else if ((event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) &&
                   texture != nullptr) {
            Repaint();
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const bool down = event.type == SDL_KEYDOWN;
        // The Return of Alt+Return stays the window's when Alt goes up first.
        const SDL_Keycode sym = event.key.keysym.sym;
        if (down ? Keys::FullscreenToggle(sym, event.key.keysym.mod) : toggling.erase(sym) > 0) {
            if (down && toggling.insert(sym).second && sdlWindow != nullptr) {
                ToggleFullscreen();
            }
            break;
        }
        if (const auto code = Keys::MapKey(event.key.keysym.sym, event.key.keysym.mod, down)) {
            // Every press is heard, auto-repeats too; a release only once
            // no controller holds the same key.
            if (down) {
                if (const auto heard = hearing.Down(sym, *code)) {
                    held.Press(*heard);
                    Post(InputEvent::KeyDown, *heard);
                }
            } else if (const auto heard = hearing.Up(sym, *code); held.Lift(heard)) {
                Post(InputEvent::KeyUp, heard);
            }
        }
        break;
    }
    case SDL_CONTROLLERDEVICEADDED:
        PadAdded(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        PadRemoved(event.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        PostKeys(Pad::Button(held, event.cbutton.which,
                             static_cast<SDL_GameControllerButton>(event.cbutton.button),
                             event.type == SDL_CONTROLLERBUTTONDOWN));
        break;
    case SDL_CONTROLLERAXISMOTION:
        PostKeys(Pad::Axis(held, event.caxis.which,
                           static_cast<SDL_GameControllerAxis>(event.caxis.axis),
                           event.caxis.value));
        break;
    case SDL_MOUSEMOTION:
        MoveTo(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) {
            MoveTo(event.button.x, event.button.y);
            Post(event.type == SDL_MOUSEBUTTONDOWN ? InputEvent::MouseDown : InputEvent::MouseUp,
                 event.button.button == SDL_BUTTON_LEFT ? 0 : 1);
        }
        break;
    default:
        break;
    }
}

// Game thread: hands a request over and waits until it is served.
template <typename Fill, typename Done> void Ask(Fill fill, Done done) {
    std::unique_lock guard(lock);
    fill();
    Wake();
    served.wait(guard, done);
}

} // namespace

void Configure(const Settings& chosen) {
    settings = chosen;
}

bool Start(std::string& error) {
#if defined(__linux__)
    // Asking SDL anyway only adds its drivers' complaints to the one line we print.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("SDL_VIDEODRIVER") == nullptr) {
        error = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return false;
    }
#endif
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return false;
    }
    // Without controllers the game is played from the keyboard as ever.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::cerr << "morvek: no game controllers: " << SDL_GetError() << '\n';
    }
    // Without a display SDL falls back to drivers that show nothing; a game
    // nobody can see or close is no window at all, unless asked for by name.
    const std::string driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && std::getenv("SDL_VIDEODRIVER") == nullptr) {
        error = "only SDL's " + driver + " video driver is available";
        SDL_Quit();
        return false;
    }
    windowThread = std::this_thread::get_id();
    X11Watch::Watch(DisplayLost);
    // Sharp pixels at any size that is not smaller than the frame.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    wakeEvent = SDL_RegisterEvents(1);
    if (wakeEvent == static_cast<std::uint32_t>(-1)) {
        error = SDL_GetError();
        SDL_Quit();
        return false;
    }
    running.store(true);
    return true;
}

void Loop() {
    for (;;) {
        SDL_Event event;
        // A note up wakes the loop when its time is over, to take it away.
        const auto left = NoteLeft();
        if (left) {
            if (SDL_WaitEventTimeout(
                    &event, static_cast<int>(std::min<std::uint64_t>(*left, 1000)) + 1) != 0) {
                Handle(event);
            }
        } else if (noteOnScreen && texture != nullptr) {
            Repaint();
        } else if (SDL_WaitEvent(&event) != 0) {
            Handle(event);
        }
    }
}

bool Running() {
    return running.load();
}

bool Open(const std::string& title, std::uint32_t width, std::uint32_t height) {
    if (!Running()) {
        return false;
    }
    bool opened = false;
    Ask(
        [&] {
            asked.open = true;
            asked.text = title;
            asked.width = width;
            asked.height = height;
        },
        [&] {
            opened = asked.opened;
            return !asked.open;
        });
    return opened;
}

void Close() {
    if (Running()) {
        Ask([] { asked.close = true; }, [] { return !asked.close; });
    }
}

void SetTitle(const std::string& title) {
    if (Running()) {
        Ask(
            [&] {
                asked.title = true;
                asked.text = title;
            },
            [] { return !asked.title; });
    }
}

void Present() {
    // A wake-up lost to a full event queue must not stop every later frame.
    if (Running() && !presentAsked.exchange(true) && !Wake()) {
        presentAsked.store(false);
    }
}

void ShowNote(std::string_view text) {
    if (!Running()) {
        return;
    }
    std::lock_guard guard(lock);
    note.Show(text, SDL_GetTicks64());
    noteAsked = true;
    Wake();
}

void Quit(int code) {
    if (displayLost.load()) {
        std::fflush(nullptr);
        std::_Exit(LostCode(code));
    }
    std::unique_lock guard(lock);
    asked.quit = true;
    asked.quitCode = code;
    Wake();
    served.wait(guard, [] { return false; }); // the main thread ends the process
    std::abort();
}

} // namespace Display::Host
