#include "tests/support/display.hpp"
