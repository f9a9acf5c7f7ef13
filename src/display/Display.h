// The display and input layer: one window, keyboard and mouse, a table of
// pictures, a software back buffer, rectangles and text. The game sees the
// platform only through these operations.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace Display {

// Window states.
enum WinState : std::uint8_t { STATE_DEAD = 0, STATE_ACTIVE = 1 };

// The size of the client area the game opens.
constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 768;

// --- Window and input -------------------------------------------------------
// Opens the window with a client area of width x height pixels.
void Window(std::string_view title, std::uint32_t width, std::uint32_t height);
void KillWindow();
void SetTitle(std::string_view title);
bool KeyDown(std::uint32_t k);
// The oldest queued key press, taken off the queue; 0 when none is queued.
std::uint32_t TakeKey();
void FlushKeys();
// Whether a key press waits in the queue.
bool KeyQueued();
// Discards the queued presses of key k only; the others keep their order.
void FlushKey(std::uint32_t k);
// Whether the window has the keyboard focus (true headless, false with no window).
bool Focused();
void MousePos(std::int32_t& x, std::int32_t& y);
bool MouseLeft();

// The game's millisecond sleep. It advances the run's virtual clock by
// exactly `ms` and is the point where input reaches the game.
void Sleep(std::uint32_t ms);
// Sleep for a screen that only waits for input and shows nothing that moves:
// headless, the steps in which no scripted input can arrive are skipped, so
// a script's far-off event comes at once and at the very same clock.
void IdleSleep(std::uint32_t ms);

// --- Bitmaps and the back buffer -------------------------------------------
std::uint32_t LoadBitmap(std::string_view file, std::uint32_t width, std::uint32_t height);
void DestroyBitmap(std::uint32_t bitmap);
void DrawBitmap(std::uint32_t bitmap, std::int32_t x, std::int32_t y);
void DrawMaskBitmap(std::uint32_t bitmap, std::uint32_t maskbitmap, std::int32_t x, std::int32_t y);
// The shape a mask lets show, in one colour: a sprite's flash.
void DrawMaskColour(std::uint32_t maskbitmap, std::int32_t x, std::int32_t y, std::uint32_t color);
void SetBuffering(bool state);
void UpdateWindow();
// Limits every drawing operation to the box from (x0, y0) to (x1, y1), both
// included, until ClearClip. Lets a caller skip pixels it knows are covered.
void SetClip(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
void ClearClip();
// Colour of a back-buffer pixel as red + 256 * blue + 65536 * green; 0 outside.
std::uint32_t GetPixel(std::uint32_t x, std::uint32_t y);
// The colour DrawBitmap(bitmap, left, top) would put at window pixel (x, y),
// in the same order; false where the picture doesn't reach or doesn't exist.
bool PictureAt(std::uint32_t bitmap, std::int32_t left, std::int32_t top, std::int32_t x,
               std::int32_t y, std::uint32_t& colour);
// Row y of a picture, its colours as PictureAt gives them, into `colours`
// (resized to the picture's width); false past its last row or for no picture.
bool PictureRow(std::uint32_t bitmap, std::uint32_t y, std::vector<std::uint32_t>& colours);
// Moves on whenever a picture is loaded or released, so what was read from
// the pictures may be kept while it stays the same.
std::uint64_t PicturesVersion();

// --- Shapes and text --------------------------------------------------------
// Colours are red + 256 * blue + 65536 * green throughout.
void Rectangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
               std::uint32_t color, bool fill);
void SetFont(std::uint32_t style, std::uint32_t color);
// `scale` draws every glyph pixel as a square of that many pixels.
void Text(std::string_view text, std::int32_t x, std::int32_t y, std::int32_t scale = 1);
void TextCard(std::uint32_t number, std::int32_t x, std::int32_t y, std::int32_t scale = 1);
void GetTextSize(std::string_view text, std::uint32_t style, std::uint32_t& width,
                 std::uint32_t& height);

// --- Blending ----------------------------------------------------------------
// Mixes the box (both corners included) towards `color`; `alpha` 255 is the
// colour itself, 0 leaves the pixels as they are. A translucent panel or tint.
void Tint(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t color,
          std::uint32_t alpha);
// Runs `paint` limited to the box, then mixes what it drew with what was
// there before: `alpha` 255 keeps the paint, 0 the frame as it was.
void DrawFaded(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
               std::uint32_t alpha, const std::function<void()>& paint);
// Moves the whole back buffer by (dx, dy); the rows and columns it uncovers
// repeat the edge it moved away from, so no stale pixels show.
void ShiftFrame(std::int32_t dx, std::int32_t dy);

// A short note laid over the window for about two seconds, never into the
// frame; nothing headless.
void Notice(std::string_view text);

// A darkened band across the middle of the shown frame with `text` large in
// it, until HideBanner. The back buffer is not touched, so the game's next
// frame and its pixel reads are the same as without it.
void ShowBanner(std::string_view text);
void HideBanner();

} // namespace Display
