#include "render/Shader.hpp"

#include "support/GLTestContext.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>

using ShaderTest = fennik::test::GLTest;

// A broken shader ends the game at once. Its message goes to standard output, which
// the death test cannot see, so the child sends it to standard error; standard input
// is emptied so a console pause would return instead of hanging the test.
TEST_F(ShaderTest, MissingFileCompileAndLinkErrorsEndTheProcessSayingWhatFailed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fennik::test::TempDirectory shaders{"fennik_shaders"};
    shaders.write("assets/shader/good.vert", "#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n");
    shaders.write("assets/shader/good.frag", "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n");
    shaders.write("assets/shader/broken.frag", "#version 330 core\nout vec4 colour;\nvoid main() { colour = 1; }\n");
    // Compiles on its own; only the linker notices that the stage has no main.
    shaders.write("assets/shader/unlinkable.frag", "#version 330 core\nout vec4 c;\nvoid paint() { c = vec4(1); }\n");
    const std::array<std::array<const char*, 3>, 3> cases{{
        {"absent.vert", "good.frag", "Couldn't open shader file: assets/shader/absent.vert"},
        {"good.vert", "broken.frag", "Failed to compile shader: assets/shader/broken.frag\n.*error"},
        {"good.vert", "unlinkable.frag", "Failed to link shader program: .*good.vert \\+ .*unlinkable.frag\n.+"},
    }};
    for (const auto& [vertex, fragment, message] : cases) {
        EXPECT_EXIT({
            std::cout.rdbuf(std::cerr.rdbuf());
            if (!std::freopen("/dev/null", "r", stdin))
                std::abort();
            std::filesystem::current_path(shaders.path());
            fennik::render::Shader shader(vertex, fragment);
        }, ::testing::ExitedWithCode(1), message) << vertex << " + " << fragment;
    }
}
