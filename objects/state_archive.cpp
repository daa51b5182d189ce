#include "objects/state_archive.hpp"

#include <cstdio>

const std::byte* StateArchive::take(size_t count) {
    if (ranOut || cursor + count > buffer.size()) {
        ranOut = true;
        return nullptr;
    }
    const std::byte* at = buffer.data() + cursor;
    cursor += count;
    return at;
}

void StateArchive::carryFlag(const char* name, ActivationFlag& flag) {
    bool value = flag;
    carryValue(name, 0, value);
    if (mode == Mode::Load && !ranOut) {
        flag = value;
    }
}

bool StateArchive::carryCount(const char* name, uint32_t& count) {
    const uint32_t now = count;
    carryValue(name, 0, count);
    if (mode != Mode::Compare || ranOut) {
        return !ranOut;
    }
    // Comparing leaves count as it is and says whether the saved one was the same.
    const std::byte* at = buffer.data() + cursor - sizeof(uint32_t);
    uint32_t saved = 0;
    std::memcpy(&saved, at, sizeof saved);
    count = now;
    return saved == now;
}

// The index-th name of "a, b.c, d" (the fields as the code lists them).
void StateArchive::differ(const char* names, int index, std::string saved, std::string now) {
    if (firstMismatch) {
        return;
    }
    std::string all = names != nullptr ? names : "";
    size_t begin = 0;
    for (int i = 0; i < index && begin != std::string::npos; ++i) {
        begin = all.find(',', begin);
        begin = begin == std::string::npos ? begin : begin + 1;
    }
    std::string field = begin == std::string::npos ? all : all.substr(begin, all.find(',', begin) - begin);
    const size_t first = field.find_first_not_of(' ');
    const size_t last = field.find_last_not_of(' ');
    field = first == std::string::npos ? field : field.substr(first, last - first + 1);
    firstMismatch = StateMismatch{field, std::move(saved), std::move(now)};
}

std::string StateArchive::describeNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string StateArchive::describeBytes(const void* value, size_t size) {
    static const char* const kDigits = "0123456789abcdef";
    std::string text;
    const auto* bytes = static_cast<const unsigned char*>(value);
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}
