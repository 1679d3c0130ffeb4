#include "render/Shader.hpp"

#include "core/DataDirectory.hpp"
#include "core/Log.hpp"
#include "render/FatalError.hpp"

#include <glm/gtc/type_ptr.hpp>

#include <fstream>
#include <sstream>
#include <vector>

namespace fennik::render {

namespace {

std::string shaderFile(const std::string& name)
{
    return core::dataPath("shader/" + name);
}

std::string readStageFile(const std::string& fileName)
{
    const std::string path = shaderFile(fileName);
    std::ifstream file(path);
    if (!file.is_open()) {
        log::line("Couldn't open shader file: ", path);
        pauseAndExit();
    }
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

Shader::Shader(std::string vertexFile, std::string fragmentFile)
    : vertex(std::move(vertexFile)), fragment(std::move(fragmentFile)), sourcesInMemory(false)
{
    build();
}

Shader::Shader(InMemory, std::string vertexSource, std::string fragmentSource)
    : vertex(std::move(vertexSource)), fragment(std::move(fragmentSource)), sourcesInMemory(true)
{
    build();
}

std::shared_ptr<Shader> Shader::fromSources(std::string vertexSource, std::string fragmentSource)
{
    return std::shared_ptr<Shader>(new Shader(InMemory{}, std::move(vertexSource), std::move(fragmentSource)));
}

Shader::~Shader()
{
    // The owner deletes the program; it is not left current.
    glUseProgram(0);
}

GLShaderStage Shader::compileStage(const std::string& stage, GLenum type) const
{
    const std::string source = sourcesInMemory ? stage : readStageFile(stage);

    GLShaderStage shader = GLShaderStage::wrap(glCreateShader(type));
    if (!shader) {
        log::line("Failed to create ", type);
        pauseAndExit();
    }
    const char* text = source.c_str();
    glShaderSource(shader.id(), 1, &text, nullptr);
    glCompileShader(shader.id());

    GLint compiled = 0;
    glGetShaderiv(shader.id(), GL_COMPILE_STATUS, &compiled);
    if (compiled && glIsShader(shader.id()))
        return shader;

    GLint logLength = 0;
    glGetShaderiv(shader.id(), GL_INFO_LOG_LENGTH, &logLength);
    std::vector<char> infoLog(static_cast<std::size_t>(logLength) + 1, '\0');
    glGetShaderInfoLog(shader.id(), logLength, nullptr, infoLog.data());
    log::line("Failed to compile shader: ", sourcesInMemory ? "(source in memory)" : shaderFile(stage));
    log::line(infoLog.data());
    pauseAndExit();
}

void Shader::build()
{
    // The stages go when this returns; a linked program keeps what it needs of them.
    const GLShaderStage vertexStage = compileStage(vertex, GL_VERTEX_SHADER);
    const GLShaderStage fragmentStage = compileStage(fragment, GL_FRAGMENT_SHADER);

    program = GLProgram();
    glAttachShader(program.id(), vertexStage.id());
    glAttachShader(program.id(), fragmentStage.id());
    glLinkProgram(program.id());

    GLint linked = 0;
    glGetProgramiv(program.id(), GL_LINK_STATUS, &linked);
    if (linked) {
        glDetachShader(program.id(), vertexStage.id());
        glDetachShader(program.id(), fragmentStage.id());
        return;
    }

    GLint logLength = 0;
    glGetProgramiv(program.id(), GL_INFO_LOG_LENGTH, &logLength);
    std::vector<char> infoLog(static_cast<std::size_t>(logLength) + 1, '\0');
    glGetProgramInfoLog(program.id(), logLength, nullptr, infoLog.data());
    if (sourcesInMemory)
        log::line("Failed to link shader program:");
    else
        log::line("Failed to link shader program: ", shaderFile(vertex), " + ", shaderFile(fragment));
    log::line(infoLog.data());
    program.reset();
    pauseAndExit();
}

GLint Shader::getUniformLocation(const std::string& name)
{
    if (auto found = uniformCache.find(name); found != uniformCache.end())
        return found->second;
    const GLint location = glGetUniformLocation(program.id(), name.c_str());
    uniformCache.emplace(name, location);
    return location;
}

void Shader::setInt(const std::string& name, int value)
{
    if (GLint location = getUniformLocation(name); location != -1)
        glUniform1i(location, value);
}

void Shader::setFloat(const std::string& name, float value)
{
    if (GLint location = getUniformLocation(name); location != -1)
        glUniform1f(location, value);
}

void Shader::setVec3(const std::string& name, const glm::vec3& value)
{
    if (GLint location = getUniformLocation(name); location != -1)
        glUniform3f(location, value.x, value.y, value.z);
}

void Shader::setVec4(const std::string& name, const glm::vec4& value)
{
    if (GLint location = getUniformLocation(name); location != -1)
        glUniform4f(location, value.x, value.y, value.z, value.w);
}

void Shader::setMat3(const std::string& name, const glm::mat3& value)
{
    if (GLint location = getUniformLocation(name); location != -1)
        glUniformMatrix3fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

void Shader::setMat4(const std::string& name, const glm::mat4& value)
{
    if (GLint location = getUniformLocation(name); location != -1)
        glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

} // namespace fennik::render
