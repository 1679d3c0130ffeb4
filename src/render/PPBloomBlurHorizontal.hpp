#pragma once

#include "render/PostProcess.hpp"

namespace fennik::render {

// First half of the bloom blur. It reads the scene's bright parts, which the scene
// hands over through `brightInput` each frame, instead of the chain input.
class PPBloomBlurHorizontal : public PostProcess {
public:
    explicit PPBloomBlurHorizontal(const core::GameSettings& settings);

    void setUniforms(GLuint sceneTexture) override;

    // The lit scene's second colour texture; 0 until the scene sets it.
    GLuint brightInput = 0;
};

} // namespace fennik::render
