#pragma once

// Folds values into one 64-bit number, FNV-1a over their bytes: floats bit for bit, so two
// worlds that differ in any bit of any value give different numbers. Online machines compare the
// numbers of their worlds to find out whether they still agree.

#include "objects/math_types.hpp"

#include <cstdint>

class WorldHasher {
  public:
    static constexpr uint64_t kStart = 1469598103934665603ull;

    // Goes on from a number already made (the bodies'), or starts afresh.
    explicit WorldHasher(uint64_t start = kStart) : hash(start) {}

    void add(float value);
    void add(uint32_t value);
    void add(uint64_t value);
    void add(int32_t value) { add(static_cast<uint32_t>(value)); }
    void add(bool value) { add(static_cast<uint32_t>(value ? 1 : 0)); }
    void add(vec2 value);
    void add(vec3 value);
    // Several values, in the order given.
    template <class... Values> void addAll(const Values&... values) { (add(values), ...); }

    uint64_t value() const { return hash; }

  private:
    void addBytes(uint64_t raw, int count);
    uint64_t hash;
};
