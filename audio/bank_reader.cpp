#include "audio/bank_reader.hpp"

#include "platform/file_read.hpp"

#include <cmath>
#include <fstream>
#include <unordered_set>

namespace {

// Reads little-endian numbers from a byte range and refuses to step past its end.
class ByteReader {
  public:
    ByteReader(const uint8_t* begin, size_t size) : data(begin), end(size) {}

    bool has(size_t count) const { return count <= end - at; }
    bool skip(size_t count) {
        if (!has(count)) {
            return false;
        }
        at += count;
        return true;
    }
    bool u16(uint16_t& v) {
        if (!has(2)) {
            return false;
        }
        v = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
        at += 2;
        return true;
    }
    bool u32(uint32_t& v) {
        if (!has(4)) {
            return false;
        }
        v = static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
            static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
        at += 4;
        return true;
    }
    bool u64(uint64_t& v) {
        uint32_t lo = 0;
        uint32_t hi = 0;
        if (!u32(lo) || !u32(hi)) {
            return false;
        }
        v = static_cast<uint64_t>(hi) << 32 | lo;
        return true;
    }
    bool f32(float& v) {
        uint32_t bits = 0;
        if (!u32(bits)) {
            return false;
        }
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    bool text(size_t length, std::string& v) {
        if (!has(length)) {
            return false;
        }
        v.assign(reinterpret_cast<const char*>(data + at), length);
        at += length;
        return true;
    }
    bool atEnd() const { return at == end; }

  private:
    const uint8_t* data;
    size_t end;
    size_t at = 0;
};

struct SectionEntry {
    uint32_t tag = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t count = 0;
};

bool printablePath(const std::string& path) {
    if (path.empty() || path.size() > kBankMaxPathLength) {
        return false;
    }
    for (char c : path) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

bool readStrings(ByteReader r, uint32_t count, BankContents& out) {
    std::unordered_set<uint64_t> seen;
    for (uint32_t i = 0; i < count; ++i) {
        BankString entry;
        uint16_t length = 0;
        if (!r.u64(entry.id) || !r.u16(length) || !r.text(length, entry.path)) {
            return false;
        }
        if (!printablePath(entry.path) || entry.id != audioPathId(entry.path) ||
            !seen.insert(entry.id).second) {
            return false;
        }
        out.strings.push_back(std::move(entry));
    }
    return r.atEnd();
}

bool readBuses(ByteReader r, uint32_t count, uint32_t size, BankContents& out) {
    if (static_cast<uint64_t>(count) * kBankBusEntrySize != size) {
        return false;
    }
    std::unordered_set<uint64_t> seen;
    for (uint32_t i = 0; i < count; ++i) {
        BankBus bus;
        if (!r.u64(bus.id) || !r.f32(bus.volume)) {
            return false;
        }
        if (!std::isfinite(bus.volume) || bus.volume < 0.0f || bus.volume > kBankMaxVolume ||
            !seen.insert(bus.id).second) {
            return false;
        }
        out.buses.push_back(bus);
    }
    return true;
}

bool validEvent(const BankEvent& e, size_t sampleCount) {
    if ((e.flags & ~kEventKnownFlags) != 0 || !std::isfinite(e.volume) || e.volume < 0.0f ||
        e.volume > kBankMaxVolume) {
        return false;
    }
    if (e.sampleRate < kBankMinSampleRate || e.sampleRate > kBankMaxSampleRate) {
        return false;
    }
    if ((e.channels != 1 && e.channels != 2) || e.frameCount == 0) {
        return false;
    }
    uint64_t last = static_cast<uint64_t>(e.firstSample) + static_cast<uint64_t>(e.frameCount) * e.channels;
    if (last > sampleCount) {
        return false;
    }
    if (e.flags & kEventLoops) {
        return e.loopStart < e.loopEnd && e.loopEnd <= e.frameCount;
    }
    return e.loopStart == 0 && e.loopEnd == 0;
}

bool readEvents(ByteReader r, uint32_t count, uint32_t size, size_t sampleCount, BankContents& out) {
    if (static_cast<uint64_t>(count) * kBankEventEntrySize != size) {
        return false;
    }
    std::unordered_set<uint64_t> seen;
    for (uint32_t i = 0; i < count; ++i) {
        BankEvent e;
        uint16_t zero = 0;
        if (!r.u64(e.id) || !r.u32(e.flags) || !r.f32(e.volume) || !r.u32(e.sampleRate) ||
            !r.u16(e.channels) || !r.u16(zero) || !r.u32(e.firstSample) || !r.u32(e.frameCount) ||
            !r.u32(e.loopStart) || !r.u32(e.loopEnd)) {
            return false;
        }
        if (zero != 0 || !validEvent(e, sampleCount) || !seen.insert(e.id).second) {
            return false;
        }
        out.events.push_back(e);
    }
    return true;
}

AudioResult parseChecked(const uint8_t* data, size_t size, BankContents& out) {
    if (size < kBankHeaderSize || size > kBankMaxFileSize || std::memcmp(data, kBankMagic, 4) != 0) {
        return kAudioErrFileBad;
    }
    ByteReader header(data + 4, kBankHeaderSize - 4);
    uint16_t version = 0;
    uint16_t sectionCount = 0;
    uint32_t fileSize = 0;
    uint32_t crc = 0;
    header.u16(version);
    header.u16(sectionCount);
    header.u32(fileSize);
    header.u32(crc);
    header.u64(out.bankId);
    if (version != kBankVersion) {
        return kAudioErrVersion;
    }
    if (fileSize != size || crc != bankCrc32(data + kBankCrcStart, size - kBankCrcStart)) {
        return kAudioErrFileBad;
    }
    if (sectionCount > kBankMaxSections) {
        return kAudioErrFileBad;
    }
    size_t tableEnd = kBankHeaderSize + kBankSectionEntrySize * sectionCount;
    if (tableEnd > size) {
        return kAudioErrFileBad;
    }

    ByteReader table(data + kBankHeaderSize, tableEnd - kBankHeaderSize);
    const SectionEntry* strings = nullptr;
    const SectionEntry* buses = nullptr;
    const SectionEntry* events = nullptr;
    const SectionEntry* samples = nullptr;
    SectionEntry entries[kBankMaxSections];
    for (uint16_t i = 0; i < sectionCount; ++i) {
        SectionEntry& s = entries[i];
        table.u32(s.tag);
        table.u32(s.offset);
        table.u32(s.size);
        table.u32(s.count);
        if (s.offset < tableEnd || s.offset > size || s.size > size - s.offset) {
            return kAudioErrFileBad;
        }
        // The count of the sample section is its number of samples; every other section
        // counts entries, which no real bank has thousands of.
        if (s.tag == kSectionSamples ? s.count != s.size / 2 : s.count > kBankMaxEntries) {
            return kAudioErrFileBad;
        }
        const SectionEntry** slot = s.tag == kSectionStrings   ? &strings
                                    : s.tag == kSectionBuses   ? &buses
                                    : s.tag == kSectionEvents  ? &events
                                    : s.tag == kSectionSamples ? &samples
                                                               : nullptr;
        if (slot == nullptr || *slot != nullptr) {
            return kAudioErrFileBad; // unknown or repeated section
        }
        *slot = &s;
    }

    if (samples != nullptr) {
        if (samples->size % 2 != 0) {
            return kAudioErrFileBad;
        }
        const uint8_t* p = data + samples->offset;
        out.samples.resize(samples->size / 2);
        for (size_t i = 0; i < out.samples.size(); ++i) {
            out.samples[i] = static_cast<int16_t>(static_cast<uint16_t>(p[2 * i] | p[2 * i + 1] << 8));
        }
    }
    if (strings != nullptr &&
        !readStrings(ByteReader(data + strings->offset, strings->size), strings->count, out)) {
        return kAudioErrFileBad;
    }
    if (buses != nullptr &&
        !readBuses(ByteReader(data + buses->offset, buses->size), buses->count, buses->size, out)) {
        return kAudioErrFileBad;
    }
    if (events != nullptr && !readEvents(ByteReader(data + events->offset, events->size), events->count,
                                         events->size, out.samples.size(), out)) {
        return kAudioErrFileBad;
    }
    return kAudioOk;
}

} // namespace

AudioResult parseBank(const uint8_t* data, size_t size, BankContents& out) {
    out = BankContents{};
    if (data == nullptr) {
        return kAudioErrFileBad;
    }
    AudioResult result = parseChecked(data, size, out);
    if (result != kAudioOk) {
        out = BankContents{};
    }
    return result;
}

AudioResult readBankFile(const std::string& fileName, BankContents& out) {
    out = BankContents{};
    // Only a regular file, and never more than a bank may hold: a link to a device or a pipe
    // must neither hang the game nor run it out of memory.
    std::string bytes;
    switch (ReadRegularFile(fileName, kBankMaxFileSize, bytes)) {
    case FileRead::Ok:
        break;
    case FileRead::Missing:
        return kAudioErrFileNotFound;
    default:
        return kAudioErrFileBad;
    }
    return parseBank(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}
