#include "tests/support/temp_run_dir.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempRunDir::TempRunDir() {
    std::string pattern = (fs::temp_directory_path() / "grumbo-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        root = pattern;
    }
    fs::create_directories(root + "/run");
    fs::create_directories(root + "/Resources");
    previous = fs::current_path().string();
    fs::current_path(root + "/run");
}

TempRunDir::~TempRunDir() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(root, ignored);
}

void TempRunDir::writeResource(const std::string& relativePath, const std::string& content) {
    fs::path path = fs::path(root) / "Resources" / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string FileText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}
