// Program entry: hide the console, run the engine until the player quits.
//   Grumbo                      the splash, then the menus
//   Grumbo --match MAP [...]    straight into a match; Grumbo --help lists every option
//   Grumbo --edit [MAP]         the map editor
//   Grumbo --host | --join ADDRESS    an online match: the waiting screen, then matches
#include "editor/editor_session.hpp"
#include "engine/engine.hpp"
#include "frontend/command_line.hpp"
#include "frontend/game_states.hpp"
#include "frontend/menu_options.hpp"
#include "gameplay/rumble.hpp"
#include "match/match_run.hpp"
#include "match/recording_writer.hpp"
#include "match/sync_test.hpp"
#include "net/online_start.hpp"
#include "objects/map_catalogue.hpp"
#include "platform/audio_output.hpp"
#include "platform/console.hpp"
#include "platform/display.hpp"
#include "platform/quit_signals.hpp"
#include "platform/run_folder.hpp"

#include <iostream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// Sanitized builds only: the leak checker follows the thread-local blocks of Mesa's software
// renderer through records this C library can leave stale, and now and then crashes at exit.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
#endif

namespace {

// Sets up what the options ask of the matches of this run; false when the game should not start.
bool prepareMatches(const CommandLine& options, const std::vector<std::string>& maps) {
    if (options.match) {
        WriteQuickMatchSettings(*options.match);
        Engine::instance().firstState = GameStateId::Play;
    }
    if (!options.record.empty()) {
        RecordMatches(options.record, options.online.wanted());
    }
    if (!options.replay.empty() && !ReplayMatch(options.replay, maps)) {
        return false;
    }
    if (options.soakMinutes > 0) {
        SoakMatches(options.soakMinutes, maps);
    }
    if (options.syncTest > 0 && options.match) {
        // Lives as long as the program: the engine runs every frame of the match through it.
        static SyncTest syncTest(options.syncTest);
        syncTest.quitAtPodium = true;
        Engine::instance().pacer = &syncTest;
        MatchRun::instance().syncTest = true;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    hideConsoleWindow();
    ChooseRunFolder();
    InstallQuitSignals();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // The shipped maps and the player's own: --match and recordings may name either.
    const MapCatalogue& catalogue = GameMaps();
    std::vector<std::string> maps = catalogue.names();
    CommandLine options = ParseCommandLine(arguments, maps, catalogue.shippedNames());
    if (options.exitStatus) {
        return *options.exitStatus;
    }
    if (options.find) {
        return FindGames(*options.find);
    }
    // A recording that could not be written is told now, not at the podium.
    if (!options.record.empty() && !CheckRecordingTarget(options.record)) {
        return 2;
    }
    if (!prepareMatches(options, maps)) {
        return 1;
    }
    CommandLineMenuOptions() = {options.menuSeconds, options.lookAt, options.menuPort};
    // A map the editor cannot open is told now too, before any window.
    if (!options.edit.empty() || options.editNew) {
        if (!StartEditor(options.editNew ? NewMapName() : options.edit, options.theme)) {
            return 2; // a map file that does not read cleanly is not opened
        }
    } else if (!options.theme.empty()) {
        std::cout << "--theme goes with --edit; ignoring it" << std::endl;
    }
    if (options.online.wanted() && !StartOnline(options.online)) {
        return 1;
    }
    if (!options.noWindow && !DisplayAvailable()) {
        std::cout << "No X display found: Grumbo needs a graphical session to open its window." << std::endl;
        return 1;
    }
    Engine::instance().stateFactory = MakeGameState;
    Engine::instance().startWindowed = options.windowed;
    Engine::instance().headless = options.noWindow;
    SetRumbleEnabled(options.rumble);
    // Before any thread exists: finding out whether there is a sound device forks a probe.
    settledAudioDevice();
    Engine::instance().run();
    StopOnline();
    const MatchRun& run = MatchRun::instance();
    return run.soakFailures > 0 || run.replayFailed || run.syncTestFailed ? 1 : 0;
}
