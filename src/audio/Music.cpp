#include "audio/Music.h"
#include "audio/Synth.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace Sound {

namespace {

// How one part of a tune sounds. `octave` is in semitones from the key;
// `ring` stretches (or shortens) a note against the time it is written to hold.
struct Instrument {
    Wave wave = Wave::Triangle;
    float gain = 0;
    int octave = 0;
    float ring = 0.9f;
    float attack = 0.01f;
    float curve = 1;
};

// A tune in a few lines. Spaces and '|' only help the eye. A bar has 16
// sixteenths; the lead is written in eighths over the whole loop, the other
// parts in sixteenths of one bar, played on every bar's chord.
//   chords  one degree a bar ('1' to '7') that the bar's triad stands on
//   lead    '1' to '9' a degree above the key, '-' holds it, '.' rests
//   arp     '1', '3', '5', '8': the chord's root, third, fifth and octave
//   bass    'R' the chord's root, '5' its fifth, 'O' its octave, '-' holds
//   drums   'k' kick, 's' snare, 'h' hat; 'K' and 'S' with a hat
struct Score {
    Tune tune;
    std::string_view name;
    float bpm;
    int key; // MIDI note of the tonic
    std::array<int, 7> scale;
    std::string_view chords, lead, arp, bass, drums;
    Instrument leadSound, arpSound, bassSound;
    float drumGain;
    float echo;     // delay in seconds, 0 for none
    float feedback; // how much of each echo comes back
};

constexpr std::array<int, 7> kMajor{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor{0, 2, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kHarmonic{0, 2, 3, 5, 7, 8, 11};

using enum Wave;

constexpr std::array<Score, kTunes> kScores{{
    // Open sky: a bright march in D major.
    {Tune::Level1,
     "over the hills",
     128,
     62,
     kMajor,
     "15641545",
     "5-3-1-35|7-6-5---|6-8-9-8-|6-5-4-3-|5-3-1-35|7-9-8-7-|6-4-6-8-|7---5---",
     "1.5.8.5.3.5.8.5.",
     "R...R.R.5...R.O.",
     "K.h.S.h.K.hkS.h.",
     {Square, 0.30f, 0, 0.9f, 0.01f, 1.0f},
     {Triangle, 0.22f, 12, 1.5f, 0.004f, 2.0f},
     {Triangle, 0.75f, -24, 0.9f, 0.01f, 0.7f},
     0.45f,
     0,
     0},
    // The ice cave: slow bells in E minor, ringing off the walls.
    {Tune::Level2,
     "ice cave",
     92,
     64,
     kMinor,
     "16371645",
     "1-5-8---|7-6-5---|5-3-5-7-|6-5-4-2-|1-5-8-9-|8-7-6---|4-6-8-6-|5---2---",
     "1...5...3...8...",
     "R-------5-------",
     "..h...h...h...h.",
     {Triangle, 0.55f, 12, 2.5f, 0.003f, 2.2f},
     {Sine, 0.25f, 24, 2.0f, 0.003f, 2.5f},
     {Sine, 0.80f, -24, 1.0f, 0.05f, 0.5f},
     0.18f,
     0.489f,
     0.4f},
    // The volcano: a driving C harmonic minor over a sawing bass.
    {Tune::Level3,
     "lava fields",
     148,
     60,
     kHarmonic,
     "11651455",
     "1-3-5-3-|8-7-8-5-|6-5-3-1-|7-5-2-7-|1-3-5-8-|4-6-8-6-|7-9-7-5-|2---7---",
     "1358135813581358",
     "R.R.O.R.R.R.5.O.",
     "K.h.S.hkK.k.S.hS",
     {Saw, 0.30f, 0, 0.9f, 0.01f, 1.0f},
     {Square, 0.10f, 12, 0.8f, 0.002f, 2.0f},
     {Saw, 0.55f, -24, 0.9f, 0.005f, 0.8f},
     0.55f,
     0,
     0},
    // The boss fights: fast and urgent in A harmonic minor.
    {Tune::Boss,
     "the fight",
     164,
     57,
     kHarmonic,
     "11651145",
     "1-1-3-5-|6-5-3-2-|1-3-6-8-|7---5---|8-7-8-5-|6-5-6-3-|4-6-8-6-|7-5-7-2-",
     "1.5.8.5.1.5.8.5.",
     "R.RR.RR.R.RR5.O.",
     "K.hkS.hkK.hkS.hS",
     {Square, 0.28f, 12, 0.9f, 0.005f, 1.0f},
     {Saw, 0.12f, 0, 0.8f, 0.002f, 2.0f},
     {Square, 0.40f, -24, 0.9f, 0.005f, 0.8f},
     0.60f,
     0,
     0},
}};

constexpr int kStepsPerBar = 16;
constexpr int kLeadStep = 2; // the lead is written in eighths

// The written symbols of a pattern, without the spacing.
constexpr std::size_t Symbols(std::string_view s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return c != ' ' && c != '|'; }));
}

