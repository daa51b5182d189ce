#include "frontend/address_entry.hpp"

#include <cctype>

void AddressEntry::moveCursor(int step) {
    cell = step < 0 ? (cell + kAddressCells - 1) % kAddressCells : (cell + 1) % kAddressCells;
}

bool AddressEntry::pick() {
    if (cell == kDoneCell) {
        return true;
    }
    if (cell == kDeleteCell) {
        erase();
    } else {
        type(kAddressCharacters.substr(cell, 1));
    }
    return false;
}

void AddressEntry::type(std::string_view text) {
    for (char c : text) {
        const bool allowed = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == ':' || c == '-';
        if (allowed && typed.size() < kMaxAddressLength) {
            typed.push_back(c);
        }
    }
}

void AddressEntry::erase() {
    if (!typed.empty()) {
        typed.pop_back();
    }
}

void AddressEntry::clear() {
    typed.clear();
    cell = 0;
}

std::string AddressEntry::pickerRow() const {
    std::string row;
    for (size_t i = 0; i < kAddressCells; ++i) {
        std::string label = i == kDeleteCell ? "Del"
                            : i == kDoneCell ? "Done"
                                             : std::string(1, kAddressCharacters[i]);
        row += (row.empty() ? "" : " ") + (i == cell ? "[" + label + "]" : label);
    }
    return row;
}
