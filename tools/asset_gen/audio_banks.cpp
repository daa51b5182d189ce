// The generator's audio part: synthesises every sound of the game and writes the four banks
// into <out>/Audio/.
#include "audio/bank_format.hpp"
#include "audio/sound_events.hpp"
#include "tools/asset_gen/audio_synth.hpp"
#include "tools/asset_gen/generator.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>

namespace {

struct GeneratedSound {
    std::string_view path;
    Signal (*make)();
    float peak;     // the highest sample, full scale = 1
    float loudness; // when not 0, an RMS the sound may not exceed (dense music is loud at a low peak)
    uint32_t flags; // kEventLoops, kEventStreams
};

// Music sits well under the effects: its peak plus the loudest effect's stays within full
// scale, so no effect over the music clips, and its loudness stays under every effect's.
constexpr float kMusicPeak = 0.30f;
constexpr float kMusicLoudness = 0.055f;

const GeneratedSound kGeneratedSounds[] = {
    {kEventMenuMusic, makeMenuMusic, kMusicPeak, kMusicLoudness, kEventLoops | kEventStreams},
    {kEventMatchMusic, makeMatchMusic, kMusicPeak, kMusicLoudness, kEventLoops | kEventStreams},
    {kEventVictoryMusic, makeVictoryMusic, kMusicPeak, kMusicLoudness, kEventLoops | kEventStreams},
    {kEventGo, makeGoChime, 0.60f, 0.0f, 0},
    {kEventDeath, makeDeath, 0.60f, 0.0f, 0},
    {kEventCrowdCheer, makeCrowdCheer, 0.50f, 0.0f, 0},
    {kEventRespawn, makeRespawn, 0.50f, 0.0f, 0},
    {kEventShot, makeShot, 0.55f, 0.0f, 0},
    {kEventImpact, makeImpact, 0.62f, 0.0f, 0},
    {kEventBigExplosion, makeBigExplosion, 0.70f, 0.0f, 0},
    {kEventBlackHole, makeBlackHoleLoop, 0.40f, 0.0f, kEventLoops},
    {kEventPulse, makePulse, 0.62f, 0.0f, 0},
};

uint64_t bankIdOf(std::string_view fileName) {
    return audioPathId(fileName.substr(0, fileName.rfind(".bank")));
}

bool writeBank(const std::filesystem::path& dir, std::string_view fileName, const BankContents& contents) {
    std::vector<uint8_t> bytes = encodeBank(contents);
    std::filesystem::path file = dir / std::string(fileName);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cout << "asset_gen: cannot write " << file.string() << std::endl;
        return false;
    }
    return true;
}

BankContents eventBank(std::string_view fileName, const std::vector<Signal>& signals) {
    BankContents bank;
    bank.bankId = bankIdOf(fileName);
    for (size_t i = 0; i < std::size(kGeneratedSounds); ++i) {
        const GeneratedSound& sound = kGeneratedSounds[i];
        auto info = std::find_if(kSoundEvents.begin(), kSoundEvents.end(),
                                 [&](const SoundEventInfo& e) { return e.path == sound.path; });
        if (info == kSoundEvents.end() || info->bank != fileName) {
            continue;
        }
        std::vector<int16_t> pcm = toPcm16(signals[i]);
        BankEvent event;
        event.id = audioPathId(sound.path);
        event.flags = sound.flags;
        event.volume = 1.0f;
        event.sampleRate = kSynthRate;
        event.channels = 1;
        event.firstSample = static_cast<uint32_t>(bank.samples.size());
        event.frameCount = static_cast<uint32_t>(pcm.size());
        if (sound.flags & kEventLoops) {
            event.loopStart = 0; // the whole sound is the loop: its end runs into its start
            event.loopEnd = event.frameCount;
        }
        bank.samples.insert(bank.samples.end(), pcm.begin(), pcm.end());
        bank.events.push_back(event);
    }
    return bank;
}

} // namespace

bool generateAudio(const GeneratorOptions& options) {
    std::filesystem::path dir = std::filesystem::path(options.outDir) / "Audio";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::cout << "asset_gen: cannot create " << dir.string() << ": " << error.message() << std::endl;
        return false;
    }

    // The sounds are independent: make them on every core.
    std::vector<std::future<Signal>> pending;
    for (const GeneratedSound& sound : kGeneratedSounds) {
        pending.push_back(std::async(std::launch::async, [&sound] {
            Signal signal = sound.make();
            normaliseTo(signal, sound.peak);
            if (sound.loudness > 0.0f && rmsOf(signal) > sound.loudness) {
                normaliseTo(signal, sound.peak * sound.loudness / rmsOf(signal));
            }
            return signal;
        }));
    }
    std::vector<Signal> signals;
    for (auto& p : pending) {
        signals.push_back(p.get());
    }

    BankContents master;
    master.bankId = bankIdOf(kMasterBankFile);
    master.buses.push_back({audioPathId(kMasterBusPath), 1.0f});

    BankContents strings;
    strings.bankId = bankIdOf(kMasterStringsBankFile);
    strings.strings.push_back({audioPathId(kMasterBusPath), std::string(kMasterBusPath)});
    for (const SoundEventInfo& info : kSoundEvents) {
        strings.strings.push_back({audioPathId(info.path), std::string(info.path)});
    }

    return writeBank(dir, kMasterBankFile, master) && writeBank(dir, kMasterStringsBankFile, strings) &&
           writeBank(dir, kSfxBankFile, eventBank(kSfxBankFile, signals)) &&
           writeBank(dir, kBgmBankFile, eventBank(kBgmBankFile, signals));
}
