#pragma once

#include <string>

// Where the generator writes and what it reads.
struct GeneratorOptions {
    std::string outDir;       // the Resources/ tree
    std::string dataDir;      // hand-written JSON files to copy into JsonData/
    std::string contactSheet; // when not empty, a PNG showing every generated picture
};

// Each part returns false after printing one line saying what went wrong.
bool generatePictures(const GeneratorOptions& options);
bool generateAudio(const GeneratorOptions& options);
