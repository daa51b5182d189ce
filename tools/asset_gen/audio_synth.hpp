#pragma once

// Small synthesis kit for the generated sounds: deterministic noise, envelopes, filters and
// a few instruments. Everything works on mono float signals at kSynthRate; the banks store
// them as 16-bit PCM.

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kSynthRate = 22050;
constexpr float kTwoPi = 6.2831853f;

using Signal = std::vector<float>;

size_t samplesFor(float seconds);
float midiToHz(float note);

// White noise in -1..1 from a seeded generator, so every build writes the same banks.
class NoiseSource {
  public:
    explicit NoiseSource(uint32_t seed) : state(seed * 2654435761u + 1u) {}
    float next();
    float uniform(float lo, float hi); // a random number for parameters

  private:
    uint32_t state;
};

// 0 -> 1 in `attack` seconds, then an exponential fall with time constant `decay`.
float envelope(float t, float attack, float decay);

struct OnePoleLowpass {
    float z = 0.0f;
    float process(float x, float cutoffHz);
};

struct OnePoleHighpass {
    float z = 0.0f;
    float lastIn = 0.0f;
    float process(float x, float cutoffHz);
};

// Chamberlin state-variable filter: lowpass and bandpass outputs with a cutoff that may move
// every sample. q is the damping (smaller rings more); stable while cutoff < rate / 6.
struct StateVariableFilter {
    float low = 0.0f;
    float band = 0.0f;
    void process(float x, float cutoffHz, float damping);
};

// Band-limited sawtooth by adding harmonics below the Nyquist limit (exactly periodic).
float additiveSaw(float phase, float frequency, int maxHarmonics = 24);

// Adds `source` into `loop` at `start`, wrapping past the end to the beginning, so that what
// rings past the loop's end sounds at its start, as it will when the loop repeats.
void addWrapped(Signal& loop, size_t start, const Signal& source, float gain);
// Adds `source` into `target` at `start`, growing nothing (what does not fit is dropped).
void addAt(Signal& target, size_t start, const Signal& source, float gain);

float peakOf(const Signal& signal);
float rmsOf(const Signal& signal);
// Scales a signal so that its peak is exactly `peak`.
void normaliseTo(Signal& signal, float peak);
// Fades the first and last `seconds` in and out linearly (one-shots start and end on silence).
void fadeEdges(Signal& signal, float seconds);
std::vector<int16_t> toPcm16(const Signal& signal);

// Instruments for the music, each a finished note (tails included).
Signal kickDrum();
Signal snareDrum(uint32_t seed);
Signal hiHat(uint32_t seed, bool open);
Signal bassNote(float frequency, float seconds);
Signal pluckNote(float frequency, float seconds);
Signal padChord(const std::vector<float>& frequencies, float seconds);
Signal leadNote(float frequency, float seconds);
Signal brassNote(float frequency, float seconds);
Signal bellNote(float frequency, float seconds);
Signal timpani(float frequency);

// The game's sounds.
Signal makeShot();
Signal makeImpact();
Signal makeBigExplosion();
Signal makeDeath();
Signal makeCrowdCheer();
Signal makeRespawn();
Signal makeGoChime();
Signal makeBlackHoleLoop();
Signal makePulse();
Signal makeMenuMusic();
Signal makeMatchMusic();
Signal makeVictoryMusic();
