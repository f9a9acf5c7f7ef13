// Opening, closing and naming the window. Headless runs keep the same
// states and back buffer; only the SDL side is skipped.
#include "display/Host.h"
#include "display/Layer.h"
#include "display/Machinery.h"
#include "display/Run.h"
#include "display/Sync.h"

namespace Display {

WinStruct window;
bool buffering = false;
PixelBuffer backbuffer;

void Exchange(WindowState& other) {
    std::swap(window, other.window);
    std::swap(buffering, other.buffering);
    std::swap(backbuffer, other.backbuffer);
}

namespace {

// Text arguments end at the first NUL, as the game's character arrays do.
std::string UpToNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

void Teardown() {
    window = WinStruct{};
    buffering = false;
    backbuffer.clear();
    backbuffer.shrink_to_fit();
    DropDrawn();
    ClearInput();
    FreeBitmaps();
}

} // namespace

void Window(std::string_view title, std::uint32_t width, std::uint32_t height) {
    if (window.state == STATE_ACTIVE) {
        KillWindow();
    }
    window.title = UpToNul(title);
    window.xlen = width;
    window.ylen = height;
    buffering = false;
    ClearInput();
    DropDrawn();
    ClearClip();
    backbuffer.assign(static_cast<std::size_t>(width) * height, 0);
    OpenPresented(width, height);
    if (!Run::Headless() && !Host::Open(window.title, width, height)) {
        // Running on blind would leave a program nobody can see or close.
        Teardown();
        Run::End(3);
    }
    window.state = STATE_ACTIVE;
}

void KillWindow() {
    if (window.state == STATE_ACTIVE && !Run::Headless()) {
        Host::Close();
    }
    Teardown();
}

void SetTitle(std::string_view title) {
    if (window.state != STATE_ACTIVE) {
        return;
    }
    window.title = UpToNul(title);
    if (!Run::Headless()) {
        Host::SetTitle(window.title);
    }
}

} // namespace Display

namespace Display::Run {

std::string Title() {
    return window.title;
}

bool WindowOpen() {
    return window.state == STATE_ACTIVE;
}

void DropWindow() {
    Teardown();
}

} // namespace Display::Run
