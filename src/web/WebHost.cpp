// The window in a web page: the frame goes onto the page's canvas, keys,
// mouse and focus come from the browser's events. The game runs on the
// page's only thread, a few steps an animation frame (host/PageLoop.cpp);
// between frames the browser runs these callbacks, which post their input.
#include "display/Bindings.h"
#include "display/Font.h"
#include "display/Host.h"
#include "display/Note.h"
#include "display/Run.h"
#include "display/Scaling.h"
#include "display/Sync.h"
#include "web/WebKeys.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace Display::Host {

namespace {

using Run::InputEvent;

constexpr const char* kCanvas = "#canvas";

bool running = false;
Settings settings;
Scaling::Size frameSize;
std::uint64_t shownSerial = 0;
std::vector<std::uint8_t> rgba; // the changed rectangle, as the canvas wants it
Keys::HeldKeys held;
std::int32_t lastX = -1, lastY = -1;
bool focused = true;
Bindings::Hearing<std::uint8_t> hearing;

using Run::Post;

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const auto code = Web::MapKey(e->keyCode, e->altKey != 0, down);
    if (!code) {
        return EM_FALSE; // the browser's own: F5, F11, Alt+...
    }
    if (down) {
        if (const auto heard = hearing.Down(*code, *code)) {
            held.Press(*heard);
            Post(InputEvent::KeyDown, *heard);
        }
    } else if (const auto heard = hearing.Up(*code, *code); held.Lift(heard)) {
        Post(InputEvent::KeyUp, heard);
    }
    // Arrows and Space must not scroll the page. The page itself keeps the
    // browser's shortcuts (Ctrl+P, F5) from a game in play, and leaves them
    // to the browser on the menus.
    return e->ctrlKey != 0 || e->metaKey != 0 ? EM_FALSE : EM_TRUE;
}

// Positions arrive in CSS pixels of the canvas element, which fills the page;
// the frame sits letterboxed in it as the stylesheet's object-fit puts it.
void MoveTo(std::int32_t cx, std::int32_t cy) {
    double w = 0, h = 0;
    emscripten_get_element_css_size(kCanvas, &w, &h);
    const Scaling::Size box{static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
    const auto view = Scaling::Letterbox(box, frameSize, false);
    const auto [x, y] = Scaling::ToFrame(view, box, box, frameSize, {cx, cy});
    if (x != lastX || y != lastY) {
        lastX = x;
        lastY = y;
        Post(InputEvent::MouseMove, 0, x, y);
    }
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
    MoveTo(static_cast<std::int32_t>(e->targetX), static_cast<std::int32_t>(e->targetY));
    if (type != EMSCRIPTEN_EVENT_MOUSEMOVE && (e->button == 0 || e->button == 2)) {
        Post(type == EMSCRIPTEN_EVENT_MOUSEDOWN ? InputEvent::MouseDown : InputEvent::MouseUp,
             e->button == 0 ? 0 : 1);
    }
    return EM_TRUE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void*) {
    if (type == EMSCRIPTEN_EVENT_BLUR) {
        for (const std::uint8_t code : held.ReleaseAll()) {
            Post(InputEvent::KeyUp, code);
        }
        hearing.Clear();
        if (focused) {
            focused = false;
            Post(InputEvent::FocusLost);
        }
    } else if (!focused) {
        focused = true;
        Post(InputEvent::FocusGained);
    }
    return EM_FALSE;
}

} // namespace

void Configure(const Settings& chosen) {
    settings = chosen;
}

bool Start(std::string&) {
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, OnKey);
    emscripten_set_mousemove_callback(kCanvas, nullptr, EM_FALSE, OnMouse);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_FALSE, OnMouse);
    emscripten_set_mouseup_callback(kCanvas, nullptr, EM_FALSE, OnMouse);
    emscripten_set_blur_callback(page, nullptr, EM_FALSE, OnFocus);
    emscripten_set_focus_callback(page, nullptr, EM_FALSE, OnFocus);
    running = true;
    return true;
}

void SetServeHook(std::function<void()>) {
    // Never called: the page's loop does the host's own work between frames.
}

void Serve(std::optional<std::uint32_t>, const std::function<bool()>&) {
    // The browser's events come between animation frames; the page's loop
    // only waits for what is over by then.
}

bool Running() {
    return running;
}

