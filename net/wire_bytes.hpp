#pragma once

// Little-endian fields in a packet, written in order and read back by a reader that takes nothing
// on trust: the first read past the end, or any value a check refuses, spoils it, and every read
// after that gives zero. Texts are a length byte and that many printable ASCII bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class WireWriter {
  public:
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) { little(v, 2); }
    void u32(uint32_t v) { little(v, 4); }
    void u64(uint64_t v) { little(v, 8); }
    void text(const std::string& s) {
        u8(static_cast<uint8_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    std::vector<uint8_t> bytes;

  private:
    void little(uint64_t v, int count) {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    }
};

class WireReader {
  public:
    // maxText: the longest text any field may hold.
    WireReader(std::span<const uint8_t> packet, size_t longestText) : data(packet), maxText(longestText) {}
    uint8_t u8() { return static_cast<uint8_t>(little(1)); }
    uint16_t u16() { return static_cast<uint16_t>(little(2)); }
    uint32_t u32() { return static_cast<uint32_t>(little(4)); }
    uint64_t u64() { return little(8); }
    std::string text() {
        const size_t size = u8();
        std::string out;
        if (size > maxText || at + size > data.size()) {
            good = false;
            return out;
        }
        for (size_t i = 0; i < size; ++i) {
            const auto c = static_cast<char>(data[at + i]);
            good = good && c >= 0x20 && c < 0x7f;
            out += c;
        }
        at += size;
        return out;
    }
    // Refuses the packet unless the condition holds.
    void require(bool condition) { good = good && condition; }
    bool ok() const { return good; }
    bool whole() const { return good && at == data.size(); }
    // Bytes not read yet.
    size_t left() const { return data.size() - at; }

  private:
    uint64_t little(int count) {
        if (!good || at + static_cast<size_t>(count) > data.size()) {
            good = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < count; ++i) {
            v |= static_cast<uint64_t>(data[at + static_cast<size_t>(i)]) << (8 * i);
        }
        at += static_cast<size_t>(count);
        return v;
    }
    std::span<const uint8_t> data;
    size_t maxText;
    size_t at = 0;
    bool good = true;
};
