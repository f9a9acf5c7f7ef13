// Showing the back buffer. UpdateWindow hands over only what was drawn since
// the last one, so a pass that drew nothing costs nothing.
#include "display/Host.h"
#include "display/Layer.h"
#include "display/Machinery.h"
#include "display/Sync.h"

#include <algorithm>
#include <chrono>

namespace Display {

namespace {

PresentedFrame presented;
PixelRect drawn; // drawn since the last UpdateWindow
std::function<void()> frameHook;
bool keepFrames = true;
bool unshown = false;
std::chrono::steady_clock::time_point shownAt{};

// In fast forward a frame is shown this often at most, twenty a second:
// enough to follow, while showing more would slow the run down.
constexpr auto kFastFrame = std::chrono::milliseconds(50);

} // namespace

void Exchange(FrameState& other) {
    std::swap(presented, other.presented);
    std::swap(drawn, other.drawn);
    std::swap(frameHook, other.frameHook);
    std::swap(keepFrames, other.keepFrames);
    std::swap(unshown, other.unshown);
    std::swap(shownAt, other.shownAt);
}

void PixelRect::Add(const PixelRect& r) {
    if (r.Empty()) {
        return;
    }
    if (Empty()) {
        *this = r;
        return;
    }
    x0 = std::min(x0, r.x0);
    y0 = std::min(y0, r.y0);
    x1 = std::max(x1, r.x1);
    y1 = std::max(y1, r.y1);
}

PresentedFrame& Presented() {
    return presented;
}

void OpenPresented(std::uint32_t width, std::uint32_t height) {
    presented.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    presented.width = width;
    presented.height = height;
    presented.changed = {0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    ++presented.serial;
}

void DropDrawn() {
    drawn = {};
}

void DrawnRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    if (window.state != STATE_ACTIVE) {
        return;
    }
    const auto w = static_cast<std::int32_t>(window.xlen);
    const auto h = static_cast<std::int32_t>(window.ylen);
    drawn.Add(
        {std::clamp(x0, 0, w), std::clamp(y0, 0, h), std::clamp(x1, 0, w), std::clamp(y1, 0, h)});
    if (!buffering) {
        UpdateWindow();
    }
}

void CallFrameHook() {
    if (window.state == STATE_ACTIVE && frameHook) {
        frameHook();
    }
}

// Whether this UpdateWindow shows its frame: always, but in fast forward only
// every kFastFrame. The sound hears the frames shown.
bool ShowsFrame() {
    if (!Run::FastForward()) {
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - shownAt < kFastFrame) {
        return false;
    }
    shownAt = now;
    return true;
}

// The back buffer's drawn part into the presented frame, which a `shot`
// reads whether it is shown or not; true when that changed it.
bool TakeDrawn() {
    bool changed = false;
    if (presented.pixels.size() == backbuffer.size()) {
        const auto width = static_cast<std::size_t>(window.xlen);
        for (auto y = static_cast<std::size_t>(drawn.y0); y < static_cast<std::size_t>(drawn.y1);
             ++y) {
            const auto from = backbuffer.begin() + static_cast<std::ptrdiff_t>(y * width);
            const auto to = presented.pixels.begin() + static_cast<std::ptrdiff_t>(y * width);
            // Menus redraw the same frames every pass; an unchanged row costs no upload.
            if (!std::equal(from + drawn.x0, from + drawn.x1, to + drawn.x0)) {
                std::copy(from + drawn.x0, from + drawn.x1, to + drawn.x0);
                changed = true;
            }
        }
        if (changed) {
            presented.changed.Add(drawn);
            ++presented.serial;
        }
    }
    drawn = {};
    return changed;
}

void UpdateWindow() {
    const bool shows = ShowsFrame();
    if (shows) {
        CallFrameHook();
    }
    if (window.state != STATE_ACTIVE) {
        return;
    }
    if (!drawn.Empty()) {
        if (!keepFrames && Run::Headless()) {
            drawn = {};
            return;
        }
        unshown = TakeDrawn() || unshown;
    }
    if (unshown && shows && !Run::Headless()) {
        unshown = false;
        Host::Present();
    }
}

void SetBuffering(bool state) {
    if (window.state != STATE_ACTIVE) {
        return;
    }
    if (buffering && !state) {
        UpdateWindow();
    }
    buffering = state;
}

} // namespace Display

namespace Display::Run {

void SetFrameHook(std::function<void()> hook) {
    frameHook = std::move(hook);
}

void SetKeepFrames(bool keep) {
    keepFrames = keep;
}

} // namespace Display::Run
