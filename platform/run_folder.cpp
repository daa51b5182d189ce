#include "platform/run_folder.hpp"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

bool IsRunFolder(const std::string& folder) {
    std::error_code ignored;
    return fs::is_directory(fs::path(folder) / "shaders", ignored) &&
           fs::is_directory(fs::path(folder) / ".." / "Resources", ignored);
}

void ChooseRunFolder() {
    std::error_code error;
    fs::path here = fs::current_path(error);
    if (!error && IsRunFolder(here.string())) {
        return;
    }
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    fs::path own = error ? fs::path() : executable.parent_path();
    if (!own.empty() && IsRunFolder(own.string())) {
        fs::current_path(own, error);
        if (!error) {
            return;
        }
    }
    std::cout << "The game's files (shaders/ and ../Resources/) are neither in " << here.string()
              << " nor in " << own.string() << "; it runs without pictures, sounds and maps" << std::endl;
}
