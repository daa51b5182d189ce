// The banks the asset generator writes: every event the game plays, seamless loops, levels
// that leave headroom, and sizes that keep the game small.
#include "audio/bank_reader.hpp"
#include "tests/audio/sound_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
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
    for (const char* folder :
         {"engine", "objects", "graphics", "physics", "gameplay", "match", "frontend", "audio"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.path().filename() == "sound_events.hpp") {
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                size_t at = line.find("\"event:/");
                bool names = at != std::string::npos && at + 8 < line.size() &&
                             std::isalpha(static_cast<unsigned char>(line[at + 8]));
                EXPECT_FALSE(names) << entry.path() << ":" << number << ": " << line;
            }
        }
    }
}

// Loops run into their start without a click; one-shots start and end on silence.
TEST(GeneratedBanks, NothingClicks) {
    auto events = loadGeneratedEvents();
    for (const SoundEventInfo& info : kSoundEvents) {
        const LoadedEvent& loaded = find(events, info);
        const BankEvent& e = loaded.event;
        const std::vector<int16_t>& s = loaded.samples;
        if (!(e.flags & kEventLoops)) {
            EXPECT_LE(std::abs(s.front()), 64) << info.path;
            EXPECT_LE(std::abs(s.back()), 64) << info.path;
            continue;
        }
        ASSERT_EQ(e.loopStart, 0u) << info.path;
        ASSERT_EQ(e.loopEnd, e.frameCount) << info.path;
        // Across the seam the wave must move no more than it does just before and after it.
        auto step = [&](size_t i) { return std::abs(static_cast<int>(s[(i + 1) % s.size()]) - s[i]); };
        int local = 0;
        for (size_t i = 0; i < 48; ++i) {
            local = std::max({local, step(i), step(s.size() - 2 - i)});
        }
        int seam = step(s.size() - 1);
        EXPECT_LE(seam, local + 8) << info.path << ": jump " << seam << " where neighbours move " << local;
    }
}
