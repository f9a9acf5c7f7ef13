#include "display/PixelMemory.h"

#include "platform/System.h"

#include <algorithm>
#include <new>

namespace Display {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kBlock = 8 * kLargePage;
constexpr std::size_t kLine = 64; // each picture starts on a cache line

// Smaller buffers would waste most of a large page.
bool Large(std::size_t bytes) {
    return bytes >= kLargePage / 2;
}

std::size_t WholePages(std::size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

struct Block {
    std::size_t size = 0;
    std::byte* start = nullptr;
    std::size_t used = 0;

    explicit Block(std::size_t bytes)
        : size(std::max(kBlock, WholePages(bytes))),
          start(static_cast<std::byte*>(AllocateLarge(size))) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() { FreeLarge(start, size); }
};

// The block new pictures go into; older ones live on in their pictures.
std::shared_ptr<Block> current;

} // namespace

void* AllocateLarge(std::size_t bytes) {
    if (!Large(bytes)) {
        return ::operator new(bytes);
    }
    void* memory = ::operator new (WholePages(bytes), std::align_val_t{kLargePage});
    System::PreferLargePages(memory, WholePages(bytes));
    return memory;
}

void FreeLarge(void* memory, std::size_t bytes) noexcept {
    if (!Large(bytes)) {
        ::operator delete(memory);
    } else {
        ::operator delete (memory, std::align_val_t{kLargePage});
    }
}

std::shared_ptr<std::uint32_t[]> NewPixels(std::size_t count) {
    const std::size_t bytes = (count * sizeof(std::uint32_t) + kLine - 1) / kLine * kLine;
    if (!current || current->size - current->used < bytes) {
        current = std::make_shared<Block>(bytes);
    }
    auto* pixels = reinterpret_cast<std::uint32_t*>(current->start + current->used);
    current->used += bytes;
    // Shares the block's ownership, points at the picture's own pixels.
    return std::shared_ptr<std::uint32_t[]>(current, pixels);
}

} // namespace Display
