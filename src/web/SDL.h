// The little of SDL the game uses beyond its window, for the page: reading
// uncompressed BMP pictures (what our generator writes) into 32-bit pixels.
// The browser build has no SDL; this header stands in for <SDL.h> there.
#pragma once

#include <cstdint>

struct SDL_Surface {
    int w = 0, h = 0;
    int pitch = 0;          // bytes a row
    void* pixels = nullptr; // 0x00RRGGBB, top row first
};

constexpr std::uint32_t SDL_PIXELFORMAT_RGB888 = 0x16161804;
constexpr std::uint32_t SDL_PIXELFORMAT_ARGB8888 = 0x16362004;

// A file's bytes in memory, for SDL_LoadBMP_RW, which always frees it here.
struct SDL_RWops;
SDL_RWops* SDL_RWFromConstMem(const void* mem, int size);

// Null for a missing, damaged or unsupported file (only 24- and 32-bit
// uncompressed pictures are read).
SDL_Surface* SDL_LoadBMP(const char* file);
SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* src, int freesrc);
// A copy: every surface already holds 0x00RRGGBB pixels.
SDL_Surface* SDL_ConvertSurfaceFormat(const SDL_Surface* src, std::uint32_t format,
                                      std::uint32_t flags);
void SDL_FreeSurface(SDL_Surface* surface);
inline int SDL_LockSurface(SDL_Surface*) {
    return 0;
}
inline void SDL_UnlockSurface(SDL_Surface*) {}
const char* SDL_GetError();
