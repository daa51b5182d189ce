// Program entry: hide the console, run the engine until the player quits.
//   Grumbo                      the splash, then the menus
//   Grumbo --match MAP [...]    straight into a match (see match/quick_match.hpp)
#include "engine/engine.hpp"
#include "frontend/command_line.hpp"
#include "frontend/game_states.hpp"
#include "objects/json_data.hpp"
#include "platform/audio_output.hpp"
#include "platform/console.hpp"
#include "platform/display.hpp"
#include "platform/quit_signals.hpp"
#include "platform/run_folder.hpp"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    hideConsoleWindow();
    ChooseRunFolder();
    InstallQuitSignals();
    if (!DisplayAvailable()) {
        std::cout << "No X display found: Grumbo needs a graphical session to open its window." << std::endl;
        return 1;
    }
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine options;
    if (!arguments.empty()) {
        options = ParseCommandLine(arguments, readMapList(loadJson("MapSetting")));
        if (options.exitStatus) {
            return *options.exitStatus;
        }
        if (options.match) {
            WriteQuickMatchSettings(*options.match);
            Engine::instance().firstState = GameStateId::Play;
        }
        Engine::instance().startWindowed = options.windowed;
    }
    Engine::instance().stateFactory = MakeGameState;
    // Before any thread exists: finding out whether there is a sound device forks a probe.
    settledAudioDevice();
    Engine::instance().run();
    return 0;
}
