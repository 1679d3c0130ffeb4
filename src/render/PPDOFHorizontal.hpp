#pragma once

#include "render/PostProcess.hpp"

namespace fennik::render {

// Depth of field along rows. Colour comes from the tone-mapped image on unit 0,
// the blur amount of every pixel from the scene colour's alpha on unit 1.
class PPDOFHorizontal : public PostProcess {
public:
    explicit PPDOFHorizontal(const core::GameSettings& settings);

    void setUniforms(GLuint sceneTexture) override;
};

} // namespace fennik::render
