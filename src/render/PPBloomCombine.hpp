#pragma once

#include "render/PostProcess.hpp"

namespace fennik::render {

// Adds the blurred bright parts to the scene and tone-maps the sum: exposure, the
// ACES curve when asked for, then gamma. The scene copies the three values from
// the settings before every run of the chain.
class PPBloomCombine : public PostProcess {
public:
    explicit PPBloomCombine(const core::GameSettings& settings);

    void setUniforms(GLuint sceneTexture) override;

    float gamma = 2.2f;
    float exposure = 1.0f;
    bool useAces = true;
};

} // namespace fennik::render
