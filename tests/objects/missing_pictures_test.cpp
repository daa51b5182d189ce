#include "objects/resource_manager.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

// A lost folder or file is told in one line per folder once the screen has loaded, and the
// draws do not tell those pictures again.
TEST(MissingPictures, AreToldOncePerFolder) {
    TempRunDir dir;
    dir.writeResource("Texture/Here/Kept.txt", "not a picture, but the folder exists");
    ResourceManager& resources = ResourceManager::instance();
    testing::internal::CaptureStdout();
    for (const char* name : {"A", "B", "C"}) {
        EXPECT_EQ(resources.loadTexture(name, "../Resources/Texture/Gone/Deeper/" + std::string(name) + ".png"),
                  nullptr);
    }
    resources.loadTexture("D", "../Resources/Texture/Here/D.png");
    resources.loadTexture("E", "../Resources/Texture/Here/E.png");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "nothing until the screen has loaded";

    testing::internal::CaptureStdout();
    resources.tellMissingPictures();
    resources.reportMissingTexture("A");
    resources.reportMissingTexture("E");
    resources.reportMissingTexture("Unknown");
    resources.tellMissingPictures();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Missing folder ../Resources/Texture/Gone/: 3 pictures could not be loaded\n"
              "Missing pictures in ../Resources/Texture/Here/: D.png, E.png\n"
              "CAN'T FIND TEXTURE\n");
}