constexpr bool WellFormed(const Score& s) {
    const std::size_t bars = Symbols(s.chords);
    return bars > 0 && Symbols(s.lead) * kLeadStep == bars * kStepsPerBar &&
           Symbols(s.arp) == kStepsPerBar && Symbols(s.bass) == kStepsPerBar &&
           Symbols(s.drums) == kStepsPerBar;
}

constexpr bool AllWellFormed() {
    for (std::size_t i = 0; i < kScores.size(); ++i) {
        if (TuneIndex(kScores[i].tune) != i || !WellFormed(kScores[i])) {
            return false;
        }
    }
    return true;
}
static_assert(AllWellFormed(), "every tune in order, each pattern a whole number of bars");

const Score& ScoreOf(Tune t) {
    return kScores[TuneIndex(t)];
}

std::string Clean(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c != ' ' && c != '|') {
            out += c;
        }
    }
    return out;
}

float Hz(int midi) {
    return 440.0f * std::pow(2.0f, static_cast<float>(midi - 69) / 12.0f);
}

// Semitones above the key of a degree counted from 0, octaves included.
int Semitones(const Score& s, int degree) {
    return s.scale[static_cast<std::size_t>(degree % 7)] + 12 * (degree / 7);
}

class Writer {
  public:
    Writer(const Score& s, int rate, std::vector<float>& out)
        : s_(s), rate_(rate), out_(out), step_(60.0f / s.bpm / 4) {}

    void Note(const Instrument& in, int degree, int step, int steps) {
        const float f = Hz(s_.key + in.octave + Semitones(s_, degree));
        AddVoice({in.wave, f, f, Time(step), Time(steps) * in.ring, in.attack, in.gain, in.curve},
                 rate_, out_, true);
    }

    void Drum(char hit, int step) {
        const float g = s_.drumGain;
        if (hit == 'k' || hit == 'K') {
            AddVoice({Sine, 150, 45, Time(step), 0.14f, 0.002f, g, 2.0f}, rate_, out_, true);
        }
        if (hit == 's' || hit == 'S') {
            AddVoice({Noise, 5000, 1800, Time(step), 0.12f, 0.001f, 0.6f * g, 2.0f}, rate_, out_,
                     true);
            AddVoice({Triangle, 220, 180, Time(step), 0.06f, 0.001f, 0.3f * g, 2.0f}, rate_, out_,
                     true);
        }
        if (hit == 'h' || hit == 'K' || hit == 'S') {
            AddVoice({Noise, 10000, 8000, Time(step), 0.035f, 0.001f, 0.25f * g, 2.0f}, rate_, out_,
                     true);
        }
    }

  private:
    float Time(int steps) const { return static_cast<float>(steps) * step_; }

    const Score& s_;
    int rate_;
    std::vector<float>& out_;
    float step_; // seconds a sixteenth
};

