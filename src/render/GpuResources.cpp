#include "render/GpuResources.hpp"

#include "core/Random.hpp"
#include "render/Texture.hpp"

#include <algorithm>
#include <cmath>

namespace fennik::render {

namespace {

const std::vector<std::string> skyFaces = {"right.jpg", "left.jpg", "top.jpg", "bottom.jpg", "front.jpg", "back.jpg"};

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

std::shared_ptr<Shader> GpuResources::program(const std::string& vertexFile, const std::string& fragmentFile)
{
    auto& slot = programs[{vertexFile, fragmentFile}];
    if (!slot)
        slot = std::make_shared<Shader>(vertexFile, fragmentFile);
    return slot;
}

GLuint GpuResources::texture(const std::string& path, bool flip)
{
    GLTexture& slot = textures.try_emplace({portablePath(path), flip}, GLTexture::Empty{}).first->second;
    if (!slot)
        slot = GLTexture::wrap(loadTexture(path, flip));
    return slot.id();
}

GLuint GpuResources::materialTexture(const std::string& fileName, const std::string& directory)
{
    // Keyed apart from plain files: a material's name is looked up beside its model first.
    GLTexture& slot =
        textures.try_emplace({directory + "\n" + portablePath(fileName), false}, GLTexture::Empty{}).first->second;
    if (!slot)
        slot = GLTexture::wrap(textureFromFile(fileName, directory, halfTextures));
    return slot.id();
}

GLuint GpuResources::blankTexture()
{
    if (!blank) {
        const unsigned char white[4] = {255, 255, 255, 255};
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        blank = GLTexture();
        glBindTexture(GL_TEXTURE_2D, blank.id());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    }
    return blank.id();
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

RenderTarget& GpuResources::shadowMap()
{
    if (!shadow)
        shadow = std::make_unique<RenderTarget>(shadowSize, shadowSize, std::vector{Attachment::ShadowDepth});
    return *shadow;
}

RenderTarget& GpuResources::sceneTarget()
{
    // The lit colour and, for the glow, its parts brighter than 1, written at once.
    if (!scene)
        scene = std::make_unique<RenderTarget>(
            scaled(windowSize[0]), scaled(windowSize[1]),
            glowDrawn ? std::vector{Attachment::Colour, Attachment::Colour, Attachment::DepthStencil}
                      : std::vector{Attachment::Colour, Attachment::DepthStencil});
    return *scene;
}

RenderTarget& GpuResources::postTarget(int index)
{
    auto& target = post[static_cast<std::size_t>(index)];
    if (!target)
        target = std::make_unique<RenderTarget>(scaled(windowSize[0]), scaled(windowSize[1]),
                                                std::vector{Attachment::Colour});
    return *target;
}

RenderTarget& GpuResources::bloomTarget(int index)
{
    auto& target = halfBloom[static_cast<std::size_t>(index)];
    if (!target)
        target = std::make_unique<RenderTarget>(std::max(1, scaled(windowSize[0]) / 2),
                                                std::max(1, scaled(windowSize[1]) / 2), std::vector{Attachment::Colour});
    return *target;
}

Cubemap& GpuResources::skybox()
{
    if (!sky) {
        sky = std::make_unique<Cubemap>();
        sky->load(skyFaces, halfTextures);
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
    if (!particlePool) {
        particlePool = std::make_unique<ParticleGenerator>();
        particlePool->drawnShare = particleShare;
    }
    return *particlePool;
}

void GpuResources::resizeTargets(int width, int height)
{
    if (!RenderTarget::usableSize(width, height))
        return;
    windowSize = {width, height};
    fitTargets();
}

int GpuResources::scaled(int windowLength) const
{
    return std::max(1, static_cast<int>(std::lround(static_cast<float>(windowLength) * scale)));
}

void GpuResources::fitTargets()
{
    const int width = scaled(windowSize[0]);
    const int height = scaled(windowSize[1]);
    const auto fit = [](RenderTarget* target, int w, int h) {
        if (target && (target->width() != w || target->height() != h))
            target->resize(w, h);
    };
    fit(scene.get(), width, height);
    for (const auto& target : post)
        fit(target.get(), width, height);
    for (const auto& target : halfBloom)
        fit(target.get(), std::max(1, width / 2), std::max(1, height / 2));
}

void GpuResources::configure(const core::GraphicsSettings& graphics)
{
    if (graphics.shadowSize != shadowSize) {
        shadowSize = graphics.shadowSize;
        shadow.reset();
    }
    shadowMap();
    scale = std::clamp(graphics.renderScale, core::lowestRenderScale, core::highestRenderScale);
    if (const bool glow = graphics.bloom != core::Bloom::Off; glow != glowDrawn) {
        glowDrawn = glow;
        scene.reset();
    }
    sceneTarget();
    fitTargets();

    // Only what the frame's passes write: with neither the full-size glow nor the depth
    // of field, the tone-mapped picture goes straight to the window or, below full
    // scale, to post target 0 to be scaled up.
    const bool fullBloom = graphics.bloom == core::Bloom::Full;
    const bool halfBloomUsed = graphics.bloom == core::Bloom::Half;
    const bool needed[] = {fullBloom || graphics.depthOfField || scale < 1.0f, fullBloom || graphics.depthOfField};
    for (std::size_t index = 0; index < post.size(); ++index) {
        if (!needed[index])
            post[index].reset();
        else
            postTarget(static_cast<int>(index));
        if (!halfBloomUsed)
            halfBloom[index].reset();
        else
            bloomTarget(static_cast<int>(index));
    }

    // The world's textures decoded again, into the same names, at the new detail.
    if (graphics.fullTextures == halfTextures) {
        halfTextures = !graphics.fullTextures;
        for (const auto& [key, texture] : textures) {
            const auto newline = key.first.find('\n');
            if (newline != std::string::npos)
                reloadTextureFromFile(texture.id(), key.first.substr(newline + 1), key.first.substr(0, newline),
                                      halfTextures);
        }
        if (sky)
            sky->load(skyFaces, halfTextures);
    }

    particleShare = static_cast<float>(graphics.particles) / 100.0f;
    if (particlePool)
        particlePool->drawnShare = particleShare;
}

} // namespace fennik::render
