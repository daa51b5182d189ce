#include "tools/asset_gen/audio_synth.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kRate = static_cast<float>(kSynthRate);
constexpr float kNyquist = kRate * 0.5f;

float cutoffCoefficient(float cutoffHz) {
    return 1.0f - std::exp(-kTwoPi * std::clamp(cutoffHz, 1.0f, kNyquist) / kRate);
}

} // namespace

size_t samplesFor(float seconds) {
    return static_cast<size_t>(std::lround(std::max(seconds, 0.0f) * kRate));
}

float midiToHz(float note) {
    return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f);
}

float NoiseSource::next() {
    // xorshift32: quick, and the same on every machine.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state) / 2147483648.0f - 1.0f;
}

float NoiseSource::uniform(float lo, float hi) {
    return lo + (next() * 0.5f + 0.5f) * (hi - lo);
}

float envelope(float t, float attack, float decay) {
    if (t < 0.0f) {
        return 0.0f;
    }
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / decay);
}

float OnePoleLowpass::process(float x, float cutoffHz) {
    z += cutoffCoefficient(cutoffHz) * (x - z);
    return z;
}

float OnePoleHighpass::process(float x, float cutoffHz) {
    float rc = 1.0f / (kTwoPi * std::clamp(cutoffHz, 1.0f, kNyquist));
    float alpha = rc / (rc + 1.0f / kRate);
    z = alpha * (z + x - lastIn);
    lastIn = x;
    return z;
}

void StateVariableFilter::process(float x, float cutoffHz, float damping) {
    float f = 2.0f * std::sin(3.14159265f * std::clamp(cutoffHz, 10.0f, kRate / 6.0f) / kRate);
    low += f * band;
    float high = x - low - damping * band;
    band += f * high;
}

float additiveSaw(float phase, float frequency, int maxHarmonics) {
    float sum = 0.0f;
    for (int k = 1; k <= maxHarmonics && k * frequency < kNyquist * 0.9f; ++k) {
        sum += std::sin(phase * static_cast<float>(k)) / static_cast<float>(k);
    }
    return sum * 0.55f;
}

void addWrapped(Signal& loop, size_t start, const Signal& source, float gain) {
    if (loop.empty()) {
        return;
    }
    size_t at = start % loop.size();
    for (float sample : source) {
        loop[at] += sample * gain;
        if (++at == loop.size()) {
            at = 0;
        }
    }
}

void addAt(Signal& target, size_t start, const Signal& source, float gain) {
    for (size_t i = 0; i < source.size() && start + i < target.size(); ++i) {
        target[start + i] += source[i] * gain;
    }
}

float peakOf(const Signal& signal) {
    float peak = 0.0f;
    for (float s : signal) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

float rmsOf(const Signal& signal) {
    double sum = 0.0;
    for (float s : signal) {
        sum += static_cast<double>(s) * s;
    }
    return signal.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / static_cast<double>(signal.size())));
}

void normaliseTo(Signal& signal, float peak) {
    float current = peakOf(signal);
    if (current <= 0.0f) {
        return;
    }
    float scale = peak / current;
    for (float& s : signal) {
        s *= scale;
    }
}

void fadeEdges(Signal& signal, float seconds) {
    size_t n = std::min(samplesFor(seconds), signal.size() / 2);
    for (size_t i = 0; i < n; ++i) {
        float g = static_cast<float>(i) / static_cast<float>(n);
        signal[i] *= g;
        signal[signal.size() - 1 - i] *= g;
    }
}

std::vector<int16_t> toPcm16(const Signal& signal) {
    std::vector<int16_t> pcm(signal.size());
    for (size_t i = 0; i < signal.size(); ++i) {
        float v = std::clamp(signal[i], -1.0f, 1.0f) * 32767.0f;
        pcm[i] = static_cast<int16_t>(std::lround(v));
    }
    return pcm;
}

// ---------------------------------------------------------------------------------------------
// Instruments

Signal kickDrum() {
    Signal out(samplesFor(0.35f));
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        float frequency = 45.0f + 110.0f * std::exp(-t / 0.035f);
        phase += kTwoPi * frequency / kRate;
        out[i] = std::sin(phase) * envelope(t, 0.002f, 0.12f);
    }
    return out;
}

Signal snareDrum(uint32_t seed) {
    NoiseSource noise(seed);
    OnePoleHighpass high;
    Signal out(samplesFor(0.25f));
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        phase += kTwoPi * 185.0f / kRate;
        float body = std::sin(phase) * envelope(t, 0.001f, 0.04f) * 0.6f;
        float rattle = high.process(noise.next(), 1200.0f) * envelope(t, 0.001f, 0.07f);
        out[i] = body + rattle * 0.8f;
    }
    return out;
}

Signal hiHat(uint32_t seed, bool open) {
    NoiseSource noise(seed);
    OnePoleHighpass high;
    Signal out(samplesFor(open ? 0.22f : 0.07f));
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        out[i] = high.process(noise.next(), 6000.0f) * envelope(t, 0.001f, open ? 0.07f : 0.018f);
    }
    return out;
}

