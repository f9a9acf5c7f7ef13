// Placeholder until the window unit lands.
#include "display/Layer.h"
#include "display/Run.h"

#include <cstdlib>

namespace Wimdows {

WinStruct window;
bool buffering = false;
std::vector<std::uint32_t> backbuffer;

void Window(std::string_view, std::uint32_t, std::uint32_t) {}
void KillWindow() {}
void SetTitle(std::string_view) {}
bool KeyDown(std::uint32_t) { return false; }
std::uint32_t GetKey() { return 0; }
void FlushKeys() {}
void MousePos(std::int32_t& x, std::int32_t& y) { x = y = 0; }
bool MouseLeft() { return false; }
void Sleep(std::uint32_t) {}
void SetBuffering(bool) {}
void UpdateWindow() {}
void DrawnRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}

} // namespace Wimdows

namespace Wimdows::Run {

void SetHeadless(bool) {}
bool Headless() { return true; }
std::uint64_t ClockMs() { return 0; }
bool LoadScript(const std::string&, std::string&) { return true; }
bool ParseScript(const std::string&, const std::string&, std::vector<InputEvent>&, std::string&) {
    return true;
}
bool SetRecord(const std::string&) { return true; }
void SetStateWriter(StateWriter) {}
void SetEndHandler(std::function<void()>) {}
void End(int code) { std::exit(code); }
void Apply(const InputEvent&) {}
bool WriteShot(const std::string&) { return true; }
void Reset() {}

} // namespace Wimdows::Run
