#pragma once

#include "gui/GUIElement.hpp"
#include "render/Model.hpp"
#include "render/NoiseTexture.hpp"
#include "render/Shader.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include <memory>

namespace fennik::gui {

// The player's health as a quarter-circle gauge around the top-left corner of the
// window: a black disc, a sector of health x 90 / 100 degrees in `fillColor`, an
// inner disc of moving noise, and a small spinning heart bobbing beside it. Sizes are
// reference units, scaled with the overlay; the gauge keeps its corner.
class GUIPlayerHealthBar : public GUIElement {
public:
    static constexpr const char* heartModelFile = "models/Heart.obj";

    // `radius` is the gauge's, `ringWidth` the width of the coloured ring around the
    // inner disc. Needs a current context.
    GUIPlayerHealthBar(float radius, float ringWidth);

    // The owner sets `health` and `fillColor` first. Leaves depth testing on and
    // blending off.
    void draw(const glm::mat4& projection, const UiFrame& frame) override;

    // Degrees of the gauge sector for the current health.
    float gaugeAngle() const { return health * 90.0f / 100.0f; }

    glm::vec4 fillColor{0.0f};
    float ringWidth;
    float health = 100.0f;
    glm::mat4 heartModelMatrix{1.0f};
    render::Model* heartModel; // shared by every level's gauge
    std::shared_ptr<render::Shader> heartShader;
    render::NoiseTexture noiseTexture;

private:
    void placeHeart(const UiFrame& frame);
    void drawHeart(const glm::mat4& projection);
};

} // namespace fennik::gui
