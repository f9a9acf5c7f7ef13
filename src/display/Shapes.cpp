// Placeholder until the shapes and text unit lands.
#include "display/Layer.h"

namespace Wimdows {

void Rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint32_t, bool) {}
void SetFont(std::uint32_t, std::uint32_t) {}
void Text(std::string_view, std::int32_t, std::int32_t) {}
void TextCard(std::uint32_t, std::int32_t, std::int32_t) {}
void TextInt(std::int32_t, std::int32_t, std::int32_t) {}
void GetTextSize(std::string_view, std::uint32_t, std::uint32_t& w, std::uint32_t& h) { w = h = 0; }
std::int32_t intlen(std::int32_t) { return 1; }
void Int2Char(char* chp, std::int32_t) { chp[0] = 0; }

} // namespace Wimdows
