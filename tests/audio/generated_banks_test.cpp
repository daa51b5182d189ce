// The banks the asset generator writes: every event the game plays, seamless loops, levels
// that leave headroom, and sizes that keep the game small.
#include "audio/bank_reader.hpp"
#include "tests/audio/sound_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

struct LoadedEvent {
    BankEvent event;
    std::vector<int16_t> samples;
};

std::map<std::string, LoadedEvent> loadGeneratedEvents() {
    BankContents strings;
    EXPECT_EQ(readBankFile(generatedBank(kMasterStringsBankFile), strings), kAudioOk);
    std::map<uint64_t, std::string> pathOf;
    for (const BankString& s : strings.strings) {
        pathOf[s.id] = s.path;
    }
    std::map<std::string, LoadedEvent> events;
    for (std::string_view file : {kSfxBankFile, kBgmBankFile}) {
        BankContents bank;
        EXPECT_EQ(readBankFile(generatedBank(file), bank), kAudioOk) << file;
        for (const BankEvent& e : bank.events) {
            LoadedEvent& loaded = events[pathOf[e.id] + "@" + std::string(file)];
            loaded.event = e;
            loaded.samples.assign(bank.samples.begin() + e.firstSample,
                                  bank.samples.begin() + e.firstSample + e.frameCount * e.channels);
        }
    }
    return events;
}

const LoadedEvent& find(const std::map<std::string, LoadedEvent>& events, const SoundEventInfo& info) {
    return events.at(std::string(info.path) + "@" + std::string(info.bank));
}

float peakOf(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return static_cast<float>(peak) / 32767.0f;
}

// Loudness of the loudest tenth of a second: what a player hears of a short effect.
float loudestRms(const std::vector<int16_t>& samples, uint32_t rate) {
    size_t window = rate / 10;
    float best = 0.0f;
    for (size_t start = 0; start + window <= samples.size(); start += window / 2) {
        double sum = 0.0;
        for (size_t i = start; i < start + window; ++i) {
            sum += static_cast<double>(samples[i]) * samples[i];
        }
        best = std::max(best, static_cast<float>(std::sqrt(sum / static_cast<double>(window)) / 32767.0));
    }
    return best;
}

float rms(const std::vector<int16_t>& samples) {
    double sum = 0.0;
    for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return static_cast<float>(std::sqrt(sum / static_cast<double>(samples.size())) / 32767.0);
}

bool isMusic(const SoundEventInfo& info) {
    return info.bank == kBgmBankFile;
}

} // namespace

TEST(GeneratedBanks, EveryEventOfTheGameIsInItsBank) {
    auto events = loadGeneratedEvents();
    EXPECT_EQ(events.size(), kSoundEvents.size()) << "no strays, no doubles";
    for (const SoundEventInfo& info : kSoundEvents) {
        ASSERT_EQ(events.count(std::string(info.path) + "@" + std::string(info.bank)), 1u) << info.path;
        const BankEvent& e = find(events, info).event;
        EXPECT_EQ(e.sampleRate, 22050u) << info.path;
        EXPECT_EQ(e.channels, 1) << info.path;
        bool loops = (e.flags & kEventLoops) != 0;
        EXPECT_EQ(loops, isMusic(info) || info.path == kEventBlackHole) << info.path;
        EXPECT_EQ((e.flags & kEventStreams) != 0, isMusic(info)) << "music streams, effects play from memory";
    }
}

// The game plays events only through the table above: a path written out anywhere else would
// go quiet without a word the day its event is renamed.
TEST(GeneratedBanks, NoSourceFileSpellsAnEventPathOfItsOwn) {
    namespace fs = std::filesystem;
    const fs::path root = GRUMBO_SOURCE_DIR;
    for (const char* folder : {"engine", "objects", "graphics", "physics", "gameplay", "match", "frontend", "audio"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.path().filename() == "sound_events.hpp") {
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                size_t at = line.find("\"event:/");
                bool names = at != std::string::npos && at + 8 < line.size() && std::isalpha(static_cast<unsigned char>(line[at + 8]));
                EXPECT_FALSE(names) << entry.path() << ":" << number << ": " << line;
            }
        }
    }
}

