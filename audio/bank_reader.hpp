#pragma once

#include "audio/audio_result.hpp"
#include "audio/bank_format.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

// Checks and decodes the bytes of a bank file (format in audio/bank_format.hpp). On any
// failure `out` is left empty and the result says why: kAudioErrFileBad for a truncated,
// corrupt or inconsistent file, kAudioErrVersion for another format version.
AudioResult parseBank(const uint8_t* data, size_t size, BankContents& out);

// Reads a bank file from disk and parses it; kAudioErrFileNotFound when it cannot be read.
AudioResult readBankFile(const std::string& fileName, BankContents& out);
