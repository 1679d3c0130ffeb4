#pragma once

#include "render/GL.hpp"

#include <memory>

namespace fennik::render {

class GpuResources;
class Shader;

// The full-screen passes after the lit scene, on the shared post-processing targets:
// a Gaussian glow around the parts brighter than 1, the glow added to the scene with
// exposure, tone mapping and gamma, a depth-of-field blur, and the bilinear scale-up of
// a picture drawn below the window's size. Each pass sets the GL state it needs; none
// clears, as every one covers its whole target.
class PostEffects {
public:
    struct Tone {
        float exposure = 1.0f;
        float gamma = 2.2f;
        bool aces = false;
    };

    explicit PostEffects(GpuResources& gpu);

    // The bright parts blurred along rows, then columns: the glow, in post target 1, or
    // with `half` in the second half-size bloom target (bloomResult).
    void blurBloom(GLuint brightParts, bool half);
    GLuint bloomResult(bool half);
    // Scene colour plus `bloom` (none when 0), tone-mapped, into `framebuffer`; its alpha
    // keeps the scene's depth-of-field blur amount, or is opaque for the `finished` picture.
    void combine(GLuint sceneColour, GLuint bloom, const Tone& tone, GLuint framebuffer, bool finished);
    // Post target 0 blurred by the amounts in its alpha, into `framebuffer` (0: the
    // window), opaque. The blur's reach follows the render scale, so it covers the same
    // share of the window at any scale.
    void depthOfField(GLuint framebuffer, float renderScale);
    // `texture` as it is into `framebuffer`, at the scene's size.
    void copy(GLuint texture, GLuint framebuffer);
    // `texture`, filtered bilinearly, over the whole window of `width` x `height`.
    void scaleUp(GLuint texture, int width, int height);

private:
    void drawInto(GLuint framebuffer);
    void drawInto(GLuint framebuffer, int width, int height);

    GpuResources& gpu;
    // The glow's and the blur's programs are built by the first frame that runs their
    // pass: a preset without them never compiles them (each holds a few megabytes in
    // a software renderer).
    std::shared_ptr<Shader> blurProgram;
    std::shared_ptr<Shader> combineProgram;
    std::shared_ptr<Shader> depthOfFieldProgram;
    std::shared_ptr<Shader> copyProgram;
};

} // namespace fennik::render
