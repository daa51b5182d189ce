// Program entry: hide the console, run the engine until the player quits.
#include "engine/engine.hpp"
#include "platform/console.hpp"

int main() {
    hideConsoleWindow();
    Engine::instance().run();
    return 0;
}
