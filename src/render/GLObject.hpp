#pragma once

#include "render/GL.hpp"

#include <utility>

namespace fennik::render {

// How each kind of OpenGL object is made and deleted.
namespace gl_kinds {
struct Texture {
    static GLuint make() { GLuint name = 0; glGenTextures(1, &name); return name; }
    static void release(GLuint name) { glDeleteTextures(1, &name); }
};
struct Buffer {
    static GLuint make() { GLuint name = 0; glGenBuffers(1, &name); return name; }
    static void release(GLuint name) { glDeleteBuffers(1, &name); }
};
struct VertexArray {
    static GLuint make() { GLuint name = 0; glGenVertexArrays(1, &name); return name; }
    static void release(GLuint name) { glDeleteVertexArrays(1, &name); }
};
struct Framebuffer {
    static GLuint make() { GLuint name = 0; glGenFramebuffers(1, &name); return name; }
    static void release(GLuint name) { glDeleteFramebuffers(1, &name); }
};
struct Renderbuffer {
    static GLuint make() { GLuint name = 0; glGenRenderbuffers(1, &name); return name; }
    static void release(GLuint name) { glDeleteRenderbuffers(1, &name); }
};
struct Program {
    static GLuint make() { return glCreateProgram(); }
    static void release(GLuint name) { glDeleteProgram(name); }
};
struct Query {
    static GLuint make() { GLuint name = 0; glGenQueries(1, &name); return name; }
    static void release(GLuint name) { glDeleteQueries(1, &name); }
};
// A stage needs its type to be made: `wrap(glCreateShader(type))`.
struct ShaderStage {
    static void release(GLuint name) { glDeleteShader(name); }
};
} // namespace gl_kinds

// One OpenGL object and its only owner: made when constructed and deleted when
// destroyed, both with a context current. Copying is refused; a move hands the name
// over and leaves the source empty (name 0), so exactly one owner ever deletes it.
template <typename Kind>
class GLObject {
public:
    // Made at once.
    GLObject() : handle(Kind::make()) {}
    // Empty: owns nothing until something is moved in.
    struct Empty {};
    explicit GLObject(Empty) noexcept {}
    // Takes over a name made elsewhere (0 gives an empty owner).
    static GLObject wrap(GLuint name) noexcept
    {
        GLObject owner{Empty{}};
        owner.handle = name;
        return owner;
    }
    ~GLObject() { reset(); }

    GLObject(const GLObject&) = delete;
    GLObject& operator=(const GLObject&) = delete;
    GLObject(GLObject&& other) noexcept : handle(std::exchange(other.handle, 0)) {}
    GLObject& operator=(GLObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle = std::exchange(other.handle, 0);
        }
        return *this;
    }

    GLuint id() const noexcept { return handle; }
    explicit operator bool() const noexcept { return handle != 0; }
    // Deletes the object now; the owner is empty after.
    void reset() noexcept
    {
        if (handle)
            Kind::release(handle);
        handle = 0;
    }

private:
    GLuint handle = 0;
};

using GLTexture = GLObject<gl_kinds::Texture>;
using GLBuffer = GLObject<gl_kinds::Buffer>;
using GLVertexArray = GLObject<gl_kinds::VertexArray>;
using GLFramebuffer = GLObject<gl_kinds::Framebuffer>;
using GLRenderbuffer = GLObject<gl_kinds::Renderbuffer>;
using GLProgram = GLObject<gl_kinds::Program>;
using GLQuery = GLObject<gl_kinds::Query>;
using GLShaderStage = GLObject<gl_kinds::ShaderStage>;

} // namespace fennik::render
