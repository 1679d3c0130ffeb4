#include "core/StubLevel.hpp"

#include "core/Log.hpp"

namespace fennik::core {

void StubLevel::init(GLFWwindow*, GameSettings*)
{
    log::info("Default 'stub' level initialized!");
    initialized = true;
}

} // namespace fennik::core
