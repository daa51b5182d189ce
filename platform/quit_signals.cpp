#include "platform/quit_signals.hpp"

#include <csignal>

namespace {

volatile std::sig_atomic_t quitRequested = 0;

extern "C" void onQuitSignal(int) {
    quitRequested = 1;
}

} // namespace

void InstallQuitSignals() {
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool QuitSignalled() {
    return quitRequested != 0;
}
