#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <cstddef>
#include <vector>

namespace fennik::render {

// What a render target holds, one entry per attachment.
enum class Attachment {
    // A 16-bit float RGBA texture, filtered linearly and clamped at the edges; the
    // colour attachments are drawn in the order they are listed.
    Colour,
    // A depth texture sampled as it is (nearest), depth 1 outside it, so nothing beyond
    // a shadow map is ever in shadow. A target with it draws no colour.
    ShadowDepth,
    // A depth-stencil renderbuffer: tested while drawing, never read.
    DepthStencil,
};

// An off-screen framebuffer described by its attachments: the lit scene (two colours and
// a depth-stencil buffer), the post passes' targets (one colour), the shadow map (one
// depth texture). Made complete at construction with a context current; `resize`
// reallocates storage in place and keeps every name, so owners may hold on to texture
// names across window resizes. Move-only: it owns its framebuffer, textures and
// renderbuffer and deletes them when destroyed.
class RenderTarget {
public:
    RenderTarget(int width, int height, std::vector<Attachment> attachments);

    // A size of zero or less (a minimised window) is ignored: storage of zero pixels
    // would leave the framebuffer incomplete until the next real size.
    void resize(int newWidth, int newHeight);
    // Binds for drawing and resets the clear colour every target of the game clears with.
    void bind() const;

    GLuint framebuffer() const { return frame.id(); }
    // The `index`-th texture attachment (colour or shadow depth), in the listed order.
    GLuint texture(std::size_t index = 0) const { return textures[index].id(); }
    int width() const { return size[0]; }
    int height() const { return size[1]; }

    // A size a target can take: a minimised window's 0 x 0 is not one.
    static bool usableSize(int w, int h) { return w > 0 && h > 0; }

private:
    // Every attachment's storage at the current size.
    void allocate();

    int size[2];
    std::vector<Attachment> layout;
    GLFramebuffer frame;
    std::vector<GLTexture> textures;
    GLRenderbuffer depthStencil{GLRenderbuffer::Empty{}};
};

} // namespace fennik::render