TEST(GeneratedBanks, LoopsRunIntoTheirStartWithoutAClick) {
    auto events = loadGeneratedEvents();
    for (const SoundEventInfo& info : kSoundEvents) {
        const LoadedEvent& loaded = find(events, info);
        const BankEvent& e = loaded.event;
        if (!(e.flags & kEventLoops)) {
            continue;
        }
        ASSERT_EQ(e.loopStart, 0u) << info.path;
        ASSERT_EQ(e.loopEnd, e.frameCount) << info.path;
        const std::vector<int16_t>& s = loaded.samples;
        // Across the seam the wave must move no more than it does just before and after it.
        auto step = [&](size_t i) { return std::abs(static_cast<int>(s[(i + 1) % s.size()]) - s[i]); };
        int local = 0;
        for (size_t i = 0; i < 48; ++i) {
            local = std::max({local, step(i), step(s.size() - 2 - i)});
        }
        int seam = step(s.size() - 1);
        EXPECT_LE(seam, local + 8) << info.path << ": jump " << seam << " where neighbours move " << local;

        // And the slope carries on: a loop cut at the wrong sample can be level yet bend sharply.
        int before = static_cast<int>(s[s.size() - 1]) - s[s.size() - 2];
        int after = static_cast<int>(s[0]) - s[s.size() - 1];
        int bendLimit = 8;
        for (size_t i = 1; i < 48; ++i) {
            int d1 = static_cast<int>(s[i + 1]) - s[i];
            int d0 = static_cast<int>(s[i]) - s[i - 1];
            bendLimit = std::max(bendLimit, std::abs(d1 - d0));
        }
        EXPECT_LE(std::abs(after - before), 2 * bendLimit) << info.path;
    }
}

TEST(GeneratedBanks, OneShotsStartAndEndOnSilence) {
    auto events = loadGeneratedEvents();
    for (const SoundEventInfo& info : kSoundEvents) {
        const LoadedEvent& loaded = find(events, info);
        if (loaded.event.flags & kEventLoops) {
            continue;
        }
        EXPECT_LE(std::abs(loaded.samples.front()), 64) << info.path;
        EXPECT_LE(std::abs(loaded.samples.back()), 64) << info.path;
    }
}

TEST(GeneratedBanks, EffectsSitOverTheMusicAndNothingClips) {
    auto events = loadGeneratedEvents();
    float loudestMusicPeak = 0.0f;
    float loudestMusicRms = 0.0f;
    float loudestEffectPeak = 0.0f;
    for (const SoundEventInfo& info : kSoundEvents) {
        const LoadedEvent& loaded = find(events, info);
        float peak = peakOf(loaded.samples);
        EXPECT_GT(peak, 0.1f) << info.path << " is audible";
        if (isMusic(info)) {
            loudestMusicPeak = std::max(loudestMusicPeak, peak);
            loudestMusicRms = std::max(loudestMusicRms, rms(loaded.samples));
        } else {
            loudestEffectPeak = std::max(loudestEffectPeak, peak);
        }
    }
    EXPECT_LE(loudestEffectPeak, 0.71f) << "3 dB of headroom on every effect";
    EXPECT_LE(loudestMusicPeak + loudestEffectPeak, 1.0f) << "an effect over the music does not clip";
    for (const SoundEventInfo& info : kSoundEvents) {
        if (!isMusic(info)) {
            const LoadedEvent& loaded = find(events, info);
            EXPECT_GT(loudestRms(loaded.samples, loaded.event.sampleRate), 1.5f * loudestMusicRms)
                << info.path << " stands out from the music";
        }
    }
}

TEST(GeneratedBanks, LengthsAndSizesStayReasonable) {
    auto events = loadGeneratedEvents();
    for (const SoundEventInfo& info : kSoundEvents) {
        const BankEvent& e = find(events, info).event;
        float seconds = static_cast<float>(e.frameCount) / static_cast<float>(e.sampleRate);
        if (isMusic(info)) {
            EXPECT_GE(seconds, 15.0f) << info.path;
            EXPECT_LE(seconds, 40.0f) << info.path;
        } else {
            EXPECT_GE(seconds, 0.2f) << info.path;
            EXPECT_LE(seconds, 5.0f) << info.path << ": effects are short";
        }
    }
    uintmax_t total = 0;
    for (std::string_view file : {kMasterBankFile, kMasterStringsBankFile, kSfxBankFile, kBgmBankFile}) {
        total += std::filesystem::file_size(generatedBank(file));
    }
    EXPECT_LT(total, 6u << 20);
}
