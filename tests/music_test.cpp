#include "ScreenRun.h"
#include "audio/Director.h"
#include "audio/Mixer.h"
#include "audio/Music.h"
#include "audio/Synth.h"
#include "display/Display.h"
#include "display/Run.h"
#include "game/core/Pause.h"
#include "game/core/World.h"
#include "support/MixFor.h"
#include "support/Steps.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using Sound::Tune;
namespace P = Morvek;

constexpr int kRate = 48000;
constexpr std::array<Tune, Sound::kTunes> kAll{Tune::Level1, Tune::Level2, Tune::Level3,
                                               Tune::Boss};

float Rms(const std::vector<float>& s, std::size_t from, std::size_t count) {
    double sum = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        sum += static_cast<double>(s[i]) * s[i];
    }
    return static_cast<float>(std::sqrt(sum / static_cast<double>(count)));
}

TEST(MusicTunes, EachIsALoopOfWholeBarsAtTheMusicLevel) {
    for (const Tune t : kAll) {
        SCOPED_TRACE(std::string(Sound::Name(t)));
        const std::vector<float> s = Sound::Render(t, kRate);
        ASSERT_EQ(s.size(), Sound::LoopLength(t, kRate));
        const float seconds = static_cast<float>(s.size()) / kRate;
        EXPECT_GT(seconds, 8.0f);  // long enough not to nag
        EXPECT_LT(seconds, 30.0f); // short enough to keep in memory
        float peak = 0;
        for (const float v : s) {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_NEAR(peak, Sound::kMusicPeak, 1e-4f);
        // Music all the way through, no silent stretch of a second.
        for (std::size_t at = 0; at + kRate <= s.size(); at += kRate / 2) {
            EXPECT_GT(Rms(s, at, kRate), 0.01f) << "at " << at;
        }
    }
    EXPECT_TRUE(Sound::Render(Tune::None, kRate).empty());
    // The same tune twice is the same samples: nothing random in the music.
    EXPECT_EQ(Sound::Render(Tune::Level2, 22050), Sound::Render(Tune::Level2, 22050));
}

TEST(MusicSynth, AVoiceRunningPastTheEndWrapsOnlyWhenAsked) {
    const Sound::Voice late{Sound::Wave::Sine, 440, 440, 0.9f, 0.3f, 0.005f, 0.5f, 1.0f};
    std::vector<float> cut(kRate, 0.0f), looped(kRate, 0.0f);
    Sound::AddVoice(late, kRate, cut);
    Sound::AddVoice(late, kRate, looped, true);
    EXPECT_EQ(Rms(cut, 0, kRate / 10), 0.0f);
    EXPECT_GT(Rms(looped, 0, kRate / 10), 0.05f);
    // The part before the end is the same either way.
    EXPECT_EQ(std::vector(cut.begin() + kRate * 9 / 10, cut.end()),
              std::vector(looped.begin() + kRate * 9 / 10, looped.end()));
}

using TestAudio::MixFor;

TEST(MusicMixer, FadesTunesInAndOverAndIsSilentUntilLoaded) {
    Sound::Mixer mixer(kRate);
    mixer.SetTune(Tune::Level1);
    // Still being rendered: silence, not a wait.
    EXPECT_EQ(Rms(MixFor(mixer, kRate / 2), 0, kRate / 2), 0.0f);
    mixer.LoadTune(Tune::Level1, Sound::Render(Tune::Level1, kRate));
    mixer.LoadTune(Tune::Boss, Sound::Render(Tune::Boss, kRate));
    EXPECT_TRUE(mixer.TuneLoaded(Tune::Boss));
    EXPECT_FALSE(mixer.TuneLoaded(Tune::Level3));

    auto in = MixFor(mixer, 2 * kRate);
    EXPECT_LT(Rms(in, 0, kRate / 10), Rms(in, kRate, kRate / 10) / 2); // faded in
    for (const float v : in) {
        ASSERT_LE(std::abs(v), 1.0f);
    }
    // Over to the fight: the old tune fades for six tenths of a second before
    // the new one starts, and the new one comes in as slowly.
    mixer.SetTune(Tune::Boss);
    MixFor(mixer, kRate * 55 / 100);
    EXPECT_EQ(mixer.NowPlaying(), Tune::Level1);
    MixFor(mixer, kRate / 10);
    EXPECT_EQ(mixer.NowPlaying(), Tune::Boss);
    const auto fight = MixFor(mixer, kRate);
    EXPECT_LT(Rms(fight, kRate / 5, kRate / 10), Rms(fight, kRate * 8 / 10, kRate / 10) * 0.7);

    // Effects play over the music without clipping.
    for (std::size_t i = 0; i < Sound::kEffects; ++i) {
        mixer.Trigger(static_cast<Sound::Effect>(i));
    }
    for (const float v : MixFor(mixer, kRate)) {
        ASSERT_LT(std::abs(v), 1.0f);
    }
    // Muted, then none: silence, and it stays so.
    mixer.SetMuted(true);
    EXPECT_EQ(Rms(MixFor(mixer, kRate / 10), 0, kRate / 10), 0.0f);
    mixer.SetMuted(false);
    mixer.SetTune(Tune::None);
    const auto out = MixFor(mixer, 2 * kRate);
    EXPECT_EQ(Rms(out, kRate, kRate), 0.0f);
    // A loop handed over twice keeps the first.
    mixer.LoadTune(Tune::Boss, {});
    mixer.SetTune(Tune::Boss);
    EXPECT_GT(Rms(MixFor(mixer, kRate), kRate / 2, kRate / 4), 0.01f);
}

TEST(MusicMixer, TunesArriveFromAnotherThreadWhileItMixes) {
    Sound::Mixer mixer(kRate);
    mixer.SetTune(Tune::Level3);
    std::thread composer([&mixer] {
        for (const Tune t : kAll) {
            mixer.LoadTune(t, Sound::Render(t, 8000));
        }
    });
    std::vector<float> block(256);
    float heard = 0;
    while (heard == 0.0f) {
        mixer.Mix(block);
        for (const float v : block) {
            heard = std::max(heard, std::abs(v));
        }
    }
    composer.join();
    EXPECT_EQ(mixer.NowPlaying(), Tune::Level3);
}

TEST(MusicMixer, AHeldTuneFadesAndGoesOnWhereItStopped) {
    Sound::Mixer mixer(kRate);
    mixer.LoadTune(Tune::Level2, Sound::Render(Tune::Level2, kRate));
    mixer.SetTune(Tune::Level2);
    MixFor(mixer, 2 * kRate);
    mixer.HoldMusic(true);
    MixFor(mixer, kRate);
    const std::size_t stopped = mixer.MusicPosition();
    const auto held = MixFor(mixer, kRate);
    EXPECT_EQ(Rms(held, 0, kRate), 0.0f);
    EXPECT_EQ(mixer.MusicPosition(), stopped);
    mixer.HoldMusic(false);
    const auto back = MixFor(mixer, kRate);
    EXPECT_GT(Rms(back, kRate / 2, kRate / 4), 0.01f);
    EXPECT_GT(mixer.MusicPosition(), stopped);
    EXPECT_EQ(mixer.NowPlaying(), Tune::Level2);
}

class MusicDirector : public testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        P::world.mode = P::Mode::Wave;
    }
    Tune Look() {
        director.Observe();
        return director.Music();
    }
    static void Boss(std::uint32_t type, bool alive) {
        P::world.enemies[1] = {800, 384, 250, type, type, 0, 1000, alive};
    }
    Sound::Director director;
};

