#pragma once

#include "render/PostProcess.hpp"

namespace fennik::render {

// Second half of the bloom blur, over the horizontally blurred bright parts.
class PPBloomBlurVertical : public PostProcess {
public:
    explicit PPBloomBlurVertical(const core::GameSettings& settings);

    void setUniforms(GLuint sceneTexture) override;
};

} // namespace fennik::render
