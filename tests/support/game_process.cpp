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
        // A screen may add to the game's title (the map editor names its map after it).
        const std::string full = name;
        bool match = full == title || full.rfind(title + " ", 0) == 0;
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

// Each request opens its own connection and closes it after; false without a display.
template <typename Request> bool withDisplay(Request request) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    bool ok = request(display);
    XCloseDisplay(display);
    return ok;
}

// A rectangle of the window's pixels; an empty picture when it cannot be read.
sf::Image grab(Display* display, unsigned long window, int left, int top, int width, int height) {
    sf::Image picture;
    XImage* image = XGetImage(display, window, left, top, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return picture;
    }
    picture.create(static_cast<unsigned>(width), static_cast<unsigned>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned long value = XGetPixel(image, x, y);
            picture.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                             sf::Color(static_cast<sf::Uint8>((value & image->red_mask) >> 16),
                                       static_cast<sf::Uint8>((value & image->green_mask) >> 8),
                                       static_cast<sf::Uint8>(value & image->blue_mask)));
        }
    }
    XDestroyImage(image);
    return picture;
}

} // namespace

unsigned long findWindowByTitle(const std::string& title, std::chrono::seconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    unsigned long found = 0;
    withDisplay([&](Display* display) {
        while (found == 0 && std::chrono::steady_clock::now() < deadline) {
            found = searchTree(display, DefaultRootWindow(display), title);
            if (found == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        return true;
    });
    return found;
}

bool requestWindowClose(unsigned long window) {
    return withDisplay([&](Display* display) {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        Status ok = XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
        return ok != 0;
    });
}

bool sendKey(unsigned long window, const std::string& keysym) {
    return withDisplay([&](Display* display) {
        KeySym sym = XStringToKeysym(keysym.c_str());
        XEvent event;
        std::memset(&event, 0, sizeof event);
        XKeyEvent& key = event.xkey;
        key.display = display;
        key.window = window;
        key.root = DefaultRootWindow(display);
        key.same_screen = True;
        key.keycode = XKeysymToKeycode(display, sym);
        bool ok = sym != NoSymbol && key.keycode != 0;
        for (int type : {KeyPress, KeyRelease}) {
            key.type = type;
            long mask = type == KeyPress ? KeyPressMask : KeyReleaseMask;
            ok = XSendEvent(display, window, True, mask, &event) != 0 && ok;
            XFlush(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
        return ok;
    });
}

bool windowPixel(unsigned long window, int x, int y, unsigned char rgb[3]) {
    return withDisplay([&](Display* display) {
        sf::Image picture = grab(display, window, x, y, 1, 1);
        if (picture.getSize().x == 0) {
            return false;
        }
        sf::Color c = picture.getPixel(0, 0);
        rgb[0] = c.r;
        rgb[1] = c.g;
        rgb[2] = c.b;
        return true;
    });
}

bool saveWindowPicture(unsigned long window, const std::string& file) {
    return withDisplay([&](Display* display) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, window, &a)) {
            return false;
        }
        sf::Image picture = grab(display, window, 0, 0, a.width, a.height);
        return picture.getSize().x > 0 && picture.saveToFile(file);
    });
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
