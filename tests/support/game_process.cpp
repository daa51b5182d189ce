#include "tests/support/game_process.hpp"

#include <SFML/Graphics/Image.hpp>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>

GameProcess::GameProcess(const std::string& executable, const std::string& workDir,
                         const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(executable.c_str())};
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (chdir(workDir.c_str()) != 0) {
            _exit(126);
        }
        execv(executable.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    outFd = fds[0];
}

GameProcess::GameProcess(const std::vector<std::string>& arguments)
    : GameProcess(GRUMBO_GAME_EXE, GRUMBO_RUN_DIR, arguments) {}

GameProcess::~GameProcess() {
    if (child > 0 && !exited) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (outFd >= 0) {
        close(outFd);
    }
}

void GameProcess::readAvailable(int timeoutMs) {
    if (outFd < 0) {
        return;
    }
    pollfd p{outFd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) {
        return;
    }
    char buffer[4096];
    ssize_t n = read(outFd, buffer, sizeof buffer);
    if (n > 0) {
        captured.append(buffer, static_cast<size_t>(n));
    } else {
        close(outFd);
        outFd = -1;
    }
}

bool GameProcess::waitForOutput(const std::string& text, std::chrono::seconds timeout) {
    return waitForOutput(text, 1, timeout);
}

bool GameProcess::waitForOutput(const std::string& text, size_t times, std::chrono::seconds timeout) {
    auto count = [&] {
        size_t found = 0;
        for (size_t at = captured.find(text); at != std::string::npos; at = captured.find(text, at + 1)) {
            ++found;
        }
        return found;
    };
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (count() < times) {
        if (std::chrono::steady_clock::now() > deadline || outFd < 0) {
            return count() >= times;
        }
        readAvailable(100);
    }
    return true;
}

int GameProcess::waitForExit(std::chrono::seconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        readAvailable(50);
        int status = 0;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            exited = true;
            while (outFd >= 0) {
                readAvailable(100);
            }
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
    return -1;
}

namespace {

unsigned long searchTree(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
        bool match = title == name;
        XFree(name);
        if (match) {
            return window;
        }
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && found == 0; ++i) {
            found = searchTree(display, children[i], title);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

} // namespace

unsigned long findWindowByTitle(const std::string& title, std::chrono::seconds timeout) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 0;
    }
    auto deadline = std::chrono::steady_clock::now() + timeout;
    unsigned long found = 0;
    while (found == 0 && std::chrono::steady_clock::now() < deadline) {
        found = searchTree(display, DefaultRootWindow(display), title);
        if (found == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    XCloseDisplay(display);
    return found;
}

bool requestWindowClose(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status ok = XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return ok != 0;
}

bool sendKey(unsigned long window, const std::string& keysym) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    KeySym sym = XStringToKeysym(keysym.c_str());
    XKeyEvent key;
    std::memset(&key, 0, sizeof key);
    key.display = display;
    key.window = window;
    key.root = DefaultRootWindow(display);
    key.same_screen = True;
    key.keycode = XKeysymToKeycode(display, sym);
    key.time = CurrentTime;
    bool ok = sym != NoSymbol && key.keycode != 0;
    for (int type : {KeyPress, KeyRelease}) {
        key.type = type;
        XEvent event;
        event.xkey = key;
        ok = XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event) !=
                 0 &&
             ok;
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    XCloseDisplay(display);
    return ok;
}

bool windowPixel(unsigned long window, int x, int y, unsigned char rgb[3]) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    bool ok = image != nullptr;
    if (ok) {
        unsigned long value = XGetPixel(image, 0, 0);
        rgb[0] = static_cast<unsigned char>((value & image->red_mask) >> 16);
        rgb[1] = static_cast<unsigned char>((value & image->green_mask) >> 8);
        rgb[2] = static_cast<unsigned char>(value & image->blue_mask);
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return ok;
}

bool saveWindowPicture(unsigned long window, const std::string& file) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XWindowAttributes attributes;
    XImage* image =
        XGetWindowAttributes(display, window, &attributes)
            ? XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap)
            : nullptr;
    bool ok = false;
    if (image != nullptr) {
        sf::Image picture;
        picture.create(static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height));
        for (int y = 0; y < attributes.height; ++y) {
            for (int x = 0; x < attributes.width; ++x) {
                unsigned long value = XGetPixel(image, x, y);
                picture.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                                 sf::Color(static_cast<sf::Uint8>((value & image->red_mask) >> 16),
                                           static_cast<sf::Uint8>((value & image->green_mask) >> 8),
                                           static_cast<sf::Uint8>(value & image->blue_mask)));
            }
        }
        XDestroyImage(image);
        ok = picture.saveToFile(file);
    }
    XCloseDisplay(display);
    return ok;
}

int RunCommand(const std::string& command, std::string& out) {
    out.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char chunk[512];
    for (size_t n = 0; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        out.append(chunk, n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
