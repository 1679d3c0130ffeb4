#include "app/Framework.hpp"

#include "core/Log.hpp"
#include "render/DrawChecks.hpp"
#include "render/GL.hpp"
#include "render/Shader.hpp"

#include <GLFW/glfw3.h>

#include <memory>
#include <string>

namespace fennik::app {

namespace {

// The line program for the physics debug wireframe. It is made current once at
// start-up and the debug drawer draws with whatever program is current later on;
// the text is kept exactly as it has always been, blanks at line ends included.
constexpr const char* debugLineVertexSource =
    "#version 330 core\n"
    "layout(location = 0) in vec3 position;\n"
    "void main() {\n"
    "\tgl_Position = vec4(position.xy, -position.z, 1);\n"
    "}";

constexpr const char* debugLineFragmentSource =
    "#version 330 core \n"
    "uniform vec3 fragColor = vec3(1, 0, 0); \n"
    "out vec4 color; \n"
    "void main() {  \n"
    "\tcolor = vec4(fragColor, 1); \n"
    "}";

// One per process; a later frameworkInit (the second window) replaces it.
std::shared_ptr<render::Shader>& debugLineProgram()
{
    static std::shared_ptr<render::Shader> program;
    return program;
}

void GLAPIENTRY logDebugMessage(GLenum, GLenum, GLuint, GLenum severity, GLsizei, const GLchar* message, const void*)
{
    if (severity == GL_DEBUG_SEVERITY_HIGH)
        log::error("OpenGL: ", message);
    else if (severity == GL_DEBUG_SEVERITY_MEDIUM)
        log::warn("OpenGL: ", message);
}

void enableDebugOutput()
{
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    if (!(flags & GL_CONTEXT_FLAG_DEBUG_BIT) || !glDebugMessageCallback)
        return;
    glEnable(GL_DEBUG_OUTPUT);
    // Synchronous, so a message arrives while the call that caused it is still on the stack.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(logDebugMessage, nullptr);
}

} // namespace

bool frameworkInit()
{
    if (!glfwGetCurrentContext()) {
        log::line("No context available. Exiting.");
        return false;
    }
    if (!glCreateProgram) {
        log::line("GLEW not available. Exiting.");
        return false;
    }
    enableDebugOutput();
#ifndef NDEBUG
    // A debug build checks the textures of every draw call, all the process long.
    static const render::DrawChecks drawChecks;
#endif

    GLint currentProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &currentProgram);
    if (currentProgram == 0) {
        debugLineProgram() = render::Shader::fromSources(debugLineVertexSource, debugLineFragmentSource);
        debugLineProgram()->use();
    }
    return true;
}

void frameworkShutdown()
{
    debugLineProgram().reset();
}

} // namespace fennik::app
