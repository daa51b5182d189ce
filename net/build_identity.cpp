#include "net/build_identity.hpp"

#include "objects/resource_manager.hpp"
#include "platform/file_read.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// The program file itself can be tens of megabytes (a sanitized build); no data file comes near.
constexpr size_t kMaxProgramBytes = 512u * 1024u * 1024u;
constexpr size_t kMaxDataFileBytes = 16u * 1024u * 1024u;

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

uint64_t HashBytes(const std::string& bytes, uint64_t hash) {
    for (unsigned char c : bytes) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

uint64_t DataFilesHash(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".json") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    uint64_t hash = HashBytes("data");
    for (const std::string& name : names) {
        std::string content;
        const FileRead read = ReadRegularFile(folder + "/" + name, kMaxDataFileBytes, content);
        hash = HashBytes(
            name + "\n" + (read == FileRead::Ok ? std::to_string(content.size()) : "missing") + "\n", hash);
        hash = HashBytes(content, hash);
    }
    return hash;
}

const BuildIdentity& ThisBuild() {
    static const BuildIdentity identity = [] {
        BuildIdentity made;
        std::string program;
        const bool read = ReadRegularFile("/proc/self/exe", kMaxProgramBytes, program) == FileRead::Ok;
        made.build = std::string(GRUMBO_VERSION) + "-" + (read ? hex(HashBytes(program)) : "unknown");
        made.dataHash = DataFilesHash(ResourceManager::resourcePath("JsonData"));
        return made;
    }();
    return identity;
}
