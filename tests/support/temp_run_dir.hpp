#pragma once

// A throw-away run folder with a Resources/ tree beside it; the process works inside it while
// the object lives, so code reading "../Resources/..." sees only what the test wrote.

#include <string>

class TempRunDir {
  public:
    TempRunDir();
    ~TempRunDir();
    TempRunDir(const TempRunDir&) = delete;
    TempRunDir& operator=(const TempRunDir&) = delete;

    // Writes a file under Resources/, creating folders as needed.
    void writeResource(const std::string& relativePath, const std::string& content);
    std::string resources() const { return root + "/Resources/"; }

  private:
    std::string root;
    std::string previous;
};

// Everything a file holds, or "" when it cannot be read.
std::string FileText(const std::string& path);
