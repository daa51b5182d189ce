#pragma once

#include <string>

// The game reads "./shaders/" and "../Resources/" from its working folder. Started from
// elsewhere (a desktop launcher, or build/run/Grumbo typed at the repository's root), it moves
// to the folder of its own executable when the files are found there; when they are found in
// neither place it says so in one line and goes on without them.
void ChooseRunFolder();

// Whether a folder holds the run files: "shaders/" in it and "Resources/" beside it.
bool IsRunFolder(const std::string& folder);