TEST_F(MusicDirector, EachLevelItsTuneTheFightsTheirsTheMenusNone) {
    for (std::uint32_t level = 1; level <= 3; ++level) {
        P::world.level = level;
        EXPECT_EQ(Look(), (std::array{Tune::Level1, Tune::Level2, Tune::Level3})[level - 1]);
    }
    // Ordinary enemies and the king's brood are no fight of their own.
    Boss(12, true);
    EXPECT_EQ(Look(), Tune::Level3);
    for (const std::uint32_t boss : {10u, 11u, 13u}) {
        Boss(boss, true);
        EXPECT_EQ(Look(), Tune::Boss) << "boss type " << boss;
    }

    P::world.mode = P::Mode::GameOver; // given up
    EXPECT_EQ(Look(), Tune::None);
    P::world.mode = P::Mode::Menu; // back from the game, its level kept
    EXPECT_EQ(Look(), Tune::None);
    P::world.mode = P::Mode::Options;
    EXPECT_EQ(Look(), Tune::None);
    P::world.mode = P::Mode::Wave;
    P::world.level = 0;
    EXPECT_EQ(Look(), Tune::None);
}

TEST_F(MusicDirector, ABeatenBossLeavesQuietUntilTheNextLevel) {
    P::world.level = 1;
    Boss(10, true);
    EXPECT_EQ(Look(), Tune::Boss);
    Boss(10, false);
    EXPECT_EQ(Look(), Tune::None); // the story after the fight
    EXPECT_EQ(Look(), Tune::None);
    P::world.level = 2;
    EXPECT_EQ(Look(), Tune::Level2);

    // A game that ends in quiet doesn't silence the next one.
    P::world.level = 3;
    Boss(13, true);
    Look();
    Boss(13, false);
    EXPECT_EQ(Look(), Tune::None);
    P::world.mode = P::Mode::Menu; // the name entry left, the game over
    Look();
    P::world.mode = P::Mode::Wave;
    P::world.level = 3; // a practice start at the same level
    EXPECT_EQ(Look(), Tune::Level3);
}

