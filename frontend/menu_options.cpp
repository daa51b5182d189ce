#include "frontend/menu_options.hpp"

MenuOptions& CommandLineMenuOptions() {
    static auto* options = new MenuOptions();
    return *options;
}
