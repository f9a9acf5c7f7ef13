// The options screen.
#pragma once

namespace Morvek {

void OptionsScreen();

} // namespace Morvek
