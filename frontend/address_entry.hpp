#pragma once

// The address a player types on the join screen. The keyboard types it; a pad picks characters
// from a row of digits, a dot and a colon, followed by Delete and Done.

#include <cstddef>
#include <string>
#include <string_view>

constexpr std::string_view kAddressCharacters = "0123456789.:";
constexpr size_t kAddressCells = kAddressCharacters.size() + 2; // the characters, Delete, Done
constexpr size_t kDeleteCell = kAddressCharacters.size();
constexpr size_t kDoneCell = kAddressCharacters.size() + 1;
constexpr size_t kMaxAddressLength = 64;

class AddressEntry {
  public:
    // The pad's left (-1) and right (+1) along the row, coming round at either end.
    void moveCursor(int step);
    // The pad's confirm on the cell under the cursor: adds its character or deletes the last one;
    // true on Done.
    bool pick();
    // Typed characters: those a host name or address holds (letters, digits, '.', ':', '-') are
    // added while there is room, the rest are left out.
    void type(std::string_view typed);
    // Takes the last character away.
    void erase();
    // Starts again with nothing typed, the cursor on the first digit.
    void clear();

    const std::string& text() const { return typed; }
    size_t cursor() const { return cell; }
    // The row as the screen shows it, the cursor's cell in brackets: "0 1 [2] ... : Del Done".
    std::string pickerRow() const;

  private:
    std::string typed;
    size_t cell = 0;
};
