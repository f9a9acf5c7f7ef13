// The desktop icon: the hero on a fiery disc, and a PNG writer for it
// (desktops want PNG; ours is small enough to go uncompressed).
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Art {

constexpr int kIconSize = 64;

Canvas drawIcon();
// RGBA PNG, transparent wherever nothing was painted: its bytes, or the file.
std::vector<std::uint8_t> pngBytes(const Canvas& c);
bool writePng(const std::string& path, const Canvas& c);

} // namespace Art
