#include "display/PixelMemory.h"

#include "platform/System.h"

#include <algorithm>
#include <cstddef>

namespace Wimdows {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kBlock = 8 * kLargePage;
constexpr std::size_t kLine = 64; // each picture starts on a cache line

struct Block {
    std::unique_ptr<std::byte[]> memory; // kLargePage more than `size`, for the alignment
    std::byte* start = nullptr;
    std::size_t size = 0;
    std::size_t used = 0;
};

// The block new pictures go into; older ones live on in their pictures.
std::shared_ptr<Block> current;

std::shared_ptr<Block> NewBlock(std::size_t bytes) {
    auto block = std::make_shared<Block>();
    block->size = std::max(kBlock, (bytes + kLargePage - 1) / kLargePage * kLargePage);
    block->memory = std::make_unique_for_overwrite<std::byte[]>(block->size + kLargePage);
    void* start = block->memory.get();
    std::size_t room = block->size + kLargePage;
    block->start = static_cast<std::byte*>(std::align(kLargePage, block->size, start, room));
    System::PreferLargePages(block->start, block->size);
    return block;
}

} // namespace

std::shared_ptr<std::uint32_t[]> NewPixels(std::size_t count) {
    const std::size_t bytes = (count * sizeof(std::uint32_t) + kLine - 1) / kLine * kLine;
    if (!current || current->size - current->used < bytes) {
        current = NewBlock(bytes);
    }
    auto* pixels = reinterpret_cast<std::uint32_t*>(current->start + current->used);
    current->used += bytes;
    // Shares the block's ownership, points at the picture's own pixels.
    return std::shared_ptr<std::uint32_t[]>(current, pixels);
}

} // namespace Wimdows
