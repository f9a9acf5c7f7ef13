// Memory for pictures' pixels, handed out from large blocks. A start fills
// tens of megabytes with pictures; in large blocks the system can back them
// with large pages, and a fresh page costs about as much to touch as reading
// a page of a picture file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Wimdows {

// Room for `count` pixels, left uninitialised: the caller writes each one.
// Its block is given back once every picture in it is gone.
std::shared_ptr<std::uint32_t[]> NewPixels(std::size_t count);

} // namespace Wimdows
