// The map list, whose names become data file names.
#include "objects/json_data.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : readMapList(parseJsonText(text, "fuzz"))) {
        // A name from the list must never lead out of the data folder.
        if (name.find('/') != std::string::npos || name.find("..") != std::string::npos) {
            __builtin_trap();
        }
    }
    return 0;
}
