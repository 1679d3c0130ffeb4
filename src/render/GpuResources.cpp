#include "render/GpuResources.hpp"

#include "core/Random.hpp"
#include "render/Texture.hpp"

namespace fennik::render {

namespace {

std::unique_ptr<GpuResources>& shared()
{
    static std::unique_ptr<GpuResources> resources;
    return resources;
}

} // namespace

GpuResources& gpu()
{
    if (!shared())
        shared() = std::make_unique<GpuResources>();
    return *shared();
}

void releaseGpu()
{
    shared().reset();
}

GpuResources::~GpuResources()
{
    for (const auto& [key, name] : textures)
        glDeleteTextures(1, &name);
    glDeleteTextures(1, &blank);
}

std::shared_ptr<Shader> GpuResources::program(const std::string& vertexFile, const std::string& fragmentFile)
{
    auto& slot = programs[{vertexFile, fragmentFile}];
    if (!slot)
        slot = std::make_shared<Shader>(vertexFile, fragmentFile);
    return slot;
}

GLuint GpuResources::texture(const std::string& path, bool flip)
{
    GLuint& slot = textures[{portablePath(path), flip}];
    if (!slot)
        slot = loadTexture(path, flip);
    return slot;
}

GLuint GpuResources::materialTexture(const std::string& fileName, const std::string& directory)
{
    // Keyed apart from plain files: a material's name is looked up beside its model first.
    GLuint& slot = textures[{directory + "\n" + portablePath(fileName), false}];
    if (!slot)
        slot = textureFromFile(fileName, directory);
    return slot;
}

GLuint GpuResources::blankTexture()
{
    if (!blank) {
        const unsigned char white[4] = {255, 255, 255, 255};
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGenTextures(1, &blank);
        glBindTexture(GL_TEXTURE_2D, blank);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    }
    return blank;
}

Model& GpuResources::model(const std::string& path)
{
    auto& slot = models[path];
    if (!slot) {
        slot = std::make_unique<Model>(path);
        return *slot;
    }
    auto& random = core::processRandom();
    for (std::size_t draw = 0; draw < 2 * slot->meshes.size(); ++draw)
        random.next();
    return *slot;
}

DepthFramebuffer& GpuResources::shadowMap()
{
    if (!shadow) {
        shadow = std::make_unique<DepthFramebuffer>(shadowMapSize, shadowMapSize);
        shadow->create();
    }
    return *shadow;
}

FramebufferExtra& GpuResources::sceneTarget()
{
    if (!scene) {
        scene = std::make_unique<FramebufferExtra>(targetWidth, targetHeight);
        scene->create();
    }
    return *scene;
}

Framebuffer& GpuResources::postTarget(int index)
{
    auto& target = post[static_cast<std::size_t>(index)];
    if (!target) {
        target = std::make_unique<Framebuffer>(targetWidth, targetHeight);
        target->create();
    }
    return *target;
}

Cubemap& GpuResources::skybox()
{
    if (!sky) {
        sky = std::make_unique<Cubemap>();
        sky->load({"right.jpg", "left.jpg", "top.jpg", "bottom.jpg", "front.jpg", "back.jpg"});
    }
    return *sky;
}

QuadRender& GpuResources::quad()
{
    if (!fullScreenQuad)
        fullScreenQuad = std::make_unique<QuadRender>();
    return *fullScreenQuad;
}

GpuTimer& GpuResources::timer()
{
    if (!passTimer)
        passTimer = std::make_unique<GpuTimer>();
    return *passTimer;
}

ParticleGenerator& GpuResources::particles()
{
    if (!particlePool)
        particlePool = std::make_unique<ParticleGenerator>();
    return *particlePool;
}

void GpuResources::resizeTargets(int width, int height)
{
    if (!FramebufferBase::usableSize(width, height) || (width == targetWidth && height == targetHeight))
        return;
    targetWidth = width;
    targetHeight = height;
    if (scene)
        scene->resize(width, height);
    for (const auto& target : post)
        if (target)
            target->resize(width, height);
}

} // namespace fennik::render
