#pragma once

#include <string>

// Loads the sound banks and plays events by path.
class SoundManager {
public:
    static SoundManager& instance();

    void init();
    void loadBank(const std::string& fileName);
    void update();
    // Releases instances, banks and the system, in that order (engine shutdown).
    void shutdown();
};
