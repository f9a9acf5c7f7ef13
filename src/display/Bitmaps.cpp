// Placeholder until the bitmap unit lands.
#include "display/Layer.h"

namespace Wimdows {

std::uint32_t LoadBitmap(std::string_view, std::uint32_t, std::uint32_t) { return 0; }
void DestroyBitmap(std::uint32_t) {}
void DrawBitmap(std::uint32_t, std::int32_t, std::int32_t) {}
void DrawMaskBitmap(std::uint32_t, std::uint32_t, std::int32_t, std::int32_t) {}
std::uint32_t GetPixel(std::uint32_t, std::uint32_t) { return 0; }
void FreeBitmaps() {}
std::uint32_t BitLen() { return 0; }

} // namespace Wimdows
