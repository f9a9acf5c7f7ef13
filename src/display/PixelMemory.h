// Memory for pixels: pictures' and the back buffer's. A start fills tens of
// megabytes with them; the system may back large blocks with large pages,
// and fresh memory touched page by page costs about as much as reading the
// picture files that fill it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Display {

// Room for `count` pixels, left uninitialised: the caller writes each one.
// Pictures share blocks; a block is given back once every picture in it is gone.
std::shared_ptr<std::uint32_t[]> NewPixels(std::size_t count);

// Memory for a buffer of `bytes`, in whole large pages from a large-page
// boundary when it is big enough to fill one. FreeLarge takes the same size.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* memory, std::size_t bytes) noexcept;

template <typename T> struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U> LargePageAllocator(const LargePageAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
};

// A buffer as large as the window: the back buffer and the presented frame.
using PixelBuffer = std::vector<std::uint32_t, LargePageAllocator<std::uint32_t>>;

} // namespace Display
