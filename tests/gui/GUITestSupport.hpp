#pragma once

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "support/GLTestContext.hpp"
#include "support/OffscreenTarget.hpp"
#include "support/TestSettings.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace fennik::test {

// GL tests of GUI code. GUI elements read the window size from the settings record
// the registry hands out: an 800 x 800 one for the test, taken back afterwards.
class GUITest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        core::LevelManager::instance().setContext(window, &settings);
    }
    void TearDown() override
    {
        core::LevelManager::instance().setContext(nullptr, nullptr);
        GLTest::TearDown();
    }

    core::GameSettings settings = gameSettings();
};

// What every overlay leaves for the 3D pass that follows it: depth testing on,
// blending and culling off, and no program, vertex array or texture bound.
inline ::testing::AssertionResult overlayStateLeft()
{
    GLint program = -1, vertexArray = -1, texture = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    if (glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND) && !glIsEnabled(GL_CULL_FACE) && program == 0 &&
        vertexArray == 0 && texture == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "depth " << bool(glIsEnabled(GL_DEPTH_TEST)) << ", blend "
                                         << bool(glIsEnabled(GL_BLEND)) << ", cull " << bool(glIsEnabled(GL_CULL_FACE))
                                         << ", program " << program << ", vertex array " << vertexArray
                                         << ", texture " << texture;
}

} // namespace fennik::test
