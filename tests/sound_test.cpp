#include "audio/Director.h"
#include "audio/Mixer.h"
#include "audio/Sound.h"
#include "display/Display.h"
#include "display/Run.h"
#include "game/core/World.h"
#include "support/MixFor.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Sound::Effect;
namespace P = Morvek;

constexpr int kRate = 48000;

Effect Nth(std::size_t i) {
    return static_cast<Effect>(i);
}

// Largest magnitude; fails the test on a NaN or infinity.
float Peak(const std::vector<float>& s) {
    float peak = 0;
    for (const float v : s) {
        EXPECT_TRUE(std::isfinite(v));
        peak = std::max(peak, std::abs(v));
    }
    return peak;
}

TEST(SoundEffects, EachIsAudibleBoundedFiniteAndFadesOut) {
    for (std::size_t i = 0; i < Sound::kEffects; ++i) {
        const Effect e = Nth(i);
        SCOPED_TRACE(std::string(Sound::Name(e)));
        const std::vector<float> s = Sound::Render(e, kRate);
        EXPECT_EQ(s.size(), static_cast<std::size_t>(std::ceil(Sound::Seconds(e) * kRate)));
        EXPECT_GT(Sound::Seconds(e), 0.03f);
        EXPECT_LT(Sound::Seconds(e), 2.5f); // a sound must not outlast what it marks
        const float peak = Peak(s);
        EXPECT_LE(peak, 0.7f);
        EXPECT_GT(peak, 0.05f);
        // No click at either end.
        EXPECT_LT(std::abs(s.front()), 0.05f);
        EXPECT_LT(std::abs(s.back()), 0.02f);
    }
}

TEST(SoundEffects, RenderingIsRepeatableAtAnyRate) {
    EXPECT_EQ(Sound::Render(Effect::Explosion, kRate), Sound::Render(Effect::Explosion, kRate));
    const auto slow = Sound::Render(Effect::Fanfare, 22050);
    EXPECT_NEAR(static_cast<float>(slow.size()) / 22050.0f, Sound::Seconds(Effect::Fanfare), 1e-3f);
}

using TestAudio::MixFor;

TEST(SoundMixer, EverythingAtOnceNeverClips) {
    Sound::Mixer mixer(kRate);
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < Sound::kEffects; ++i) {
            mixer.Trigger(Nth(i));
        }
    }
    const float peak = Peak(MixFor(mixer, kRate * 3));
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
}

TEST(SoundMixer, AnEffectPlaysForItsLengthThenSilence) {
    Sound::Mixer mixer(kRate);
    mixer.Trigger(Effect::Pickup);
    const std::size_t length = mixer.Samples(Effect::Pickup).size();
    const auto out = MixFor(mixer, length + 2048);
    std::size_t last = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        last = out[i] != 0.0f ? i : last;
    }
    EXPECT_LT(last, length);
    EXPECT_GT(last, length * 9 / 10);
    // Quiet sounds pass nearly untouched by the limiter: same shape, less level.
    const float ratio = out[length / 4] / mixer.Samples(Effect::Pickup)[length / 4];
    EXPECT_NEAR(ratio, 0.76f, 0.03f);
}

TEST(SoundMixer, MutingSilencesAndForgetsWhatWasPlaying) {
    Sound::Mixer mixer(kRate);
    mixer.Trigger(Effect::FlameBurst);
    mixer.SetWind(1);
    MixFor(mixer, 512);
    mixer.SetMuted(true);
    mixer.SetWind(0); // the storm ends while muted: none of it left to fade
    mixer.Trigger(Effect::Explosion);
    for (const float v : MixFor(mixer, 4096)) {
        ASSERT_EQ(v, 0.0f);
    }
    mixer.SetMuted(false);
    for (const float v : MixFor(mixer, 4096)) {
        ASSERT_EQ(v, 0.0f);
    }
    // A flood of requests is dropped, not queued without end.
    for (int i = 0; i < 1000; ++i) {
        mixer.Trigger(Effect::Hit);
    }
    EXPECT_NE(MixFor(mixer, 512)[100], 0.0f);
}

class SoundDirector : public testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        P::world.mode = P::Mode::Wave;
        EXPECT_TRUE(director.Observe().none()); // first look only learns
    }
    // The effects a change to the world calls for, with the world unchanged
    // otherwise since the last look.
    Sound::Effects After(void (*change)()) {
        change();
        return director.Observe();
    }
    static bool Has(const Sound::Effects& fx, Effect e) { return fx.test(Sound::Index(e)); }
    Sound::Director director;
};

