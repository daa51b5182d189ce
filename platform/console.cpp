#include "platform/console.hpp"

void hideConsoleWindow() {}
