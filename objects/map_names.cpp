#include "objects/map_names.hpp"

#include <algorithm>
#include <cctype>

bool IsPlainMapName(const std::string& name) {
    if (name.empty() || name.size() > kMaxMapNameLength ||
        !std::isalpha(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char ch) {
        return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '-';
    });
}

bool SameMapName(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}
