#pragma once

#include "render/GL.hpp"
#include "render/PostProcess.hpp"

#include <memory>
#include <vector>

namespace fennik::render {

// The post-processing chain: each pass reads the previous pass's colour texture on
// unit 0, the first one reads the scene colour, and every pass may also read the
// scene colour through `setUniforms`.
class PostProcessor {
public:
    void add(std::shared_ptr<PostProcess> pass) { passes.push_back(std::move(pass)); }

    // Runs every pass once, in the order they were added, and leaves the last
    // pass's colour texture in `currentTexture`. With no passes nothing is drawn
    // and `currentTexture` keeps its value.
    void run(GLuint sceneTexture);

    std::vector<std::shared_ptr<PostProcess>> passes;
    GLuint currentTexture = 0;
};

} // namespace fennik::render
