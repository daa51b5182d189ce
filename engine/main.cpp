// Program entry: hide the console, run the engine until the player quits.
#include "engine/engine.hpp"
#include "platform/audio_output.hpp"
#include "platform/console.hpp"

int main() {
    hideConsoleWindow();
    // Before any thread exists: finding out whether there is a sound device forks a probe.
    settledAudioDevice();
    Engine::instance().run();
    return 0;
}
