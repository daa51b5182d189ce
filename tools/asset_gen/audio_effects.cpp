// The game's sound effects, each a short mono signal that starts and ends on silence (the
// black-hole drone instead loops seamlessly).
#include "tools/asset_gen/audio_synth.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kRate = static_cast<float>(kSynthRate);

float timeOf(size_t i) {
    return static_cast<float>(i) / kRate;
}

// A drop in pitch from `from` to `to` Hz with time constant `tau`: the body of every boom.
Signal thump(float seconds, float from, float to, float tau, float decay) {
    Signal out(samplesFor(seconds));
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = timeOf(i);
        phase += kTwoPi * (to + (from - to) * std::exp(-t / tau)) / kRate;
        out[i] = std::sin(phase) * envelope(t, 0.002f, decay);
    }
    return out;
}

// Noise whose lowpass closes from `open` to `closed` Hz: the rush of a blast.
Signal blast(uint32_t seed, float seconds, float open, float closed, float sweep, float decay) {
    NoiseSource noise(seed);
    StateVariableFilter filter;
    Signal out(samplesFor(seconds));
    for (size_t i = 0; i < out.size(); ++i) {
        float t = timeOf(i);
        filter.process(noise.next(), closed + (open - closed) * std::exp(-t / sweep), 1.2f);
        out[i] = filter.low * envelope(t, 0.001f, decay);
    }
    return out;
}

// Sparse crackles: short clicks at random times, fewer as the blast dies away.
Signal crackle(uint32_t seed, float seconds, int count) {
    NoiseSource noise(seed);
    Signal out(samplesFor(seconds));
    for (int c = 0; c < count; ++c) {
        float at = seconds * 0.7f * std::pow(noise.uniform(0.0f, 1.0f), 1.8f);
        size_t start = samplesFor(at);
        float gain = noise.uniform(0.3f, 1.0f) * std::exp(-at / (seconds * 0.35f));
        OnePoleHighpass high;
        for (size_t i = 0; i < samplesFor(0.006f) && start + i < out.size(); ++i) {
            out[start + i] += high.process(noise.next(), 2000.0f) * gain * std::exp(-timeOf(i) / 0.0015f);
        }
    }
    return out;
}

} // namespace

Signal makeShot() {
    Signal out(samplesFor(0.32f));
    addAt(out, 0, thump(0.32f, 260.0f, 60.0f, 0.03f, 0.07f), 1.0f);
    addAt(out, 0, blast(11, 0.32f, 7000.0f, 700.0f, 0.03f, 0.045f), 1.6f);
    fadeEdges(out, 0.002f);
    return out;
}

Signal makeImpact() {
    Signal out(samplesFor(0.55f));
    addAt(out, 0, thump(0.55f, 160.0f, 42.0f, 0.05f, 0.11f), 1.0f);
    addAt(out, 0, blast(23, 0.55f, 4000.0f, 300.0f, 0.07f, 0.12f), 1.8f);
    addAt(out, 0, crackle(29, 0.55f, 14), 0.5f);
    fadeEdges(out, 0.003f);
    return out;
}

Signal makeBigExplosion() {
    Signal out(samplesFor(1.7f));
    addAt(out, 0, thump(1.7f, 110.0f, 30.0f, 0.12f, 0.35f), 1.0f);
    addAt(out, 0, blast(37, 1.7f, 2500.0f, 140.0f, 0.25f, 0.45f), 2.2f);
    addAt(out, 0, blast(41, 0.2f, 9000.0f, 3000.0f, 0.02f, 0.02f), 0.8f);
    addAt(out, 0, crackle(43, 1.7f, 45), 0.6f);
    fadeEdges(out, 0.004f);
    return out;
}

Signal makeDeath() {
    // A cartoon fall: a wobbling whistle sliding down, then a soft thud far below.
    Signal out(samplesFor(1.0f));
    OnePoleLowpass tone;
    float phase = 0.0f;
    for (size_t i = 0; i < samplesFor(0.8f); ++i) {
        float t = timeOf(i);
        float frequency = 110.0f + 770.0f * std::exp(-t / 0.28f);
        frequency *= 1.0f + 0.03f * std::sin(kTwoPi * 9.0f * t);
        phase += kTwoPi * frequency / kRate;
        float square = std::sin(phase) + std::sin(3.0f * phase) / 3.0f + std::sin(5.0f * phase) / 5.0f;
        float gain = std::min(1.0f, t / 0.01f) * (t < 0.6f ? 1.0f : std::exp(-(t - 0.6f) / 0.06f));
        out[i] = tone.process(square, 2200.0f) * gain * 0.7f;
    }
    addAt(out, samplesFor(0.62f), thump(0.38f, 90.0f, 40.0f, 0.05f, 0.1f), 0.7f);
    fadeEdges(out, 0.003f);
    return out;
}

