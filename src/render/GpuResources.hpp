#pragma once

#include "core/GraphicsSettings.hpp"
#include "render/Cubemap.hpp"
#include "render/GpuTimer.hpp"
#include "render/GL.hpp"
#include "render/Model.hpp"
#include "render/ParticleGenerator.hpp"
#include "render/QuadRender.hpp"
#include "render/RenderTarget.hpp"
#include "render/Shader.hpp"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace fennik::render {

// Everything the levels draw with that does not belong to one level: the render
// targets, the programs, the sky box, the textures and the models every level shows.
// Only the active level draws, so one set of window-sized targets serves them all; a
// level switch allocates nothing and a window resize resizes the one set.
//
// One instance per process (`gpu()`), built with the main window's context current
// and released with it. Parts are made on first request, so a test that only loads a
// texture does not pay for the targets.
class GpuResources {
public:
    // The shadow map's size until `configure` says otherwise.
    static constexpr int shadowMapSize = 2048;
    // The window-sized targets' size until the first resize, before the first frame.
    static constexpr int initialTargetSize = 256;

    GpuResources() = default;

    GpuResources(const GpuResources&) = delete;
    GpuResources& operator=(const GpuResources&) = delete;

    // One linked program per pair of stage files under the data folder's "shader/".
    std::shared_ptr<Shader> program(const std::string& vertexFile, const std::string& fragmentFile);
    // One texture per image file and orientation (see `loadTexture`).
    GLuint texture(const std::string& path, bool flip);
    // One texture per file a model's material names (see `textureFromFile`).
    GLuint materialTexture(const std::string& fileName, const std::string& directory);
    // One opaque white texel, bound where a mesh or a shape has no map of its own: a
    // sampler on an empty unit reads what each driver pleases.
    GLuint blankTexture();
    // The models every level shows (the player figure, the heart), imported once. A
    // model handed out again still takes the random draws its import would have taken,
    // so the looks of every model imported after it stay the same.
    Model& model(const std::string& path);

    // The sun's depth, one texture.
    RenderTarget& shadowMap();
    // The lit scene: colour with the depth-of-field blur in alpha, and the bright parts.
    // Texture 0, the lit colour, and with bloom on texture 1, the parts brighter than 1;
    // a depth-stencil buffer.
    RenderTarget& sceneTarget();
    // Two full-screen targets the post-processing passes write in turn.
    RenderTarget& postTarget(int index);
    // Two targets of half the scene's size, for the glow at half resolution.
    RenderTarget& bloomTarget(int index);
    Cubemap& skybox();
    // The quad every full-screen pass draws.
    QuadRender& quad();
    GpuTimer& timer();
    // The particles of whichever level is active.
    ParticleGenerator& particles();

    // Follows a new window size with every window-sized target, at the render scale;
    // the same size again, or a minimised window's 0 x 0, changes nothing.
    void resizeTargets(int width, int height);
    // Takes what the frame draws with from `graphics`: the shadow map's size, the render
    // scale of the window-sized targets, the targets the post passes need (the others
    // are released) and the share of particles drawn. Call it between frames.
    void configure(const core::GraphicsSettings& graphics);
    float renderScale() const { return scale; }
    // The window's size the targets follow (before the render scale).
    int windowWidth() const { return windowSize[0]; }
    int windowHeight() const { return windowSize[1]; }

    // What is held now, for tests and the memory figures.
    std::size_t programCount() const { return programs.size(); }
    std::size_t textureCount() const { return textures.size(); }

private:
    std::map<std::pair<std::string, std::string>, std::shared_ptr<Shader>> programs;
    std::map<std::pair<std::string, bool>, GLTexture> textures;
    GLTexture blank{GLTexture::Empty{}};
    std::map<std::string, std::unique_ptr<Model>> models;
    std::unique_ptr<RenderTarget> shadow;
    std::unique_ptr<RenderTarget> scene;
    std::array<std::unique_ptr<RenderTarget>, 2> post;
    std::array<std::unique_ptr<RenderTarget>, 2> halfBloom;
    std::unique_ptr<Cubemap> sky;
    std::unique_ptr<QuadRender> fullScreenQuad;
    std::unique_ptr<GpuTimer> passTimer;
    std::unique_ptr<ParticleGenerator> particlePool;
    std::array<int, 2> windowSize{initialTargetSize, initialTargetSize};
    float scale = 1.0f;
    int shadowSize = shadowMapSize;
    bool halfTextures = false; // the world's textures and the sky at half their size
    bool glowDrawn = true;     // the scene target has the bright parts' attachment
    float particleShare = 1.0f;

    // The scene's size: the window's times the render scale, at least a pixel.
    int scaled(int windowLength) const;
    // Every target that exists to the size it should have now.
    void fitTargets();
};

// The process's shared resources, made on first use with the current context.
GpuResources& gpu();
// Deletes them (with their context current); the next `gpu()` starts afresh.
void releaseGpu();

} // namespace fennik::render
