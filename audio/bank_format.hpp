#pragma once

// The sound bank file format, version 1. All numbers are little-endian.
//
//   offset  size  field
//   0       4     magic "GRBK"
//   4       2     format version (kBankVersion)
//   6       2     section count (at most kBankMaxSections)
//   8       4     file size in bytes; must equal the size of the file
//   12      4     CRC-32 (IEEE) of every byte from offset 16 to the end of the file
//   16      8     bank id: audioPathId of the bank's name ("SFX_Bank"), so a bank loads once
//   24      16*n  section table, one entry per section: tag, offset, size, entry count (u32 each)
//
// Sections (each tag at most once, each lying wholly inside the file after the table):
//   "STRS"  path strings: per entry u64 id, u16 length, then that many bytes of the path. The
//           ids are audioPathId of the paths; the studio system finds events and buses by path
//           through these, so the strings bank must be loaded for lookups by path to work.
//   "BUSS"  buses: per entry u64 id, f32 default volume (12 bytes).
//   "EVNT"  events: per entry (40 bytes)
//             u64 id, u32 flags (kEventLoops, kEventStreams), f32 volume (0..kBankMaxVolume),
//             u32 sample rate, u16 channels (1 or 2), u16 zero,
//             u32 first sample (index into SMPL), u32 frame count,
//             u32 loop start, u32 loop end (frames; loop start < loop end <= frame count when
//             the event loops, both 0 otherwise).
//   "SMPL"  signed 16-bit PCM samples, interleaved when an event has two channels.
//
// A reader rejects a file that breaks any of these rules; it never trusts a size or a count
// before checking it against the bytes actually there.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kBankMagic[4] = {'G', 'R', 'B', 'K'};
inline constexpr uint16_t kBankVersion = 1;
inline constexpr size_t kBankHeaderSize = 24;
inline constexpr size_t kBankSectionEntrySize = 16;
inline constexpr size_t kBankEventEntrySize = 40;
inline constexpr size_t kBankBusEntrySize = 12;
inline constexpr size_t kBankCrcStart = 16;
inline constexpr uint16_t kBankMaxSections = 8;
inline constexpr uint32_t kBankMaxEntries = 4096;
inline constexpr size_t kBankMaxPathLength = 255;
inline constexpr uint32_t kBankMaxFileSize = 256u << 20;
inline constexpr float kBankMaxVolume = 4.0f;
inline constexpr uint32_t kBankMinSampleRate = 8000;
inline constexpr uint32_t kBankMaxSampleRate = 96000;

inline constexpr uint32_t kEventLoops = 1u << 0;   // plays its loop region until stopped
inline constexpr uint32_t kEventStreams = 1u << 1; // music: streamed rather than kept as one buffer
inline constexpr uint32_t kEventKnownFlags = kEventLoops | kEventStreams;

constexpr uint32_t bankTag(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}
inline constexpr uint32_t kSectionStrings = bankTag("STRS");
inline constexpr uint32_t kSectionBuses = bankTag("BUSS");
inline constexpr uint32_t kSectionEvents = bankTag("EVNT");
inline constexpr uint32_t kSectionSamples = bankTag("SMPL");

// The id an event or bus path (or a bank name) is stored under: 64-bit FNV-1a of its bytes.
constexpr uint64_t audioPathId(std::string_view path) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : path) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// CRC-32 with the IEEE polynomial (the one zip and PNG use).
inline uint32_t bankCrc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

struct BankString {
    uint64_t id = 0;
    std::string path;
};

struct BankBus {
    uint64_t id = 0;
    float volume = 1.0f;
};

struct BankEvent {
    uint64_t id = 0;
    uint32_t flags = 0;
    float volume = 1.0f;
    uint32_t sampleRate = 22050;
    uint16_t channels = 1;
    uint32_t firstSample = 0;
    uint32_t frameCount = 0;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
};

// Everything a bank file holds.
struct BankContents {
    uint64_t bankId = 0;
    std::vector<BankString> strings;
    std::vector<BankBus> buses;
    std::vector<BankEvent> events;
    std::vector<int16_t> samples;
};

