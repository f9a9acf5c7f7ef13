// The options screen.
#pragma once

namespace Procedures {

void MenuOptions();

} // namespace Procedures
