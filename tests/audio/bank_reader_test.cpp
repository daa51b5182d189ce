#include "audio/bank_reader.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace {

// A small bank with every kind of section: two events (one looping, one stereo), a bus, strings.
BankContents sampleBank() {
    BankContents bank;
    bank.bankId = audioPathId("Test_Bank");
    bank.strings = {{audioPathId("event:/A"), "event:/A"}, {audioPathId("event:/B"), "event:/B"}};
    bank.buses = {{audioPathId("Bus:/"), 0.8f}};
    bank.samples.assign(300, -1500);
    BankEvent a;
    a.id = audioPathId("event:/A");
    a.flags = kEventLoops | kEventStreams;
    a.frameCount = 100;
    a.loopStart = 10;
    a.loopEnd = 100;
    BankEvent b;
    b.id = audioPathId("event:/B");
    b.volume = 0.5f;
    b.sampleRate = 44100;
    b.channels = 2;
    b.firstSample = 100;
    b.frameCount = 100;
    bank.events = {a, b};
    return bank;
}

AudioResult parse(const std::vector<uint8_t>& bytes) {
    BankContents out;
    return parseBank(bytes.data(), bytes.size(), out);
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Offset of a section's table entry (tag, offset, size, count).
size_t sectionEntry(const std::vector<uint8_t>& bytes, uint32_t tag) {
    uint16_t count = static_cast<uint16_t>(bytes[6] | bytes[7] << 8);
    for (size_t i = 0; i < count; ++i) {
        size_t at = kBankHeaderSize + kBankSectionEntrySize * i;
        uint32_t t = 0;
        std::memcpy(&t, &bytes[at], 4);
        if (t == tag) {
            return at;
        }
    }
    ADD_FAILURE() << "no such section";
    return 0;
}

// Whatever a parse accepts must be safe to play: every event inside the samples.
void expectPlayable(const BankContents& bank) {
    for (const BankEvent& e : bank.events) {
        ASSERT_LE(static_cast<uint64_t>(e.firstSample) + static_cast<uint64_t>(e.frameCount) * e.channels,
                  bank.samples.size());
        ASSERT_TRUE(e.channels == 1 || e.channels == 2);
        if (e.flags & kEventLoops) {
            ASSERT_LT(e.loopStart, e.loopEnd);
            ASSERT_LE(e.loopEnd, e.frameCount);
        }
    }
}

} // namespace

TEST(BankReader, RejectsHostileHeaders) {
    const std::vector<uint8_t> good = encodeBank(sampleBank());
    EXPECT_EQ(parseBank(nullptr, 0, *std::make_unique<BankContents>()), kAudioErrFileBad);
    EXPECT_EQ(parse({'G', 'R', 'B'}), kAudioErrFileBad);

    auto bad = good;
    bad[4] = 2;
    resealBank(bad);
    EXPECT_EQ(parse(bad), kAudioErrVersion) << "a future format version says so";

    bad = good;
    put32(bad, 8, static_cast<uint32_t>(good.size() + 100));
    EXPECT_EQ(parse(bad), kAudioErrFileBad) << "stated size larger than the file";

    bad = good;
    bad[good.size() - 1] ^= 0x40;
    EXPECT_EQ(parse(bad), kAudioErrFileBad) << "checksum catches a flipped sample";

    bad = good;
    bad[6] = 200; // section count
    resealBank(bad);
    EXPECT_EQ(parse(bad), kAudioErrFileBad) << "absurd section count";
}

