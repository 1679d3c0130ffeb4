#pragma once

#include "app/GameBase.hpp"

#include <memory>

namespace fennik::app {

// The game itself: creates its levels, registers them (each loads everything it
// will ever use while the splash screen shows) and opens on the start menu.
class FenniksZavororor final : public GameBase {
public:
    explicit FenniksZavororor(const std::string& title) : GameBase(title) {}

protected:
    void init() override;
    // Lets the levels go while the windows' contexts still exist.
    void shutdown() override;
};

} // namespace fennik::app
