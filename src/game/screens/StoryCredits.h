// The story and credits screens.
#pragma once

namespace Morvek {

void DrawStory();
void DrawCredits();

} // namespace Morvek