bool Open(const std::string& title, std::uint32_t width, std::uint32_t height) {
    frameSize = {static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    emscripten_set_canvas_element_size(kCanvas, frameSize.w, frameSize.h);
    SetTitle(title);
    shownSerial = 0;
    lastX = lastY = -1;
    return true;
}

void Close() {
    held.ReleaseAll();
}

void SetTitle(const std::string& title) {
    EM_ASM({ document.title = UTF8ToString($0); }, title.c_str());
}

void Present() {
    auto& frame = Presented();
    if (frame.serial == shownSerial || frame.changed.Empty()) {
        return;
    }
    shownSerial = frame.serial;
    const PixelRect r = frame.changed;
    frame.changed = {};
    const auto w = static_cast<std::size_t>(r.x1 - r.x0), h = static_cast<std::size_t>(r.y1 - r.y0);
    rgba.resize(w * h * 4);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint32_t* from =
            frame.pixels.data() + (static_cast<std::size_t>(r.y0) + y) * frame.width + r.x0;
        std::uint8_t* to = rgba.data() + y * w * 4;
        for (std::size_t x = 0; x < w; ++x, to += 4) {
            to[0] = static_cast<std::uint8_t>(from[x] >> 16);
            to[1] = static_cast<std::uint8_t>(from[x] >> 8);
            to[2] = static_cast<std::uint8_t>(from[x]);
            to[3] = 255;
        }
    }
    EM_ASM(
        {
            const canvas = Module['canvas'];
            if (Module['onFrame']) {
                Module['onFrame']();
            }
            const ctx = canvas.getContext('2d');
            const pixels = new Uint8ClampedArray(HEAPU8.buffer, $0, $1 * $2 * 4);
            ctx.putImageData(new ImageData(pixels, $1, $2), $3, $4);
        },
        rgba.data(), w, h, r.x0, r.y0);
}

// As the window has it: low in the frame, letters of three frame pixels to a
// font pixel on a dimmed box. The page lays it on a canvas of its own over
// the game's, so no frame ever holds it.
// The page has no attract demo: it is never idle.
std::uint64_t IdleMs() {
    return 0;
}
void Claim(std::function<void(const Taken&)>, std::string) {}
void Unclaim() {}

void ShowNote(std::string_view text) {
    constexpr int kPx = 3, kPad = 3 * kPx;
    constexpr std::uint8_t kDimmed = 176;
    const int boxW = static_cast<int>(text.size()) * Font::kAdvance * kPx + 2 * kPad;
    const int boxH = Font::kCellHeight * kPx + kPad;
    std::vector<std::uint8_t> box(static_cast<std::size_t>(boxW * boxH) * 4, 0);
    for (std::size_t at = 3; at < box.size(); at += 4) {
        box[at] = kDimmed;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto& glyph = Font::GlyphOf(0, static_cast<unsigned char>(text[i]));
        for (int dy = 0; dy < Font::kCellHeight * kPx; ++dy) {
            const auto bits = glyph[static_cast<std::size_t>(dy / kPx)];
            for (int dx = 0; dx < Font::kCellWidth * kPx; ++dx) {
                const int x = kPad + static_cast<int>(i) * Font::kAdvance * kPx + dx;
                if ((bits & (0x80u >> (dx / kPx))) != 0 && x < boxW) {
                    const auto at = static_cast<std::size_t>((kPad + dy) * boxW + x) * 4;
                    box[at] = box[at + 1] = box[at + 2] = box[at + 3] = 255;
                }
            }
        }
    }
    const int left = (frameSize.w - boxW) / 2;
    const int top = frameSize.h - Font::kCellHeight * kPx - 4 * kPad - kPad;
    EM_ASM(
        {
            if (Module['onNote']) {
                Module['onNote'](
                    UTF8ToString($0),
                    new ImageData(new Uint8ClampedArray(HEAPU8.slice($1, $1 + $2 * $3 * 4).buffer),
                                  $2, $3),
                    $4, $5, $6);
            }
        },
        std::string(text).c_str(), box.data(), boxW, boxH, left, top,
        static_cast<int>(Note::kShownMs));
}

void Quit(int code) {
    EM_ASM(
        {
            if (Module['onGameEnded']) {
                Module['onGameEnded']($0);
            }
        },
        code);
    std::exit(code);
}

} // namespace Display::Host
