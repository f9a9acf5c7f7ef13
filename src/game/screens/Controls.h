// The keys of play, reached from the options.
#pragma once

namespace Procedures {

void MenuControls();

} // namespace Procedures
