#include "audio/Director.h"
#include "audio/Listen.h"
#include "audio/Mixer.h"
#include "audio/Sound.h"
#include "display/Host.h"
#include "display/Run.h"

#include <SDL.h>

#if defined(__linux__)
#include <dlfcn.h>
#endif

#include <iostream>
#include <memory>
#include <thread>

namespace Sound {

namespace {

constexpr int kRate = 48000;
// About 11 ms a buffer: short enough that a shot sounds with its frame.
constexpr Uint16 kBufferFrames = 512;

std::unique_ptr<Mixer> mixer;
// Renders the tunes after the device opens, so the first menu frame never
// waits for music; declared after the mixer, so it is joined before the
// mixer goes.
std::jthread composer;
Director director;
SDL_AudioDeviceID device = 0;
bool startMuted = false;
std::function<void(bool)> muteSwitched;

#if defined(__linux__)
extern "C" void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// ALSA prints its own lines for a missing card before SDL can tell us; its
// error handler is the one way to quiet it. The library stays loaded (SDL
// shares it), so the handler stays set.
void SilenceAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY);
    if (alsa == nullptr) {
        return;
    }
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto* set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) {
        set(QuietAlsa);
    }
}
#else
void SilenceAlsa() {}
#endif

void Fill(void*, Uint8* stream, int bytes) {
    mixer->Mix({reinterpret_cast<float*>(stream), static_cast<std::size_t>(bytes) / sizeof(float)});
}

// Game thread, inside UpdateWindow: reads the world, posts to the mixer.
void OnFrame() {
    if (Listen(director, *mixer)) {
        // Said on the window only: the game's own frame stays as it was.
        Display::Host::ShowNote(mixer->Muted() ? "SOUND OFF" : "SOUND ON");
        if (muteSwitched) {
            muteSwitched(mixer->Muted());
        }
    }
}

// With no device M can switch nothing; the note says why nothing happens.
void OnSilentFrame() {
    if (director.MutePressed()) {
        Display::Host::ShowNote("NO SOUND");
    }
}

// Our own line says all a player needs; the library's warnings repeat it.
bool NoDevice() {
    std::cerr << "morvek: no sound (" << SDL_GetError() << "); playing on silently\n";
    Display::Run::SetFrameHook(OnSilentFrame);
    return false;
}

} // namespace

bool Start(bool muted) {
    startMuted = muted;
    if (device != 0 || Display::Run::Headless()) {
        return device != 0;
    }
    SDL_LogSetPriority(SDL_LOG_CATEGORY_AUDIO, SDL_LOG_PRIORITY_CRITICAL);
    SilenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return NoDevice();
    }
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_F32SYS;
    want.channels = 1;
    want.samples = kBufferFrames;
    want.callback = Fill;
    SDL_AudioSpec have{};
    // Only the rate may differ: SDL converts anything else for us.
    const SDL_AudioDeviceID id =
        SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (id == 0) {
        const bool none = NoDevice();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return none;
    }
    mixer = std::make_unique<Mixer>(have.freq);
    mixer->SetMuted(muted);
    device = id;
    Display::Run::SetFrameHook(OnFrame);
    SDL_PauseAudioDevice(device, 0);
    composer = std::jthread([rate = have.freq](const std::stop_token& stop) {
        // The first level and the fights are the likeliest to be needed first.
        for (const Tune t : {Tune::Level1, Tune::Boss, Tune::Level2, Tune::Level3}) {
            if (stop.stop_requested()) {
                return;
            }
            mixer->LoadTune(t, Render(t, rate));
        }
    });
    return true;
}

bool Opened() {
    return device != 0;
}

bool Muted() {
    return mixer ? mixer->Muted() : startMuted;
}

void OnMuteSwitched(std::function<void(bool muted)> listener) {
    muteSwitched = std::move(listener);
}

void SetMuted(bool muted) {
    startMuted = muted;
    if (mixer) {
        mixer->SetMuted(muted);
    }
}

} // namespace Sound
