#include "gui/GUIPlayerHealthBar.hpp"

#include "render/GpuResources.hpp"

#include "core/DataDirectory.hpp"
#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/LevelManager.hpp"
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

GUIPlayerHealthBar::GUIPlayerHealthBar(float x, float y, float size, float ring)
    : GUIElement(1, glm::vec3(x, y, 0.0f), size, size),
      ringWidth(ring),
      heartModel(&render::gpu().model(core::dataPath(heartModelFile))),
      heartShader(render::gpu().program("simpleShader.vert", "simpleShader.frag")),
      noiseTexture(noiseSize)
{
}

void GUIPlayerHealthBar::placeHeart()
{
    const core::GameSettings* settings = core::LevelManager::instance().settings;
    const float windowHeight = settings ? static_cast<float>(settings->windowHeight) : position.y;

    heartModelMatrix = glm::translate(glm::mat4(1.0f),
                                      glm::vec3(heartX, windowHeight + std::sin(now()) * heartBob - heartDrop, 0.0f));
    heartModelMatrix = glm::scale(heartModelMatrix, heartScale);
    // Whole degrees: the turn advances in steps of one degree.
    const auto degrees = static_cast<long long>(now() * heartTurnDegreesPerSecond) % 360;
    heartModelMatrix = glm::rotate(heartModelMatrix, glm::radians(static_cast<float>(degrees)),
                                   glm::vec3(0.0f, 1.0f, 0.0f));
}

void GUIPlayerHealthBar::draw(const glm::mat4& projection)
{
    // Keeps the gauge's corner at the top left whatever the window size.
    update();
    placeHeart();

    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = backgroundColour;
    shapes->circle(position.x, position.y, width, discSegments);
    shapes->endShape();

    // The sector is built around the origin, turned a quarter clockwise and moved to
    // the corner: it runs from straight down towards straight right, inside the
    // window at full health, and shrinks from its right end as health falls.
    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = fillColor;
    shapes->arc(0.0f, 0.0f, width, 0.0f, gaugeAngle(), discSegments);
    shapes->model = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, position.y, 0.0f)),
                                -std::numbers::pi_v<float> * 0.5f, glm::vec3(0.0f, 0.0f, 1.0f));
    shapes->endShape();

    shapes->beginShape(projection, GL_TRIANGLES);
    shapes->color = innerDiscColour;
    // Drifting at a speed that surges and slackens, so the noise never looks like a
    // plain scroll.
    noiseTexture.generate(10.0f * now() + 30.0f * std::sin(now()), 10.0f * now() + 30.0f * std::sin(now()));
    shapes->texture = noiseTexture.texture();
    shapes->circle(0.0f, position.y, width - ringWidth, discSegments);
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
