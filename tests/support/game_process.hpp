#pragma once

// Runs the real game executable as a player would, from its run folder, and talks to its
// window through the X server: find it by title, ask it to close as a window manager would.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class GameProcess {
  public:
    // Starts the executable with the working directory set to the run folder, and the options.
    explicit GameProcess(const std::string& executable = GRUMBO_GAME_EXE,
                         const std::string& workDir = GRUMBO_RUN_DIR,
                         const std::vector<std::string>& arguments = {});
    // The game with these command-line arguments, from the run folder.
    explicit GameProcess(const std::vector<std::string>& arguments)
        : GameProcess(GRUMBO_GAME_EXE, GRUMBO_RUN_DIR, arguments) {}
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Reads standard output until the text appears or the time runs out.
    bool waitForOutput(const std::string& text, std::chrono::seconds timeout) {
        return waitForOutput(text, 1, timeout);
    }
    // The same until the text has appeared the given number of times in all.
    bool waitForOutput(const std::string& text, size_t times, std::chrono::seconds timeout);
    // Waits for the process to end; the exit code, or -1 on a signal or a timeout.
    int waitForExit(std::chrono::seconds timeout);
    // Everything read from standard output (and error) so far.
    const std::string& output() const { return captured; }
    pid_t pid() const { return child; }

  private:
    void readAvailable(int timeoutMs);
    pid_t child = -1;
    int outFd = -1;
    std::string captured;
    bool exited = false;
};

// The X window with this title, or one that goes on after it and a space ("Grumbo!" finds the
// editor's "Grumbo! map editor: Meadow"), or 0. Polls until the time runs out.
unsigned long findWindowByTitle(const std::string& title, std::chrono::seconds timeout);
// Sends WM_DELETE_WINDOW, which a window manager sends when the close button is clicked.
bool requestWindowClose(unsigned long window);
// A key press and its release, as the keyboard would send them to the window (an X keysym name
// such as "Return", "t" or "KP_8").
bool sendKey(unsigned long window, const std::string& keysym);
// The window's pixel at (x, y) from its top-left corner, as red, green and blue.
bool windowPixel(unsigned long window, int x, int y, unsigned char rgb[3]);
// The whole window as a PNG file; false when it cannot be read or written.
bool saveWindowPicture(unsigned long window, const std::string& file);

// Runs a shell command; its exit status (-1 when it did not exit), with its standard output in out.
int RunCommand(const std::string& command, std::string& out);
