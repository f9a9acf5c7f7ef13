// The story and credits screens.
#pragma once

namespace Morvek {

void Story();
void Credit();

} // namespace Morvek
