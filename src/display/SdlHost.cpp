// The window on SDL, on the program's one thread: the game's waits serve
// the window's events (Serve), so the window answers while the game waits
// and nothing spins.
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
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace Display::Host {

namespace {

using Run::InputEvent;

std::atomic<bool> running{false};
std::atomic<bool> displayLost{false};
std::mutex noteLock;    // the sound's device may ask for a note from its own thread
Note note;              // guarded by noteLock
bool noteAsked = false; // guarded by noteLock: a new note waits to be shown

Settings settings; // written before Start only

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
bool showWhole = false;    // the next frame shown is uploaded whole

// The host's hold on the input (the attract demo, the replays): what the
// player does goes to `claimer` and reaches no game, nor do the releases of
// what went down meanwhile; the band says so.
std::uint64_t lastInput = 0; // SDL ticks of the player's last input
std::function<void(const Taken&)> claimer;
std::string band;
std::set<SDL_Keycode> claimedKeys;
// The host's own work between events (SetServeHook).
std::function<void()> serveHook;
std::set<SDL_Scancode> heldBefore;         // keys down as the claim began
std::set<int> claimedButtons;              // mouse buttons
std::set<std::uint64_t> claimedPadButtons; // device << 8 | button

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
    std::lock_guard guard(noteLock);
    return std::string(note.Text(SDL_GetTicks64()));
}

std::optional<std::uint64_t> NoteLeft() {
    std::lock_guard guard(noteLock);
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

// The demo's band: across the game's view just under the HUD, clear of the
// keys a new game lists low down; its letters twice the frame's pixels, an
// em dash drawn as a bar (the font has no glyph for it).
void DrawBand(const Scaling::Viewport& view, std::string_view text) {
    const int px = std::max(1, 2 * view.w / std::max(frameSize.w, 1));
    const int height = (Font::kCellHeight + 8) * px;
    constexpr int kTop = 84; // in the frame's pixels: under the HUD
    const SDL_Rect box{view.x, view.y + kTop * view.h / std::max(frameSize.h, 1), view.w, height};
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 160);
    SDL_RenderFillRect(renderer, &box);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, 255, 208, 96, 255);
    constexpr std::string_view kDash = "\xE2\x80\x94";
    std::size_t cells = 0;
    for (std::size_t i = 0; i < text.size(); i += text.substr(i, 3) == kDash ? 3 : 1) {
        ++cells;
    }
    int x = view.x + (view.w - static_cast<int>(cells) * Font::kAdvance * px) / 2;
    const int y = box.y + 4 * px;
    std::vector<SDL_Rect> dots;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 3) == kDash) {
            dots.push_back({x, y + Font::kCellHeight / 2 * px, Font::kAdvance * px, 2 * px});
            i += 3;
        } else {
            const auto& glyph = Font::GlyphOf(0, static_cast<unsigned char>(text[i]));
            for (int row = 0; row < Font::kCellHeight; ++row) {
                for (int col = 0; col < Font::kCellWidth; ++col) {
                    if ((glyph[static_cast<std::size_t>(row)] & (0x80u >> col)) != 0) {
                        dots.push_back({x + col * px, y + row * px, px, px});
                    }
                }
            }
            ++i;
        }
        x += Font::kAdvance * px;
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
    if (!band.empty()) {
        DrawBand(view, band);
    }
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
    if (texture == nullptr) {
        return;
    }
    {
        auto& frame = Presented();
        if (frame.serial == shownSerial && !showWhole) {
            return;
        }
        shownSerial = frame.serial;
        const PixelRect r =
            showWhole ? PixelRect{0, 0, static_cast<std::int32_t>(frame.width),
                                  static_cast<std::int32_t>(frame.pixels.size() / frame.width)}
                      : frame.changed;
        showWhole = false;
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
// must not get control back. The run ends here as it ends on the close box,
// its recording complete.
[[noreturn]] void DisplayLost() {
    if (!displayLost.exchange(true)) {
        std::cerr << "morvek: the display went away; the game ends as at the close box\n";
    }
    InputEvent close;
    close.kind = InputEvent::Close;
    Run::Apply(close);
    Run::End(0);
}

[[noreturn]] void Exit(int code) {
    DestroyWindow();
    SDL_Quit();
    std::fflush(nullptr);
    std::_Exit(code);
}

// A note asked for since the last look goes up at once.
void ShowNoteAsked() {
    bool noted = false;
    {
        std::lock_guard guard(noteLock);
        noted = std::exchange(noteAsked, false);
    }
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

// The frame's pixel under a point of the window, whatever the window's size.
Scaling::Point FramePoint(std::int32_t wx, std::int32_t wy) {
    Scaling::Size window;
    SDL_GetWindowSize(sdlWindow, &window.w, &window.h);
    const auto out = OutputSize();
    const auto view = Scaling::Letterbox(out, frameSize, settings.integerScale);
    return Scaling::ToFrame(view, window, out, frameSize, {wx, wy});
}

// Button events carry a position; a click where the last move did not end
// (a window opened under the mouse) must still land where it happened. The
// game hears frame pixels.
void MoveTo(std::int32_t wx, std::int32_t wy) {
    const auto [x, y] = FramePoint(wx, wy);
    if (x != lastX || y != lastY) {
        lastX = x;
        lastY = y;
        Post(InputEvent::MouseMove, 0, x, y);
    }
}

void Tell(Taken::Kind kind, std::uint32_t code = 0, std::int32_t x = 0, std::int32_t y = 0) {
    claimer(Taken{kind, code, x, y});
}

void TellAt(Taken::Kind kind, std::int32_t wx, std::int32_t wy) {
    const auto [x, y] = FramePoint(wx, wy);
    Tell(kind, 0, x, y);
}

// Input while the host holds it: true when the event is the host's.
bool Claimed(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        if (claimer) {
            Tell(Taken::Kind::Close); // and on to the program's run, which ends
        }
        return false;
    case SDL_WINDOWEVENT:
        if (claimer && event.window.event == SDL_WINDOWEVENT_CLOSE) {
            Tell(Taken::Kind::Close);
        }
        return false;
    case SDL_KEYDOWN: {
        const SDL_Keycode sym = event.key.keysym.sym;
        if (Keys::FullscreenToggle(sym, event.key.keysym.mod)) {
            return false;
        }
        if (!claimer) {
            return claimedKeys.contains(sym); // the repeats of a key taken
        }
        // The repeats of a key held since before the claim (the Return that
        // chose what claims) are no one's: not the claimer's, nor queued for
        // the game to take as a second press.
        if (heldBefore.contains(event.key.keysym.scancode)) {
            return true;
        }
        claimedKeys.insert(sym);
        Tell(Taken::Kind::Key, Keys::MapKey(sym, event.key.keysym.mod, true).value_or(0));
        return true;
    }
    case SDL_KEYUP:
        // ... but its release is the game's, which heard it go down.
        if (heldBefore.erase(event.key.keysym.scancode) > 0) {
            return false;
        }
        return claimedKeys.erase(event.key.keysym.sym) > 0;
    case SDL_MOUSEBUTTONDOWN:
        if (claimer) {
            claimedButtons.insert(event.button.button);
            TellAt(Taken::Kind::Click, event.button.x, event.button.y);
            return true;
        }
        return false;
    case SDL_MOUSEBUTTONUP:
        return claimedButtons.erase(event.button.button) > 0;
    case SDL_MOUSEMOTION:
        if (claimer) {
            TellAt(Taken::Kind::Move, event.motion.x, event.motion.y);
        }
        return static_cast<bool>(claimer);
    case SDL_MOUSEWHEEL:
        if (claimer) {
            const std::int32_t turned =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            Tell(Taken::Kind::Wheel, 0, 0, turned);
        }
        return static_cast<bool>(claimer);
    case SDL_CONTROLLERAXISMOTION:
        return static_cast<bool>(claimer);
    case SDL_CONTROLLERBUTTONDOWN:
        if (claimer) {
            const auto button = static_cast<SDL_GameControllerButton>(event.cbutton.button);
            claimedPadButtons.insert(static_cast<std::uint64_t>(event.cbutton.which) << 8 |
                                     event.cbutton.button);
            Tell(Taken::Kind::Key, Pad::ButtonKey(button).value_or(0));
            return true;
        }
        return false;
    case SDL_CONTROLLERBUTTONUP:
        return claimedPadButtons.erase(static_cast<std::uint64_t>(event.cbutton.which) << 8 |
                                       event.cbutton.button) > 0;
    default:
        return false;
    }
}

bool IsInput(Uint32 type) {
    return type == SDL_KEYDOWN || type == SDL_KEYUP || type == SDL_MOUSEMOTION ||
           type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP ||
           type == SDL_CONTROLLERBUTTONDOWN || type == SDL_CONTROLLERBUTTONUP ||
           type == SDL_CONTROLLERAXISMOTION || type == SDL_MOUSEWHEEL;
}

void Handle(const SDL_Event& event) {
    if (IsInput(event.type)) {
        lastInput = SDL_GetTicks64();
    }
    if (Claimed(event)) {
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
    // SDL_getenv, as SDL reads the name there: on Windows std::getenv misses
    // what SDL_setenv set.
    const std::string driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        error = "only SDL's " + driver + " video driver is available";
        SDL_Quit();
        return false;
    }
    X11Watch::Watch(DisplayLost);
    // Sharp pixels at any size that is not smaller than the frame.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    running.store(true);
    return true;
}

void SetServeHook(std::function<void()> hook) {
    serveHook = std::move(hook);
}

void Serve(std::optional<std::uint32_t> ms, const std::function<bool()>& enough) {
    const std::uint64_t until = ms ? SDL_GetTicks64() + *ms : 0;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            Handle(event);
        }
        ShowNoteAsked();
        if (serveHook) {
            serveHook();
        }
        if (enough()) {
            return;
        }
        const std::uint64_t now = SDL_GetTicks64();
        if (ms && now >= until) {
            return;
        }
        // A note up wakes the wait when its time is over, to take it away.
        std::uint64_t timeout = ms ? until - now : 1000;
        if (const auto left = NoteLeft()) {
            timeout = std::min(timeout, *left + 1);
        } else if (noteOnScreen && texture != nullptr) {
            Repaint();
        }
        if (SDL_WaitEventTimeout(&event,
                                 static_cast<int>(std::min<std::uint64_t>(timeout, 1000))) != 0) {
            Handle(event);
        }
    }
}