Signal makeCrowdCheer() {
    const float seconds = 2.4f;
    Signal out(samplesFor(seconds));
    NoiseSource random(53);
    // Voices: buzzy tones through two vowel formants, each rising into a "woo".
    for (int v = 0; v < 22; ++v) {
        float start = random.uniform(0.0f, 0.35f);
        float base = random.uniform(170.0f, 380.0f);
        float rise = random.uniform(1.1f, 1.5f);
        float length = random.uniform(1.2f, 2.0f);
        float vibratoRate = random.uniform(4.0f, 7.0f);
        StateVariableFilter formantA;
        StateVariableFilter formantB;
        float phase = random.uniform(0.0f, kTwoPi);
        size_t first = samplesFor(start);
        for (size_t i = 0; i < samplesFor(length) && first + i < out.size(); ++i) {
            float t = timeOf(i);
            float glide = 1.0f + (rise - 1.0f) * (1.0f - std::exp(-t / 0.25f));
            float frequency = base * glide * (1.0f + 0.02f * std::sin(kTwoPi * vibratoRate * t));
            phase += kTwoPi * frequency / kRate;
            float buzz = additiveSaw(phase, frequency, 14);
            formantA.process(buzz, 700.0f, 0.5f);
            formantB.process(buzz, 1150.0f, 0.6f);
            float gain = std::min(1.0f, t / 0.15f) *
                         (t < length - 0.5f ? 1.0f : std::exp(-(t - length + 0.5f) / 0.18f));
            out[first + i] += (formantA.band + 0.6f * formantB.band) * gain * 0.12f;
        }
    }
    // Breath of the whole crowd, and claps scattered through it.
    NoiseSource hiss(59);
    StateVariableFilter air;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = timeOf(i);
        air.process(hiss.next(), 1800.0f, 0.9f);
        float swell = std::min(1.0f, t / 0.3f) * (t < 1.4f ? 1.0f : std::exp(-(t - 1.4f) / 0.35f));
        out[i] += air.band * swell * 0.25f;
    }
    for (int c = 0; c < 60; ++c) {
        float at = random.uniform(0.05f, 1.7f);
        float gain = random.uniform(0.3f, 0.7f) * (at < 1.3f ? 1.0f : 0.5f);
        NoiseSource clap(static_cast<uint32_t>(100 + c));
        StateVariableFilter body;
        size_t start = samplesFor(at);
        for (size_t i = 0; i < samplesFor(0.03f) && start + i < out.size(); ++i) {
            body.process(clap.next(), 1400.0f, 0.8f);
            out[start + i] += body.band * gain * envelope(timeOf(i), 0.0005f, 0.007f);
        }
    }
    fadeEdges(out, 0.01f);
    return out;
}

Signal makeRespawn() {
    // A quick rising sparkle (C major arpeggio) over an upward whoosh.
    Signal out(samplesFor(1.0f));
    const float notes[] = {72.0f, 76.0f, 79.0f, 84.0f, 88.0f};
    for (size_t n = 0; n < std::size(notes); ++n) {
        addAt(out, samplesFor(0.07f * static_cast<float>(n)), bellNote(midiToHz(notes[n]), 0.55f), 0.45f);
    }
    NoiseSource noise(61);
    StateVariableFilter sweep;
    for (size_t i = 0; i < samplesFor(0.6f); ++i) {
        float t = timeOf(i);
        sweep.process(noise.next(), 400.0f + 3000.0f * t / 0.6f, 0.4f);
        out[i] += sweep.band * std::sin(3.14159265f * t / 0.6f) * 0.35f;
    }
    fadeEdges(out, 0.003f);
    return out;
}

Signal makeGoChime() {
    // Two bright strikes a fourth apart over a short major chord: "Go!".
    Signal out(samplesFor(1.3f));
    addAt(out, 0, bellNote(midiToHz(79.0f), 1.2f), 0.6f);
    addAt(out, samplesFor(0.11f), bellNote(midiToHz(84.0f), 1.15f), 0.8f);
    Signal chord = padChord({midiToHz(60.0f), midiToHz(64.0f), midiToHz(67.0f)}, 0.5f);
    for (size_t i = 0; i < chord.size(); ++i) {
        chord[i] *= envelope(timeOf(i), 0.01f, 0.25f);
    }
    addAt(out, samplesFor(0.11f), chord, 0.5f);
    fadeEdges(out, 0.003f);
    return out;
}

Signal makeBlackHoleLoop() {
    // Every component repeats a whole number of times in the loop's 4 seconds (frequencies are
    // multiples of 0.25 Hz), so the end runs into the start without a seam.
    const float seconds = 4.0f;
    Signal out(samplesFor(seconds));
    // Phases in whole cycles, wrapped in double precision, stay exact across the loop.
    auto phaseOf = [](size_t i, double frequency) {
        double cycles = static_cast<double>(i) * frequency / kSynthRate;
        return static_cast<float>((cycles - std::floor(cycles)) * 6.283185307179586);
    };
    for (size_t i = 0; i < out.size(); ++i) {
        float drone = additiveSaw(phaseOf(i, 55.0), 55.0f, 18) + additiveSaw(phaseOf(i, 55.5), 55.5f, 18) +
                      0.8f * std::sin(phaseOf(i, 27.5));
        float throb = 0.75f + 0.25f * std::sin(phaseOf(i, 2.0));
        out[i] = drone * throb * 0.5f;
    }
    // A swirl of noise: filtered around the loop twice so the filter is settled and periodic.
    NoiseSource noise(67);
    Signal grains(out.size());
    for (float& g : grains) {
        g = noise.next();
    }
    StateVariableFilter swirl;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < out.size(); ++i) {
            swirl.process(grains[i], 500.0f + 350.0f * std::sin(phaseOf(i, 0.5)), 0.25f);
            if (pass == 1) {
                out[i] += swirl.band * 0.18f;
            }
        }
    }
    return out;
}

Signal makePulse() {
    // Three shrinking "whomps" that push outwards.
    Signal out(samplesFor(0.75f));
    for (int k = 0; k < 3; ++k) {
        float gain = 1.0f / (1.0f + 0.9f * static_cast<float>(k));
        addAt(out, samplesFor(0.11f * static_cast<float>(k)), thump(0.4f, 420.0f, 70.0f, 0.04f, 0.09f), gain);
        addAt(out, samplesFor(0.11f * static_cast<float>(k)),
              blast(71u + static_cast<uint32_t>(k), 0.3f, 1500.0f, 250.0f, 0.05f, 0.06f), gain * 0.9f);
    }
    fadeEdges(out, 0.003f);
    return out;
}
