// The game's sound: an audio device fed by the mixer, and the director
// listening to the world once per presented frame.
#pragma once

#include <functional>

namespace Sound {

// Opens the audio device and hooks the director to the presented frames.
// Windowed runs only: a headless run never opens audio and returns false.
// When no device can be opened the game plays on silently, with one line
// on stderr.
bool Start(bool muted);
// Whether the device is open and playing.
bool Opened();
// M in play and menus; also reachable for tests.
bool Muted();
void SetMuted(bool muted);
// Called on the game thread when M has switched the sound.
void OnMuteSwitched(std::function<void(bool muted)> listener);

} // namespace Sound
