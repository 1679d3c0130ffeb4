#include "gui/GUIPlayerHealthBar.hpp"

#include "render/GpuResources.hpp"

#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "gui/ShapeRenderer.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <numbers>

namespace fennik::gui {

namespace {

constexpr int discSegments = 128;
constexpr std::uint32_t noiseSize = 256;
const glm::vec4 backgroundColour(0.0f, 0.0f, 0.0f, 1.0f);
const glm::vec4 innerDiscColour(0.1f, 0.1f, 0.1f, 1.0f);

// Where the heart sits, relative to the window's top-left corner, and how it moves.
constexpr float heartX = 55.0f;
constexpr float heartDrop = 75.0f + 20.0f;
constexpr float heartBob = 10.0f;              // pixels up and down, one bob every 2 pi seconds
constexpr float heartTurnDegreesPerSecond = 100.0f;
const glm::vec3 heartScale(30.0f, 30.0f, 0.5f);

float now()
{
    return static_cast<float>(core::input().time());
}

} // namespace

GUIPlayerHealthBar::GUIPlayerHealthBar(float radius, float ring)
    : GUIElement(1, Anchor::TopLeft, glm::vec2(0.0f), glm::vec2(2.0f * radius)),
      ringWidth(ring),
      heartModel(&render::gpu().model(core::dataPath(heartModelFile))),
      heartShader(render::gpu().program("simpleShader.vert", "simpleShader.frag")),
      noiseTexture(noiseSize)
{
}

void GUIPlayerHealthBar::placeHeart(const UiFrame& frame)
{
    const glm::vec2 place = frame.point(Anchor::TopLeft, {heartX, std::sin(now()) * heartBob - heartDrop});
    heartModelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(place, 0.0f));
    heartModelMatrix = glm::scale(heartModelMatrix, heartScale * glm::vec3(frame.scale, frame.scale, 1.0f));
    // Whole degrees: the turn advances in steps of one degree.
    const auto degrees = static_cast<long long>(now() * heartTurnDegreesPerSecond) % 360;
    heartModelMatrix = glm::rotate(heartModelMatrix, glm::radians(static_cast<float>(degrees)),
                                   glm::vec3(0.0f, 1.0f, 0.0f));
}

void GUIPlayerHealthBar::draw(const glm::mat4& projection, const UiFrame& frame)
{
    update(frame);
    placeHeart(frame);
    // The rectangle is the disc's bounding box around the corner.
    const glm::vec2 corner = frame.anchorPoint(anchor);
    const float radius = width * 0.5f;

    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = backgroundColour;
    shapes->circle(corner.x, corner.y, radius, discSegments);
    shapes->endShape();

    // The sector is built around the origin, turned a quarter clockwise and moved to
    // the corner: it runs from straight down towards straight right, inside the
    // window at full health, and shrinks from its right end as health falls.
    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = fillColor;
    shapes->arc(0.0f, 0.0f, radius, 0.0f, gaugeAngle(), discSegments);
    shapes->model = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(corner, 0.0f)),
                                -std::numbers::pi_v<float> * 0.5f, glm::vec3(0.0f, 0.0f, 1.0f));
    shapes->endShape();

    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = innerDiscColour;
    // Drifting at a speed that surges and slackens, so the noise never looks like a
    // plain scroll.
    noiseTexture.generate(10.0f * now() + 30.0f * std::sin(now()), 10.0f * now() + 30.0f * std::sin(now()));
    shapes->texture = noiseTexture.texture();
    shapes->circle(corner.x, corner.y, radius - frame.size(ringWidth), discSegments);
    shapes->endShape();

    drawHeart(projection);
}

void GUIPlayerHealthBar::drawHeart(const glm::mat4& projection)
{
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    heartShader->use();
    heartShader->setMat4("projectionMatrix", projection);
    // A heart that failed to load (logged by the model) leaves the gauge without it.
    if (!heartModel->meshes.empty())
        heartModel->meshes.front().draw(*heartShader, heartModelMatrix);
    render::Shader::unuse();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

} // namespace fennik::gui
