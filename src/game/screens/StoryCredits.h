// The story and credits screens.
#pragma once

namespace Procedures {

void Story();
void Credit();

} // namespace Procedures