// Writes a bank in the format above (the asset generator's side; tests use it to make
// hostile files). Empty sections are left out.
inline std::vector<uint8_t> encodeBank(const BankContents& bank) {
    struct Writer {
        std::vector<uint8_t> bytes;
        void u16(uint16_t v) {
            bytes.push_back(static_cast<uint8_t>(v));
            bytes.push_back(static_cast<uint8_t>(v >> 8));
        }
        void u32(uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
            }
        }
        void u64(uint64_t v) {
            u32(static_cast<uint32_t>(v));
            u32(static_cast<uint32_t>(v >> 32));
        }
        void f32(float v) {
            uint32_t bits = 0;
            std::memcpy(&bits, &v, sizeof bits);
            u32(bits);
        }
        void put32(size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
            }
        }
    };
    struct Section {
        uint32_t tag;
        uint32_t count;
        Writer body;
    };
    std::vector<Section> sections;
    if (!bank.strings.empty()) {
        Section s{kSectionStrings, static_cast<uint32_t>(bank.strings.size()), {}};
        for (const BankString& entry : bank.strings) {
            s.body.u64(entry.id);
            s.body.u16(static_cast<uint16_t>(entry.path.size()));
            s.body.bytes.insert(s.body.bytes.end(), entry.path.begin(), entry.path.end());
        }
        sections.push_back(std::move(s));
    }
    if (!bank.buses.empty()) {
        Section s{kSectionBuses, static_cast<uint32_t>(bank.buses.size()), {}};
        for (const BankBus& bus : bank.buses) {
            s.body.u64(bus.id);
            s.body.f32(bus.volume);
        }
        sections.push_back(std::move(s));
    }
    if (!bank.events.empty()) {
        Section s{kSectionEvents, static_cast<uint32_t>(bank.events.size()), {}};
        for (const BankEvent& e : bank.events) {
            s.body.u64(e.id);
            s.body.u32(e.flags);
            s.body.f32(e.volume);
            s.body.u32(e.sampleRate);
            s.body.u16(e.channels);
            s.body.u16(0);
            s.body.u32(e.firstSample);
            s.body.u32(e.frameCount);
            s.body.u32(e.loopStart);
            s.body.u32(e.loopEnd);
        }
        sections.push_back(std::move(s));
    }
    if (!bank.samples.empty()) {
        Section s{kSectionSamples, static_cast<uint32_t>(bank.samples.size()), {}};
        for (int16_t sample : bank.samples) {
            s.body.u16(static_cast<uint16_t>(sample));
        }
        sections.push_back(std::move(s));
    }

    Writer out;
    out.bytes.insert(out.bytes.end(), std::begin(kBankMagic), std::end(kBankMagic));
    out.u16(kBankVersion);
    out.u16(static_cast<uint16_t>(sections.size()));
    out.u32(0); // file size, patched below
    out.u32(0); // CRC, patched below
    out.u64(bank.bankId);
    size_t offset = kBankHeaderSize + kBankSectionEntrySize * sections.size();
    for (const Section& s : sections) {
        out.u32(s.tag);
        out.u32(static_cast<uint32_t>(offset));
        out.u32(static_cast<uint32_t>(s.body.bytes.size()));
        out.u32(s.count);
        offset += s.body.bytes.size();
    }
    for (const Section& s : sections) {
        out.bytes.insert(out.bytes.end(), s.body.bytes.begin(), s.body.bytes.end());
    }
    out.put32(8, static_cast<uint32_t>(out.bytes.size()));
    out.put32(12, bankCrc32(out.bytes.data() + kBankCrcStart, out.bytes.size() - kBankCrcStart));
    return out.bytes;
}

// Recomputes the CRC of an encoded bank in place (tests use it to craft files that pass the
// checksum and must be caught by the structural checks).
inline void resealBank(std::vector<uint8_t>& bytes) {
    if (bytes.size() < kBankHeaderSize) {
        return;
    }
    uint32_t crc = bankCrc32(bytes.data() + kBankCrcStart, bytes.size() - kBankCrcStart);
    for (int i = 0; i < 4; ++i) {
        bytes[12 + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
}