TEST_F(SoundDirector, NamesTheSoundOfEachChange) {
    struct Case {
        const char* what;
        void (*change)();
        Effect expected;
    };
    const Case cases[] = {
        {"dragon's shot", [] { P::world.bullets[4] = {20, 0, 100, 300, 10, true, 0}; },
         Effect::Volley},
        {"bat fire", [] { P::world.bullets[2] = {-15, 0, 800, 300, 5, true, 1}; },
         Effect::EnemyShot},
        {"tornado", [] { P::world.bullets[1] = {-30, 2, 700, 300, 5, true, 10}; }, Effect::Tornado},
        {"falling ice", [] { P::world.bullets[3] = {-15, 15, 700, 100, 5, true, 11}; },
         Effect::IceVolley},
        {"score", [] { P::world.score += 10; }, Effect::Hit},
        {"heavy impact",
         [] {
             P::world.explosions[1] = {0, 1, 60, 369, true};
         },
         Effect::Explosion},
        {"shot impact",
         [] {
             P::world.explosions[2] = {0, 2, 60, 369, true};
         },
         Effect::Spark},
        {"beam", [] { P::world.beamRunning = true; }, Effect::Beam},
        {"shield", [] { P::world.shieldRunning = true; }, Effect::Shield},
        {"pick-up", [] { P::world.items[5][3].textShown = true; }, Effect::Pickup},
        {"life lost", [] { P::world.dragon.lives -= 1; }, Effect::LifeLost},
        {"game over", [] { P::world.mode = P::Mode::GameOver; }, Effect::GameOver},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto fx = After(c.change);
        EXPECT_TRUE(Has(fx, c.expected));
        EXPECT_EQ(fx.count(), 1u);
    }
    // Nothing changed, nothing heard: held beams and flying shots are silent.
    P::world.bullets[4].x += P::world.bullets[4].speedX;
    EXPECT_TRUE(director.Observe().none());
}

TEST_F(SoundDirector, TellsNewShotsFromMovingOnesAndHitsFromNewEnemies) {
    P::world.bullets[7] = {20, 0, 100, 300, 10, true, 0};
    P::world.enemies[3] = {900, 300, 50, 3, 1, 0, 100, true};
    director.Observe();
    // Flown on by its speed, or held still (a wave gliding in): the same shot.
    P::world.bullets[7].x += 20;
    EXPECT_TRUE(director.Observe().none());
    EXPECT_TRUE(director.Observe().none());
    // Freed and taken again between two frames, further back: a new shot.
    P::world.bullets[7].x = 80;
    EXPECT_TRUE(Has(director.Observe(), Effect::Volley));
    // A hit that does not kill.
    P::world.enemies[3].health -= 25;
    EXPECT_TRUE(Has(director.Observe(), Effect::Hit));
    // A new enemy in a freed slot starts with whatever health: no hit.
    P::world.enemies[3] = {900, 300, 50, 12, 12, 0, 40, true};
    EXPECT_FALSE(Has(director.Observe(), Effect::Hit));
    // An explosion slot reused at once still counts.
    P::world.explosions[1] = {3, 2, 10, 10, true};
    director.Observe();
    P::world.explosions[1] = {0, 2, 400, 200, true};
    EXPECT_TRUE(Has(director.Observe(), Effect::Spark));
}

TEST_F(SoundDirector, BossAttacksByLevelAndTheEndsOfAGame) {
    constexpr std::array<Effect, 2> kByLevel{Effect::Breeze, Effect::FlameBurst};
    for (std::uint32_t level = 2; level <= 3; ++level) {
        P::world.level = level;
        P::world.bullets[100] = {0, 0, 595, 300, 5, true, 20};
        EXPECT_TRUE(Has(director.Observe(), kByLevel[level - 2])) << "level " << level;
        P::world.bullets[100].state = false;
        director.Observe();
    }
    // The last life lost: the jingle, not the life-lost sound over it.
    P::world.dragon.lives = 0;
    P::world.mode = P::Mode::GameOver;
    const auto over = director.Observe();
    EXPECT_TRUE(Has(over, Effect::GameOver));
    EXPECT_FALSE(Has(over, Effect::LifeLost));

    // The king slain: the closing fanfare. Cleared away by a lost game: none.
    P::world.mode = P::Mode::Wave;
    P::world.dragon.lives = 2;
    P::world.enemies[1] = {800, 384, 250, 13, 13, 0, 1000, true};
    director.Observe();
    P::world.enemies[1].state = false;
    EXPECT_TRUE(Has(director.Observe(), Effect::Fanfare));
    P::world.enemies[1].state = true;
    director.Observe();
    P::world.enemies[1].state = false;
    P::world.dragon.lives = 0;
    P::world.mode = P::Mode::GameOver;
    EXPECT_FALSE(Has(director.Observe(), Effect::Fanfare));
}