TEST(BankReader, RejectsSectionsThatLieAboutTheirSize) {
    const std::vector<uint8_t> good = encodeBank(sampleBank());
    struct Case {
        const char* what;
        uint32_t tag;
        size_t field; // 4 offset, 8 size, 12 count
        uint32_t value;
    };
    const Case cases[] = {
        {"string count beyond the section", kSectionStrings, 12, 3},
        {"section size past the end of the file", kSectionSamples, 8, 0xFFFFFFF0u},
        {"odd sample byte count", kSectionSamples, 8, 599},
    };
    for (const Case& c : cases) {
        auto bad = good;
        put32(bad, sectionEntry(bad, c.tag) + c.field, c.value);
        resealBank(bad);
        EXPECT_EQ(parse(bad), kAudioErrFileBad) << c.what;
    }

    auto repeated = good;
    put32(repeated, sectionEntry(repeated, kSectionBuses), kSectionStrings);
    resealBank(repeated);
    EXPECT_EQ(parse(repeated), kAudioErrFileBad) << "a section twice";
}

TEST(BankReader, RejectsEventsThatPointOutsideTheirSamples) {
    auto withEvent = [](auto change) {
        BankContents bank = sampleBank();
        change(bank.events[1]);
        return parse(encodeBank(bank));
    };
    EXPECT_EQ(withEvent([](BankEvent& e) { e.frameCount = 101; }), kAudioErrFileBad) << "one frame too many";
    EXPECT_EQ(withEvent([](BankEvent& e) { e.frameCount = 0x80000000u; }), kAudioErrFileBad)
        << "wrapping size";
    EXPECT_EQ(withEvent([](BankEvent& e) { e.volume = std::nanf(""); }), kAudioErrFileBad);
    EXPECT_EQ(withEvent([](BankEvent& e) {
                  e.flags = kEventLoops;
                  e.loopStart = 0;
                  e.loopEnd = 101;
              }),
              kAudioErrFileBad)
        << "loop end past the sound";
    EXPECT_EQ(withEvent([](BankEvent& e) { e.id = audioPathId("event:/A"); }), kAudioErrFileBad)
        << "duplicate id";

    BankContents bank = sampleBank();
    bank.strings[0].path = "event:/Not A";
    EXPECT_EQ(parse(encodeBank(bank)), kAudioErrFileBad) << "string whose id is not its path's";
}

// Random damage must give a failure code or a bank that is safe to play, and never a read out
// of bounds (the sanitizer build turns one into a test failure).
TEST(BankReader, FuzzedBanksFailCleanly) {
    std::mt19937 random(1234);
    std::vector<std::vector<uint8_t>> seeds = {encodeBank(sampleBank())};
    std::ifstream strings(std::string(GRUMBO_RESOURCES_DIR) + "/Audio/Master Bank.strings.bank",
                          std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(strings), std::istreambuf_iterator<char>());
    ASSERT_EQ(parse(seeds.back()), kAudioOk) << "the build generates the banks";

    int accepted = 0;
    for (const auto& seed : seeds) {
        for (int round = 0; round < 3000; ++round) {
            std::vector<uint8_t> bytes = seed;
            if (round % 3 == 0) {
                bytes.resize(random() % bytes.size()); // truncation
            } else {
                int flips = 1 + static_cast<int>(random() % 4);
                for (int f = 0; f < flips; ++f) {
                    size_t at = random() % bytes.size();
                    bytes[at] = round % 3 == 1 ? static_cast<uint8_t>(bytes[at] ^ (1u << (random() % 8)))
                                               : static_cast<uint8_t>(random());
                }
                // Mostly past the checksum, so the structural checks meet the damage too.
                if (round % 5 != 0) {
                    resealBank(bytes);
                }
            }
            BankContents out;
            AudioResult r = parseBank(bytes.data(), bytes.size(), out);
            ASSERT_TRUE(r == kAudioOk || r == kAudioErrFileBad || r == kAudioErrVersion) << r;
            if (r == kAudioOk) {
                ++accepted;
                expectPlayable(out);
            } else {
                EXPECT_TRUE(out.events.empty() && out.samples.empty() && out.strings.empty());
            }
        }
    }
    EXPECT_GT(accepted, 0) << "some flips (inside samples) leave a valid bank";
}