TEST_F(MusicDirector, ThePauseHoldsTheMusic) {
    P::world.level = 1;
    P::world.enemies[1] = {800, 300, 50, 2, 1, 0, 100, true}; // holds up the wave
    std::vector<bool> paused;
    std::vector<Tune> tunes;
    Display::Run::SetFrameHook([&] {
        director.Observe();
        paused.push_back(director.Paused());
        tunes.push_back(director.Music());
    });
    // P pressed during the first tick, let go, and pressed again to go on.
    using Display::Run::InputEvent;
    const std::uint64_t now = Display::Run::ClockMs();
    Display::Run::SetScript({{now + 10, InputEvent::KeyDown, 'P', 0, 0, {}},
                             {now + 50, InputEvent::KeyUp, 'P', 0, 0, {}},
                             {now + 90, InputEvent::KeyDown, 'P', 0, 0, {}}});
    P::BattleScene battle;
    battle.at = P::BattleScene::At::Tick;
    Steps::InGame(battle);
    ASSERT_TRUE(Steps::Ticks(2));
    Display::Run::SetFrameHook(nullptr);
    // The first tick's frame, the pause's, then the next tick's.
    ASSERT_GE(paused.size(), 3u);
    EXPECT_FALSE(paused.front());
    EXPECT_FALSE(paused.back());
    const auto first = std::find(paused.begin(), paused.end(), true);
    const auto after = std::find(first, paused.end(), false);
    EXPECT_NE(first, paused.end());
    EXPECT_EQ(std::find(after, paused.end(), true), paused.end()) << "paused twice";
    EXPECT_EQ(std::count(tunes.begin(), tunes.end(), Tune::Level1),
              static_cast<std::ptrdiff_t>(tunes.size())); // held, not changed
}

// A name saved from the game-over screen puts the menu's caption back while
// that screen stays up: the game's tune must not come back with it, nor the
// game-over jingle sound again.
class MusicOnTheGameOverScreen : public ScreenRun::Fixture {};

TEST_F(MusicOnTheGameOverScreen, StaysQuietAfterANameIsSaved) {
    using namespace ScreenRun;
    TestWorld::NewGameState();
    P::world.level = 2;
    P::world.dragon.lives = 1;
    P::world.dragon.health = 0; // the last life goes in the first tick
    P::BattleScene battle;
    battle.at = P::BattleScene::At::Tick;
    Steps::InGame(battle);
    Sound::Director director;
    director.Observe();
    std::vector<Tune> tunes;
    int jingles = 0;
    bool named = false, shownAfter = false;
    Display::Run::SetFrameHook([&] {
        jingles += director.Observe().test(Sound::Index(Sound::Effect::GameOver)) ? 1 : 0;
        named = named || P::world.mode == P::Mode::NameEntry;
        shownAfter = shownAfter || (named && Display::Run::Title() == "Highscore");
        if (P::world.mode != P::Mode::Wave) {
            tunes.push_back(director.Music());
        }
    });
    Events e{Move(120, 900, 700), Down(140), Up(160)}; // Save
    Key(e, 180, 'A');
    Key(e, 200, 13);
    e.push_back(Move(400, 60, 700)); // Return, a while later
    e.push_back(Down(420));
    for (auto& event : e) {
        event.ms += Display::Run::ClockMs();
    }
    Display::Run::SetScript(std::move(e));
    ASSERT_TRUE(Steps::Until([] { return P::world.mode == P::Mode::Menu; }));
    Display::Run::SetFrameHook(nullptr);
    EXPECT_EQ(jingles, 1);
    EXPECT_TRUE(shownAfter);
    ASSERT_GT(tunes.size(), 3u);
    EXPECT_EQ(std::count(tunes.begin(), tunes.end(), Tune::None),
              static_cast<std::ptrdiff_t>(tunes.size()));
}

} // namespace