TEST_F(SoundDirector, TheFightsTuneIsTheBossesAndTheFanfareTheKingsAlone) {
    // A hatchling fights beside the king but is no boss of its own.
    P::world.level = 3;
    P::world.enemies[5] = {800, 300, 50, 12, 12, 0, 500, true};
    director.Observe();
    EXPECT_EQ(director.Music(), Sound::Tune::Level3);
    P::world.enemies[5].state = false;
    struct Fight {
        std::uint32_t level, boss;
        bool fanfare;
    };
    for (const Fight f : {Fight{1, 10, false}, Fight{2, 11, false}, Fight{3, 13, true}}) {
        SCOPED_TRACE(f.boss);
        P::world.level = f.level;
        P::world.enemies[1] = {800, 384, 250, f.boss, f.boss, 0, 1000, true};
        director.Observe();
        EXPECT_EQ(director.Music(), Sound::Tune::Boss);
        P::world.enemies[1].state = false;
        EXPECT_EQ(Has(director.Observe(), Effect::Fanfare), f.fanfare);
        EXPECT_EQ(director.Music(), Sound::Tune::None) << "a beaten boss leaves quiet";
    }
}

TEST_F(SoundDirector, TheWindBlowsWithTheFirstBosssStormAndOnlyThen) {
    P::world.level = 1;
    P::world.enemies[1] = {670, 346, 250, 10, 10, 0, 5000, true};
    P::world.dragon.y = 300;
    director.Observe();
    EXPECT_EQ(director.Wind(), 0.0f); // the fight, no storm yet

    P::world.bullets[100] = {0, 0, 595, 320, 0, true, 20};
    const auto fx = director.Observe();
    EXPECT_EQ(director.Wind(), 1.0f) << "the dragon inside the band";
    for (const Effect e : {Effect::Breeze, Effect::FlameBurst}) {
        EXPECT_FALSE(Has(fx, e)); // no gust of fixed length besides
    }
    P::world.dragon.y = 600;
    director.Observe();
    const float far = director.Wind();
    EXPECT_GT(far, 0.4f);
    EXPECT_LT(far, 0.8f);
    P::world.dragon.y = 760;
    director.Observe();
    EXPECT_LE(director.Wind(), far);
    EXPECT_GT(director.Wind(), 0.0f);

    P::world.bullets[100].state = false; // the storm is over
    director.Observe();
    EXPECT_EQ(director.Wind(), 0.0f);

    // The same band in another level, or with the boss gone: no storm wind.
    P::world.bullets[100].state = true;
    P::world.level = 2;
    director.Observe();
    EXPECT_EQ(director.Wind(), 0.0f);
    P::world.level = 1;
    P::world.enemies[1].state = false;
    director.Observe();
    EXPECT_EQ(director.Wind(), 0.0f);
}

TEST_F(SoundDirector, MTogglesMuteExceptInTheNameEntry) {
    using Display::Run::InputEvent;
    auto key = [](InputEvent::Kind kind) {
        InputEvent e;
        e.kind = kind;
        e.code = 'M';
        Display::Run::Apply(e);
    };
    key(InputEvent::KeyDown);
    EXPECT_TRUE(director.MutePressed());
    EXPECT_FALSE(director.MutePressed()); // held, not pressed again
    key(InputEvent::KeyUp);
    EXPECT_FALSE(director.MutePressed());
    P::world.mode = P::Mode::NameEntry;
    key(InputEvent::KeyDown);
    EXPECT_FALSE(director.MutePressed());
    // The letter still reaches the game.
    EXPECT_EQ(Display::TakeKey(), static_cast<std::uint32_t>('M'));
    P::world.mode = P::Mode::Wave;
    EXPECT_FALSE(director.MutePressed()); // still the same press
}

