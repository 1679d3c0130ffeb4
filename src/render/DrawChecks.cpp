#include "render/DrawChecks.hpp"

#include "core/Log.hpp"
#include "render/GL.hpp"

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace fennik::render {

void checkDraw();

namespace {

DrawChecks* active = nullptr;

struct SamplerKind {
    GLenum type, target;
    bool shadow;
};
constexpr SamplerKind samplerKinds[] = {{GL_SAMPLER_2D, GL_TEXTURE_2D, false},
                                        {GL_SAMPLER_CUBE, GL_TEXTURE_CUBE_MAP, false},
                                        {GL_SAMPLER_2D_SHADOW, GL_TEXTURE_2D, true}};

GLenum bindingOf(GLenum target)
{
    return target == GL_TEXTURE_CUBE_MAP ? GL_TEXTURE_BINDING_CUBE_MAP : GL_TEXTURE_BINDING_2D;
}

// Why the texture bound to `target` on the active unit is not complete, or empty.
std::string incompleteness(GLenum target)
{
    const std::vector<GLenum> images = target == GL_TEXTURE_CUBE_MAP
                                           ? std::vector<GLenum>{GL_TEXTURE_CUBE_MAP_POSITIVE_X,
                                                                 GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
                                                                 GL_TEXTURE_CUBE_MAP_POSITIVE_Y,
                                                                 GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
                                                                 GL_TEXTURE_CUBE_MAP_POSITIVE_Z,
                                                                 GL_TEXTURE_CUBE_MAP_NEGATIVE_Z}
                                           : std::vector<GLenum>{target};
    GLint minFilter = 0, baseLevel = 0, maxLevel = 0;
    glGetTexParameteriv(target, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(target, GL_TEXTURE_BASE_LEVEL, &baseLevel);
    glGetTexParameteriv(target, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    const bool mipmapped = minFilter != GL_NEAREST && minFilter != GL_LINEAR;
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(images[0], baseLevel, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(images[0], baseLevel, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0)
        return "no image at its base level";
    for (int level = baseLevel; level <= maxLevel; ++level) {
        const GLint expectedWidth = std::max(1, width >> (level - baseLevel));
        const GLint expectedHeight = std::max(1, height >> (level - baseLevel));
        for (GLenum image : images) {
            GLint w = 0, h = 0;
            glGetTexLevelParameteriv(image, level, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(image, level, GL_TEXTURE_HEIGHT, &h);
            if (w != expectedWidth || h != expectedHeight)
                return "level " + std::to_string(level) + " missing or of the wrong size";
        }
        if (!mipmapped || (expectedWidth == 1 && expectedHeight == 1))
            break;
    }
    return {};
}

// The textures attached to the framebuffer being drawn into.
std::vector<GLuint> drawnInto()
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    std::vector<GLuint> attached;
    if (framebuffer == 0)
        return attached;
    std::vector<GLenum> points{GL_DEPTH_ATTACHMENT, GL_STENCIL_ATTACHMENT};
    for (GLenum colour = 0; colour < 8; ++colour)
        points.push_back(GL_COLOR_ATTACHMENT0 + colour);
    for (GLenum point : points) {
        GLint type = GL_NONE, name = 0;
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
        if (type != GL_TEXTURE)
            continue;
        glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
        attached.push_back(static_cast<GLuint>(name));
    }
    return attached;
}

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

PFNGLDRAWARRAYSINSTANCEDPROC realDrawArraysInstanced = nullptr;

void GLAPIENTRY checkedDrawArraysInstanced(GLenum mode, GLint first, GLsizei count, GLsizei instances)
{
    checkDraw();
    realDrawArraysInstanced(mode, first, count, instances);
}

} // namespace

void checkDraw()
{
    if (!active)
        return;
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (program == 0)
        return;
    ++active->draws;
    const auto fault = [&](const std::string& sampler, const std::string& what) {
        std::string text = "program " + std::to_string(program) + ", sampler " + sampler + ": " + what;
        if (active->found.insert(text).second)
            log::error("OpenGL draw: ", text);
    };
    GLint activeUnit = 0, uniforms = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glGetProgramiv(static_cast<GLuint>(program), GL_ACTIVE_UNIFORMS, &uniforms);
    const std::vector<GLuint> attached = drawnInto();
    std::map<GLint, GLenum> typeOfUnit;
    for (GLuint index = 0; index < static_cast<GLuint>(uniforms); ++index) {
        char name[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(static_cast<GLuint>(program), index, sizeof name, nullptr, &size, &type, name);
        const auto* kind = std::find_if(std::begin(samplerKinds), std::end(samplerKinds),
                                        [&](const SamplerKind& k) { return k.type == type; });
        if (kind == std::end(samplerKinds))
            continue;
        GLint unit = 0;
        glGetUniformiv(static_cast<GLuint>(program), glGetUniformLocation(static_cast<GLuint>(program), name), &unit);
        if (const auto [other, added] = typeOfUnit.emplace(unit, type); !added && other->second != type)
            fault(name, "unit " + std::to_string(unit) + " also serves a sampler of another type");
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        GLint texture = 0;
        glGetIntegerv(bindingOf(kind->target), &texture);
        if (texture == 0) {
            fault(name, "nothing bound on unit " + std::to_string(unit));
            continue;
        }
        if (const std::string why = incompleteness(kind->target); !why.empty())
            fault(name, "texture " + std::to_string(texture) + " incomplete: " + why);
        GLint compareMode = GL_NONE;
        glGetTexParameteriv(kind->target, GL_TEXTURE_COMPARE_MODE, &compareMode);
        if ((compareMode == GL_COMPARE_REF_TO_TEXTURE) != kind->shadow)
            fault(name, kind->shadow ? "a shadow sampler on a texture without compare mode"
                                     : "a plain sampler on a texture with compare mode");
        if (std::find(attached.begin(), attached.end(), static_cast<GLuint>(texture)) != attached.end())
            fault(name, "texture " + std::to_string(texture) + " is also drawn into");
    }
    glActiveTexture(static_cast<GLenum>(activeUnit));
}


DrawChecks::DrawChecks() : outer(std::exchange(active, this))
{
    if (outer)
        return;
    // Reached through GLEW's pointer, unlike the two calls of OpenGL 1.1 below.
    realDrawArraysInstanced = glDrawArraysInstanced;
    __glewDrawArraysInstanced = checkedDrawArraysInstanced;
}

DrawChecks::~DrawChecks()
{
    active = outer;
    if (!outer)
        __glewDrawArraysInstanced = realDrawArraysInstanced;
}

} // namespace fennik::render

// The two draw calls of OpenGL 1.1 are plain symbols of the GL library: defined here,
// they take the calls of the whole program and hand them on.
extern "C" {

void GLAPIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    static const auto real = fennik::render::next<void(GLAPIENTRY*)(GLenum, GLint, GLsizei)>("glDrawArrays");
    fennik::render::checkDraw();
    real(mode, first, count);
}

void GLAPIENTRY glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    static const auto real =
        fennik::render::next<void(GLAPIENTRY*)(GLenum, GLsizei, GLenum, const void*)>("glDrawElements");
    fennik::render::checkDraw();
    real(mode, count, type, indices);
}
}
