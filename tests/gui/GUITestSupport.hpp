#pragma once

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"
#include "support/GLTestContext.hpp"
#include "support/OffscreenTarget.hpp"
#include "support/TestSettings.hpp"

#include <GL/glew.h>

namespace fennik::test {

// GL tests of GUI code. GUI elements read the window size from the settings record
// the registry hands out (800 x 800 here) and the cursor from scripted input, which
// starts at the top-left corner, away from every button.
class GUITest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        core::LevelManager::instance().setContext(window, &settings);
    }
    void TearDown() override
    {
        core::LevelManager::instance().shutdownLevels();
        core::LevelManager::instance().setContext(nullptr, nullptr);
        GLTest::TearDown();
    }
    // (x, y) in GUI pixels: origin bottom left, y up.
    void cursorAt(float x, float y) { input.moveCursor(x, static_cast<double>(settings.windowHeight) - y); }

    core::GameSettings settings = gameSettings();
    core::ScriptedInput input;
    core::ScopedInputSource scope{input};
};

// What every overlay leaves for the 3D pass after it: depth testing on, blending and
// culling off, no program bound.
inline bool overlayStateLeft()
{
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND) && !glIsEnabled(GL_CULL_FACE) && program == 0;
}

} // namespace fennik::test
