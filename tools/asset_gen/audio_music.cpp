// The three music loops. Each is written on a circular sheet one loop long: a note that rings
// past the end sounds again at the start, exactly as it will when the loop repeats, so the
// seam is as smooth as any other moment. Tempos give a whole number of samples per beat.
#include "tools/asset_gen/audio_synth.hpp"

#include <cmath>

namespace {

struct Note {
    float beat; // within its bar
    float midi;
    float length; // beats
};

struct Chord {
    float root; // MIDI note of the bass root
    bool minor;
};

class Sheet {
  public:
    Sheet(int bpm, int beats)
        : samplesPerBeat(kSynthRate * 60 / static_cast<uint32_t>(bpm)), loop(samplesPerBeat * beats) {}

    float beatSeconds() const { return static_cast<float>(samplesPerBeat) / static_cast<float>(kSynthRate); }
    void add(float beat, const Signal& sound, float gain) {
        addWrapped(loop, static_cast<size_t>(std::lround(beat * static_cast<float>(samplesPerBeat))), sound,
                   gain);
    }
    void melody(int bar, const std::vector<Note>& notes, float gain, Signal (*voice)(float, float)) {
        for (const Note& n : notes) {
            add(static_cast<float>(bar * 4) + n.beat, voice(midiToHz(n.midi), n.length * beatSeconds()),
                gain);
        }
    }
    Signal finish() { return std::move(loop); }

    uint32_t samplesPerBeat;
    Signal loop;
};

std::vector<float> triad(float root, bool minor) {
    return {midiToHz(root), midiToHz(root + (minor ? 3.0f : 4.0f)), midiToHz(root + 7.0f)};
}

void drums(Sheet& sheet, int bar, const std::vector<float>& kicks, const std::vector<float>& snares,
           float hatGain, uint32_t seed) {
    static const Signal kick = kickDrum();
    for (float beat : kicks) {
        sheet.add(static_cast<float>(bar * 4) + beat, kick, 0.9f);
    }
    for (float beat : snares) {
        sheet.add(static_cast<float>(bar * 4) + beat, snareDrum(seed + static_cast<uint32_t>(beat * 8)),
                  0.45f);
    }
    for (int eighth = 0; eighth < 8; ++eighth) {
        bool offbeat = eighth % 2 == 1;
        sheet.add(static_cast<float>(bar * 4) + 0.5f * static_cast<float>(eighth),
                  hiHat(seed + static_cast<uint32_t>(eighth), false), hatGain * (offbeat ? 1.0f : 0.55f));
    }
}

} // namespace

Signal makeMenuMusic() {
    // F major, relaxed and bouncy: F - Dm - Bb - C twice, a bell tune over the second pass.
    Sheet sheet(100, 32);
    const Chord chords[] = {{41, false}, {38, true}, {34, false}, {36, false}};
    for (int bar = 0; bar < 8; ++bar) {
        const Chord& c = chords[bar % 4];
        float b0 = static_cast<float>(bar * 4);
        float third = c.root + (c.minor ? 3.0f : 4.0f);
        sheet.add(b0, padChord(triad(c.root + 24.0f, c.minor), 4.0f * sheet.beatSeconds()), 0.22f);
        sheet.add(b0, bassNote(midiToHz(c.root), 1.3f * sheet.beatSeconds()), 0.5f);
        sheet.add(b0 + 1.5f, bassNote(midiToHz(c.root), 0.4f * sheet.beatSeconds()), 0.45f);
        sheet.add(b0 + 2.0f, bassNote(midiToHz(c.root + 7.0f), 0.9f * sheet.beatSeconds()), 0.45f);
        sheet.add(b0 + 3.0f, bassNote(midiToHz(c.root + 12.0f), 0.9f * sheet.beatSeconds()), 0.4f);
        const float arp[] = {c.root + 24.0f, third + 24.0f, c.root + 31.0f, c.root + 36.0f};
        const int pattern[] = {0, 1, 2, 3, 2, 1, 2, 1};
        for (int e = 0; e < 8; ++e) {
            sheet.add(b0 + 0.5f * static_cast<float>(e),
                      pluckNote(midiToHz(arp[pattern[e]]), 0.4f * sheet.beatSeconds()), 0.16f);
        }
        drums(sheet, bar, {0.0f, 2.0f}, {1.0f, 3.0f}, 0.12f, 200u + static_cast<uint32_t>(bar));
    }
    auto bell = [](float frequency, float seconds) { return bellNote(frequency, seconds + 0.6f); };
    sheet.melody(4, {{0, 81, 1}, {1, 84, 1}, {2, 81, 0.5f}, {2.5f, 79, 0.5f}, {3, 77, 1}}, 0.28f, bell);
    sheet.melody(5, {{0, 74, 1.5f}, {1.5f, 77, 0.5f}, {2, 81, 2}}, 0.28f, bell);
    sheet.melody(6, {{0, 82, 1}, {1, 81, 0.5f}, {1.5f, 79, 0.5f}, {2, 77, 1}, {3, 74, 1}}, 0.28f, bell);
    sheet.melody(7, {{0, 76, 1.5f}, {1.5f, 79, 0.5f}, {2, 77, 2}}, 0.28f, bell);
    return sheet.finish();
}

