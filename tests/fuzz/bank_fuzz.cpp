// Sound banks. Mutated banks almost never pass the size and checksum in their header, so the
// mutator puts both right after every change: the fuzzer then reaches the section checks behind
// them, which is where a hostile bank could hurt.
#include "audio/bank_format.hpp"
#include "audio/bank_reader.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (size >= kBankHeaderSize) {
        std::vector<uint8_t> bytes(data, data + size);
        for (int i = 0; i < 4; ++i) {
            bytes[8 + i] = static_cast<uint8_t>(size >> (8 * i));
        }
        resealBank(bytes);
        std::copy(bytes.begin(), bytes.end(), data);
    }
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BankContents contents;
    AudioResult result = parseBank(data, size, contents);
    if (result != kAudioOk && (!contents.events.empty() || !contents.samples.empty())) {
        __builtin_trap(); // a refused bank must leave nothing behind
    }
    return 0;
}
