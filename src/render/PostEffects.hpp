#pragma once

#include "render/GL.hpp"

#include <memory>

namespace fennik::render {

class GpuResources;
class Shader;

// The full-screen passes after the lit scene, on the shared post-processing targets:
// a Gaussian glow around the parts brighter than 1, the glow added to the scene with
// exposure, tone mapping and gamma, and a depth-of-field blur that writes the finished
// picture where it is asked to. Each pass sets the GL state it needs; none clears, as
// every one covers its whole target.
class PostEffects {
public:
    struct Tone {
        float exposure = 1.0f;
        float gamma = 2.2f;
        bool aces = false;
    };

    explicit PostEffects(GpuResources& gpu);

    // The bright parts blurred along rows, then columns: the glow, in post target 1.
    void blurBloom(GLuint brightParts);
    // Scene colour plus the glow, tone-mapped, in post target 0; its alpha keeps the
    // scene's depth-of-field blur amount.
    void combine(GLuint sceneColour, const Tone& tone);
    // Post target 0 blurred by the amounts in its alpha, into `framebuffer` (0: the
    // window), opaque.
    void depthOfField(GLuint framebuffer);
    // `texture` as it is into `framebuffer`.
    void copy(GLuint texture, GLuint framebuffer);

private:
    void drawInto(GLuint framebuffer);

    GpuResources& gpu;
    std::shared_ptr<Shader> blurProgram;
    std::shared_ptr<Shader> combineProgram;
    std::shared_ptr<Shader> depthOfFieldProgram;
    std::shared_ptr<Shader> copyProgram;
};

} // namespace fennik::render