TEST(SoundDevice, HeadlessNeverOpensAudio) {
    TestWorld::Fresh();
    Display::Run::SetHeadless(true);
    EXPECT_FALSE(Sound::Start(false));
    EXPECT_FALSE(Sound::Opened());
    Sound::SetMuted(true);
    EXPECT_TRUE(Sound::Muted());
}

} // namespace

namespace {

double Mean(const std::vector<float>& s) {
    double sum = 0;
    for (const float v : s) {
        sum += v;
    }
    return s.empty() ? 0.0 : sum / static_cast<double>(s.size());
}

double Rms(const std::vector<float>& s) {
    double sum = 0;
    for (const float v : s) {
        sum += static_cast<double>(v) * v;
    }
    return s.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(s.size()));
}

} // namespace

TEST(SoundMix, NoEffectCarriesAnOffset) {
    for (std::size_t i = 0; i < Sound::kEffects; ++i) {
        SCOPED_TRACE(std::string(Sound::Name(Nth(i))));
        EXPECT_LT(std::abs(Mean(Sound::Render(Nth(i), kRate))), 1e-3);
    }
}

TEST(SoundMix, ASoundAskedForEveryFrameNeitherPilesUpNorOutlastsTheAsking) {
    // Flames named at every presented frame for three seconds, as a world
    // that keeps showing them would, then no more.
    Sound::Mixer once(kRate);
    once.Trigger(Effect::FlameBurst);
    const double single = Rms(MixFor(once, once.Samples(Effect::FlameBurst).size()));
    Sound::Mixer mixer(kRate);
    std::vector<float> held;
    for (int frame = 0; frame < 180; ++frame) {
        mixer.Trigger(Effect::FlameBurst);
        const auto part = MixFor(mixer, kRate / 60);
        held.insert(held.end(), part.begin(), part.end());
    }
    EXPECT_LT(Rms(held), 2.0 * single);
    EXPECT_LT(std::abs(Mean(held)), 1e-3);
    const std::size_t tail = once.Samples(Effect::FlameBurst).size() + 512;
    MixFor(mixer, tail);
    for (const float v : MixFor(mixer, 4096)) {
        ASSERT_EQ(v, 0.0f);
    }
}

TEST(SoundMix, TheStormBlowsUnderTheFightsMusicAndStopsWithTheStorm) {
    EXPECT_LT(std::abs(Mean(Sound::RenderWind(kRate))), 1e-3);
    // Two mixers play the fight's tune in step; one has the storm over it.
    const auto tune = Sound::Render(Sound::Tune::Boss, kRate);
    Sound::Mixer calm(kRate), stormy(kRate);
    for (Sound::Mixer* m : {&calm, &stormy}) {
        m->LoadTune(Sound::Tune::Boss, tune);
        m->SetTune(Sound::Tune::Boss);
        MixFor(*m, kRate);
    }
    stormy.SetWind(1);
    const auto music = MixFor(calm, 3 * kRate);
    const auto both = MixFor(stormy, 3 * kRate);
    std::vector<float> wind(both.size());
    double dot = 0, musicPower = 0, bothPower = 0;
    for (std::size_t i = 0; i < both.size(); ++i) {
        wind[i] = both[i] - music[i];
        dot += static_cast<double>(music[i]) * both[i];
        musicPower += static_cast<double>(music[i]) * music[i];
        bothPower += static_cast<double>(both[i]) * both[i];
    }
    const double windDb = 20 * std::log10(Rms(wind) / Rms(music));
    std::printf("music %.1f dBFS RMS; storm at full strength %.1f dB under it\n",
                20 * std::log10(Rms(music)), windDb);
    EXPECT_LT(windDb, -6.0) << "the storm drowns the music";
    EXPECT_GT(windDb, -24.0) << "the storm is not heard";
    EXPECT_GT(dot / std::sqrt(musicPower * bothPower), 0.85) << "the tune is lost in the wind";
    EXPECT_LT(std::abs(Mean(both)), 1e-3);

    // The storm over: within a second the mix is the music's alone again.
    stormy.SetWind(0);
    calm.SetWind(0);
    MixFor(stormy, kRate);
    MixFor(calm, kRate);
    EXPECT_EQ(stormy.WindLevel(), 0.0f);
    EXPECT_EQ(MixFor(stormy, 4096), MixFor(calm, 4096));
}
