#include "render/Shader.hpp"

#include "support/GLTestContext.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

using fennik::render::Shader;
using fennik::test::GLTest;
using fennik::test::ScopedWorkingDirectory;
using fennik::test::TempDirectory;

namespace {

// Counts the driver's uniform-location queries by standing in for GLEW's entry point.
std::map<std::string, int> locationQueries;
PFNGLGETUNIFORMLOCATIONPROC realGetUniformLocation = nullptr;

GLint GLAPIENTRY countingGetUniformLocation(GLuint program, const GLchar* name)
{
    ++locationQueries[name];
    return realGetUniformLocation(program, name);
}

const char* vertexSource = "#version 330 core\n"
                           "layout(location = 0) in vec3 position;\n"
                           "uniform mat4 model;\n"
                           "void main() { gl_Position = model * vec4(position, 1.0); }\n";
const char* fragmentSource = "#version 330 core\n"
                             "uniform vec4 tint;\n"
                             "uniform float unusedScale;\n"
                             "out vec4 colour;\n"
                             "void main() { colour = tint; }\n";

// Fatal shader failures end the process; the message goes to standard output,
// which the death test cannot see, so the child sends it to standard error.
// Standard input is emptied so the console pause never waits.
void inDirectoryWithShaders(const TempDirectory& directory)
{
    std::cout.rdbuf(std::cerr.rdbuf());
    if (!std::freopen("/dev/null", "r", stdin))
        std::abort();
    std::filesystem::current_path(directory.path());
}

class ShaderFailure : public GLTest {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        GLTest::SetUp();
        shaders.write("assets/shader/good.vert", vertexSource);
        shaders.write("assets/shader/good.frag", fragmentSource);
        shaders.write("assets/shader/broken.frag", "#version 330 core\nout vec4 colour;\nvoid main() { colour = 1; }\n");
        // Compiles on its own; only the linker notices that the stage has no main.
        shaders.write("assets/shader/unlinkable.frag", "#version 330 core\nout vec4 colour;\n"
                                                       "void paint() { colour = vec4(1.0); }\n");
    }
    TempDirectory shaders{"fennik_shaders"};
};

} // namespace

TEST_F(GLTest, UniformLocationsAreQueriedOncePerNameAndMissingOnesCachedToo)
{
    auto shader = Shader::fromSources(vertexSource, fragmentSource);
    realGetUniformLocation = glGetUniformLocation;
    glGetUniformLocation = countingGetUniformLocation;
    locationQueries.clear();

    shader->use();
    for (int frame = 0; frame < 5; ++frame) {
        shader->setVec4("tint", {0.25f, 0.5f, 0.75f, 1.0f});
        shader->setMat4("model", glm::mat4(1.0f));
        shader->setFloat("unusedScale", 2.0f); // optimised away: location -1
        shader->setInt("noSuchUniform", 3);
    }
    glGetUniformLocation = realGetUniformLocation;

    EXPECT_EQ(locationQueries["tint"], 1);
    EXPECT_EQ(locationQueries["model"], 1);
    EXPECT_EQ(locationQueries["unusedScale"], 1);
    EXPECT_EQ(locationQueries["noSuchUniform"], 1);
    EXPECT_EQ(shader->getUniformLocation("unusedScale"), -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // And the cached location is the one the values reach.
    GLfloat tint[4] = {};
    glGetUniformfv(shader->program, shader->getUniformLocation("tint"), tint);
    EXPECT_FLOAT_EQ(tint[1], 0.5f);
    EXPECT_FLOAT_EQ(tint[2], 0.75f);

    // A second program from the same sources is independent, with its own cache.
    auto twin = Shader::fromSources(vertexSource, fragmentSource);
    EXPECT_NE(twin->program, shader->program);
    Shader::unuse();
}

TEST_F(ShaderFailure, MissingFileCompileAndLinkErrorsEndTheProcessSayingWhatFailed)
{
    struct Case {
        const char* vertex;
        const char* fragment;
        const char* message;
    };
    const Case cases[] = {
        {"absent.vert", "good.frag", "Couldn't open shader file: assets/shader/absent.vert"},
        {"good.vert", "broken.frag", "Failed to compile shader: broken.frag\n.*error"},
        {"good.vert", "unlinkable.frag", "Failed to link shader program:\n.+"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                inDirectoryWithShaders(shaders);
                Shader shader(c.vertex, c.fragment);
            },
            ::testing::ExitedWithCode(1), c.message)
            << c.vertex << " + " << c.fragment;
    }
}

TEST_F(ShaderFailure, GoodFilesBuildFromTheShaderFolder)
{
    ScopedWorkingDirectory inside(shaders.path());
    Shader shader("good.vert", "good.frag");
    EXPECT_NE(shader.program, 0u);
    EXPECT_FALSE(shader.sourcesInMemory);
    EXPECT_EQ(shader.vertex, "good.vert");
}