Signal bassNote(float frequency, float seconds) {
    Signal out(samplesFor(seconds + 0.08f));
    OnePoleLowpass tone;
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        phase += kTwoPi * frequency / kRate;
        float gate = t < seconds ? 1.0f : std::exp(-(t - seconds) / 0.02f);
        float raw = additiveSaw(phase, frequency, 12) * 0.6f + std::sin(phase) * 0.6f;
        float cutoff = 300.0f + 900.0f * std::exp(-t / 0.08f);
        out[i] = tone.process(raw, cutoff) * gate * std::min(1.0f, t / 0.004f);
    }
    return out;
}

Signal pluckNote(float frequency, float seconds) {
    Signal out(samplesFor(seconds + 0.25f));
    OnePoleLowpass tone;
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        phase += kTwoPi * frequency / kRate;
        float square = std::sin(phase) + std::sin(3.0f * phase) / 3.0f + std::sin(5.0f * phase) / 5.0f;
        float gate = t < seconds ? 1.0f : std::exp(-(t - seconds) / 0.05f);
        out[i] =
            tone.process(square, 600.0f + 3500.0f * std::exp(-t / 0.05f)) * envelope(t, 0.003f, 0.18f) * gate;
    }
    return out;
}

Signal padChord(const std::vector<float>& frequencies, float seconds) {
    Signal out(samplesFor(seconds + 0.4f));
    for (size_t v = 0; v < frequencies.size(); ++v) {
        for (float detune : {-0.12f, 0.12f}) {
            float frequency = frequencies[v] * std::pow(2.0f, detune / 12.0f);
            float phase = static_cast<float>(v) * 1.7f;
            OnePoleLowpass tone;
            for (size_t i = 0; i < out.size(); ++i) {
                float t = static_cast<float>(i) / kRate;
                phase += kTwoPi * frequency / kRate;
                float swell = std::min(1.0f, t / 0.35f);
                float gate = t < seconds ? 1.0f : std::exp(-(t - seconds) / 0.12f);
                out[i] += tone.process(additiveSaw(phase, frequency, 10), 1100.0f) * swell * gate * 0.25f;
            }
        }
    }
    return out;
}

Signal leadNote(float frequency, float seconds) {
    Signal out(samplesFor(seconds + 0.12f));
    OnePoleLowpass tone;
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        float vibrato = 1.0f + 0.006f * std::sin(kTwoPi * 5.5f * t) * std::min(1.0f, t / 0.25f);
        phase += kTwoPi * frequency * vibrato / kRate;
        float pulse = std::sin(phase) + std::sin(3.0f * phase) / 4.0f + std::sin(2.0f * phase) / 6.0f;
        float gate = t < seconds ? 1.0f : std::exp(-(t - seconds) / 0.03f);
        out[i] = tone.process(pulse, 2500.0f) * gate * std::min(1.0f, t / 0.01f) *
                 (0.8f + 0.2f * std::exp(-t / 0.1f));
    }
    return out;
}

Signal brassNote(float frequency, float seconds) {
    Signal out(samplesFor(seconds + 0.15f));
    OnePoleLowpass tone;
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        phase += kTwoPi * frequency / kRate;
        float opening = 500.0f + 2200.0f * std::min(1.0f, t / 0.06f) * (0.6f + 0.4f * std::exp(-t / 0.3f));
        float gate = t < seconds ? 1.0f : std::exp(-(t - seconds) / 0.05f);
        out[i] = tone.process(additiveSaw(phase, frequency, 16), opening) * gate * std::min(1.0f, t / 0.02f);
    }
    return out;
}

Signal bellNote(float frequency, float seconds) {
    // Inharmonic partials with their own decays give a struck-metal colour.
    struct Partial {
        float ratio, gain, decay;
    };
    const Partial partials[] = {{1.0f, 1.0f, 0.9f},
                                {2.0f, 0.45f, 0.5f},
                                {2.76f, 0.35f, 0.35f},
                                {5.4f, 0.2f, 0.15f},
                                {8.93f, 0.08f, 0.08f}};
    Signal out(samplesFor(seconds));
    for (const Partial& p : partials) {
        float f = frequency * p.ratio;
        if (f > kNyquist * 0.9f) {
            continue;
        }
        for (size_t i = 0; i < out.size(); ++i) {
            float t = static_cast<float>(i) / kRate;
            out[i] += std::sin(kTwoPi * f * t) * p.gain * envelope(t, 0.002f, p.decay * seconds);
        }
    }
    fadeEdges(out, 0.004f);
    return out;
}

Signal timpani(float frequency) {
    Signal out(samplesFor(0.8f));
    NoiseSource noise(77);
    OnePoleLowpass thud;
    float phase = 0.0f;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = static_cast<float>(i) / kRate;
        phase += kTwoPi * frequency * (1.0f + 0.06f * std::exp(-t / 0.05f)) / kRate;
        float body = (std::sin(phase) + 0.3f * std::sin(1.5f * phase)) * envelope(t, 0.003f, 0.3f);
        float hit = thud.process(noise.next(), 900.0f) * envelope(t, 0.001f, 0.03f);
        out[i] = body + hit;
    }
    return out;
}
