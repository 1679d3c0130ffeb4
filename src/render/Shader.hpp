#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <glm/mat3x3.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <memory>
#include <string>
#include <unordered_map>

namespace fennik::render {

// A linked vertex-and-fragment program. Stages are read from the data folder's "shader/";
// shaders are not optional, so a file that cannot be opened, compiled or linked
// ends the process with the driver's log. Uniforms are set by name through a
// per-program location cache: after the first set of a name, one hash lookup
// instead of a glGetUniformLocation query per frame.
class Shader {
public:
    Shader(std::string vertexFile, std::string fragmentFile);
    ~Shader();

    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    // A program whose two stages are GLSL text held in memory rather than file names.
    static std::shared_ptr<Shader> fromSources(std::string vertexSource, std::string fragmentSource);

    void use() const { glUseProgram(program.id()); }
    static void unuse() { glUseProgram(0); }

    // Unknown or optimised-away names are cached as -1 like any other.
    GLint getUniformLocation(const std::string& name);

    // None of the setters makes the program current: call `use` first.
    void setInt(const std::string& name, int value);
    void setFloat(const std::string& name, float value);
    void setVec3(const std::string& name, const glm::vec3& value);
    void setVec4(const std::string& name, const glm::vec4& value);
    void setMat3(const std::string& name, const glm::mat3& value);
    void setMat4(const std::string& name, const glm::mat4& value);

    const std::string vertex;
    const std::string fragment;
    const bool sourcesInMemory;

private:
    struct InMemory {};
    Shader(InMemory, std::string vertexSource, std::string fragmentSource);

    void build();
    GLShaderStage compileStage(const std::string& stage, GLenum type) const;

    GLProgram program{GLProgram::Empty{}};
    std::unordered_map<std::string, GLint> uniformCache;
};

} // namespace fennik::render
