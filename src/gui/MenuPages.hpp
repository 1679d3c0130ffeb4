#pragma once

#include "gui/LevelsScreen.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ReplaysScreen.hpp"

namespace fennik::gui {

// The full-window pages the menus open, one of each for the whole game: the start menu
// and every level's pause menu show these same pages. The game makes them once, before
// its levels, and lets them go after; each page can as well be built and driven on its
// own. Needs a current context and the registry's settings record.
struct MenuPages {
    OptionsScreen options;
    ReplaysScreen replays;
    LevelsScreen levels;
};

} // namespace fennik::gui