// How many steps a note written at `i` holds: itself and the '-' after it.
int Held(const std::string& part, std::size_t i) {
    std::size_t end = i + 1;
    while (end < part.size() && part[end] == '-') {
        ++end;
    }
    return static_cast<int>(end - i);
}

void WriteLead(const Score& s, Writer& w) {
    const std::string lead = Clean(s.lead);
    for (std::size_t i = 0; i < lead.size(); ++i) {
        const char c = lead[i];
        if (c >= '1' && c <= '9') {
            w.Note(s.leadSound, c - '1', static_cast<int>(i) * kLeadStep,
                   Held(lead, i) * kLeadStep);
        }
    }
}

void WriteBar(const Score& s, Writer& w, int bar, int root) {
    const std::string arp = Clean(s.arp), bass = Clean(s.bass), drums = Clean(s.drums);
    const int start = bar * kStepsPerBar;
    for (std::size_t i = 0; i < kStepsPerBar; ++i) {
        const int step = start + static_cast<int>(i);
        if (const auto tone = std::string_view("1358").find(arp[i]); tone != std::string::npos) {
            constexpr std::array<int, 4> kChordTones{0, 2, 4, 7};
            w.Note(s.arpSound, root + kChordTones[tone], step, 1);
        }
        if (const auto tone = std::string_view("R5O").find(bass[i]); tone != std::string::npos) {
            constexpr std::array<int, 3> kBassTones{0, 4, 7};
            w.Note(s.bassSound, root + kBassTones[tone], step, Held(bass, i));
        }
        w.Drum(drums[i], step);
    }
}

// The echo as it sounds once the loop has gone round a few times: a ring
// buffer fed back on itself until what comes round again is negligible.
void AddEcho(std::vector<float>& out, std::size_t delay, float feedback) {
    const std::size_t n = out.size();
    if (delay == 0 || delay >= n) {
        return;
    }
    std::vector<float> wet(n, 0.0f);
    for (std::size_t i = 0; i < 4 * n; ++i) {
        const std::size_t from = (i + n - delay) % n;
        wet[i % n] = feedback * (out[from] + wet[from]);
    }
    for (std::size_t i = 0; i < n; ++i) {
        out[i] += wet[i];
    }
}

} // namespace

std::string_view Name(Tune t) {
    return t == Tune::None ? "none" : ScoreOf(t).name;
}

std::size_t LoopLength(Tune t, int rate) {
    if (t == Tune::None) {
        return 0;
    }
    const Score& s = ScoreOf(t);
    const float seconds = static_cast<float>(Symbols(s.chords)) * 4 * 60.0f / s.bpm;
    return static_cast<std::size_t>(std::lround(seconds * static_cast<float>(rate)));
}

std::vector<float> Render(Tune t, int rate) {
    std::vector<float> out(LoopLength(t, rate), 0.0f);
    if (out.empty()) {
        return out;
    }
    const Score& s = ScoreOf(t);
    Writer w(s, rate, out);
    WriteLead(s, w);
    const std::string chords = Clean(s.chords);
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        WriteBar(s, w, static_cast<int>(bar), chords[bar] - '1');
    }
    AddEcho(out, static_cast<std::size_t>(s.echo * static_cast<float>(rate)), s.feedback);
    // A loop has no ends to filter from: its mean is its offset.
    double sum = 0;
    for (const float v : out) {
        sum += v;
    }
    const auto mean = static_cast<float>(sum / static_cast<double>(out.size()));
    for (float& v : out) {
        v -= mean;
    }
    // Every tune equally loud, whatever its parts add up to.
    float largest = 0;
    for (const float v : out) {
        largest = std::max(largest, std::abs(v));
    }
    if (largest > 0) {
        for (float& v : out) {
            v *= kMusicPeak / largest;
        }
    }
    return out;
}

} // namespace Sound
