#pragma once

#include "render/PostProcess.hpp"

namespace fennik::render {

// Depth of field along columns, over the row pass's result, which carries the
// blur amounts along in its alpha; both units read that one texture.
class PPDOFVertical : public PostProcess {
public:
    explicit PPDOFVertical(const core::GameSettings& settings);

    void setUniforms(GLuint sceneTexture) override;
};

} // namespace fennik::render