bool Running() {
    return running.load();
}

bool Open(const std::string& title, std::uint32_t width, std::uint32_t height) {
    return Running() && CreateWindow(title, width, height);
}

void Close() {
    if (Running()) {
        DestroyWindow();
    }
}

void SetTitle(const std::string& title) {
    if (Running() && sdlWindow != nullptr) {
        SDL_SetWindowTitle(sdlWindow, title.c_str());
    }
}

void Present() {
    if (Running()) {
        Show();
        ShowNoteAsked();
    }
}

std::uint64_t IdleMs() {
    return Running() ? SDL_GetTicks64() - lastInput : 0;
}

void Claim(std::function<void(const Taken&)> taken, std::string text) {
    if (!claimer) {
        int keys = 0;
        const Uint8* down = SDL_GetKeyboardState(&keys);
        for (int k = 0; k < keys; ++k) {
            if (down[k] != 0) {
                heldBefore.insert(static_cast<SDL_Scancode>(k));
            }
        }
    }
    claimer = std::move(taken);
    band = std::move(text);
    showWhole = true;
}

void Unclaim() {
    claimer = nullptr;
    band.clear();
    showWhole = true;
    lastInput = SDL_GetTicks64();
    // The pointer may have moved while the host held it: the game hears
    // where it is now, as one move.
    if (Running() && sdlWindow != nullptr) {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        MoveTo(x, y);
    }
}

void ShowNote(std::string_view text) {
    if (!Running()) {
        return;
    }
    std::lock_guard guard(noteLock);
    note.Show(text, SDL_GetTicks64());
    noteAsked = true;
}

void Quit(int code) {
    if (displayLost.load()) {
        std::fflush(nullptr);
        std::_Exit(LostCode(code));
    }
    Exit(code);
}

} // namespace Display::Host
