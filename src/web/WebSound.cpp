// Sound in the page, through Web Audio. The page's audio node asks for each
// block of samples (morvek_mix) between the game's turns: a page has one
// thread, so the tunes are composed one at a time when the page finds a
// moment after the player's first key or click (morvek_compose), and the
// game plays on silent, never waiting, until then.
#include "audio/Director.h"
#include "audio/Listen.h"
#include "audio/Mixer.h"
#include "audio/Sound.h"
#include "display/Host.h"
#include "display/Run.h"

#include <emscripten.h>

#include <array>
#include <memory>
#include <vector>

namespace Sound {

namespace {

// The first level and the fights are the likeliest to be needed first.
constexpr std::array kComposeOrder{Tune::Level1, Tune::Boss, Tune::Level2, Tune::Level3};

std::unique_ptr<Mixer> mixer;
Director director;
int rate = 0;
std::size_t composed = 0;
std::vector<float> block;
bool startMuted = false;
std::function<void(bool)> muteSwitched;

} // namespace

// The mixer renders every effect when made, too long a wait for the page's
// one thread on top of the game's start: it is made just after, once the
// first frame shows, and hears the game from then on. The page plays silent
// until the player's first key or click anyway.
void MakeMixer(void*) {
    mixer = std::make_unique<Mixer>(rate);
    mixer->SetMuted(startMuted);
}

bool Start(bool muted) {
    startMuted = muted;
    if (rate > 0 || Display::Run::Headless()) {
        return rate > 0;
    }
    rate = EM_ASM_INT({ return Module['audioRate'] ? Module['audioRate']() : 0; });
    if (rate <= 0) {
        return false; // no Web Audio: the game plays on silently
    }
    emscripten_async_call(MakeMixer, nullptr, 0);
    Display::Run::SetFrameHook([] {
        if (mixer && Listen(director, *mixer)) {
            Display::Host::ShowNote(mixer->Muted() ? "SOUND OFF" : "SOUND ON");
            if (muteSwitched) {
                muteSwitched(mixer->Muted());
            }
        }
    });
    return true;
}

bool Opened() {
    return mixer != nullptr;
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

// The next `frames` samples, mono, for the page's audio node.
extern "C" EMSCRIPTEN_KEEPALIVE float* morvek_mix(int frames) {
    auto& block = Sound::block;
    block.assign(static_cast<std::size_t>(frames), 0.0f);
    if (Sound::mixer) {
        Sound::mixer->Mix(block);
    }
    return block.data();
}

// Composes one more tune; false once all are there.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_compose() {
    using namespace Sound;
    if (!mixer) {
        return rate > 0 ? 1 : 0; // asked again once the mixer is made
    }
    if (composed >= kComposeOrder.size()) {
        return 0;
    }
    const Tune t = kComposeOrder[composed++];
    mixer->LoadTune(t, Render(t, rate));
    return composed < kComposeOrder.size() ? 1 : 0;
}