Signal makeMatchMusic() {
    // A minor, driving: Am - F - C - G four times; a lead takes over for the second half.
    Sheet sheet(140, 64);
    const Chord chords[] = {{45, true}, {41, false}, {48, false}, {43, false}};
    for (int bar = 0; bar < 16; ++bar) {
        const Chord& c = chords[bar % 4];
        float b0 = static_cast<float>(bar * 4);
        for (int e = 0; e < 8; ++e) {
            float note = c.root - 12.0f + (e % 4 == 3 ? 12.0f : 0.0f);
            sheet.add(b0 + 0.5f * static_cast<float>(e),
                      bassNote(midiToHz(note), 0.42f * sheet.beatSeconds()), 0.5f);
        }
        for (float stab : {0.5f, 1.5f, 2.5f, 3.5f}) {
            for (float f : triad(c.root + 24.0f, c.minor)) {
                sheet.add(b0 + stab, pluckNote(f, 0.3f * sheet.beatSeconds()), 0.09f);
            }
        }
        if (bar < 8) {
            sheet.add(b0, padChord(triad(c.root + 12.0f, c.minor), 4.0f * sheet.beatSeconds()), 0.14f);
        }
        drums(sheet, bar, {0.0f, 1.0f, 2.0f, 3.0f}, {1.0f, 3.0f}, 0.16f, 300u + static_cast<uint32_t>(bar));
    }
    const std::vector<Note> phraseA = {{0, 76, 0.5f}, {0.5f, 79, 0.5f}, {1, 81, 1},
                                       {2, 79, 0.5f}, {2.5f, 76, 0.5f}, {3, 74, 1}};
    const std::vector<Note> phraseB = {{0, 72, 1.5f}, {1.5f, 74, 0.5f}, {2, 76, 2}};
    const std::vector<Note> phraseC = {{0, 79, 0.5f}, {0.5f, 81, 0.5f}, {1, 84, 1},
                                       {2, 81, 0.5f}, {2.5f, 79, 0.5f}, {3, 76, 1}};
    sheet.melody(8, phraseA, 0.2f, leadNote);
    sheet.melody(9, phraseB, 0.2f, leadNote);
    sheet.melody(10, phraseC, 0.2f, leadNote);
    sheet.melody(11, {{0, 74, 1}, {1, 76, 0.5f}, {1.5f, 74, 0.5f}, {2, 71, 2}}, 0.2f, leadNote);
    sheet.melody(12, phraseA, 0.2f, leadNote);
    sheet.melody(13, phraseB, 0.2f, leadNote);
    sheet.melody(14, phraseC, 0.2f, leadNote);
    sheet.melody(15, {{0, 74, 1}, {1, 79, 1}, {2, 83, 2}}, 0.2f, leadNote);
    return sheet.finish();
}

Signal makeVictoryMusic() {
    // C major fanfare: brass chords and timpani under a bright tune.
    Sheet sheet(120, 32);
    const Chord chords[] = {{48, false}, {41, false}, {43, false}, {48, false},
                            {45, true},  {41, false}, {43, false}, {48, false}};
    for (int bar = 0; bar < 8; ++bar) {
        const Chord& c = chords[bar];
        float b0 = static_cast<float>(bar * 4);
        const std::pair<float, float> hits[] = {{0.0f, 1.0f}, {1.5f, 0.5f}, {2.0f, 1.5f}};
        for (auto [at, length] : hits) {
            for (float f : triad(c.root + 12.0f, c.minor)) {
                sheet.add(b0 + at, brassNote(f, length * sheet.beatSeconds()), 0.12f);
            }
        }
        sheet.add(b0, bassNote(midiToHz(c.root - 12.0f), 1.8f * sheet.beatSeconds()), 0.45f);
        sheet.add(b0 + 2.0f, bassNote(midiToHz(c.root - 12.0f), 1.8f * sheet.beatSeconds()), 0.45f);
        sheet.add(b0, timpani(midiToHz(c.root - 12.0f)), 0.5f);
        sheet.add(b0 + 2.0f, timpani(midiToHz(c.root - 12.0f)), 0.4f);
        drums(sheet, bar, {}, {1.0f, 3.0f}, 0.1f, 400u + static_cast<uint32_t>(bar));
    }
    sheet.melody(0, {{0, 72, 0.5f}, {0.5f, 76, 0.5f}, {1, 79, 1}, {2, 84, 2}}, 0.22f, leadNote);
    sheet.melody(1, {{0, 81, 1}, {1, 77, 1}, {2, 81, 1}, {3, 84, 1}}, 0.22f, leadNote);
    sheet.melody(2, {{0, 83, 1.5f}, {1.5f, 81, 0.5f}, {2, 79, 2}}, 0.22f, leadNote);
    sheet.melody(3, {{0, 84, 3}}, 0.22f, leadNote);
    sheet.melody(4, {{0, 76, 1}, {1, 81, 1}, {2, 84, 1}, {3, 81, 1}}, 0.22f, leadNote);
    sheet.melody(5, {{0, 77, 1}, {1, 81, 1}, {2, 84, 2}}, 0.22f, leadNote);
    sheet.melody(6, {{0, 86, 1}, {1, 84, 0.5f}, {1.5f, 83, 0.5f}, {2, 79, 2}}, 0.22f, leadNote);
    sheet.melody(7, {{0, 84, 2}, {2, 79, 1}, {3, 76, 1}}, 0.22f, leadNote);
    return sheet.finish();
}
