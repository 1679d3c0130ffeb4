#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "gui/GUIPlayerHealthBar.hpp"
#include "gui/Text.hpp"
#include "gui/TextRenderer.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/Cubemap.hpp"
#include "render/DepthFramebuffer.hpp"
#include "render/FramebufferExtra.hpp"
#include "render/PPBloomBlurHorizontal.hpp"
#include "render/PPBloomBlurVertical.hpp"
#include "render/PPBloomCombine.hpp"
#include "render/PPDOFHorizontal.hpp"
#include "render/PPDOFVertical.hpp"
#include "render/PostProcessor.hpp"
#include "render/QuadRender.hpp"
#include "render/Shader.hpp"
#include "render/Skylight.hpp"

#include <glm/gtc/matrix_transform.hpp>

namespace fennik::scene {

namespace {

constexpr int shadowMapSize = 2048;
// The scene target's size until the level's first resize, before the first frame.
constexpr int initialSceneSize = 256;

// The gauge hangs in the top-left corner: its corner point, radius and ring width.
constexpr float healthBarSize = 150.0f;
constexpr float healthBarRing = 15.0f;

const glm::vec3 dimLight{0.3f, 0.3f, 0.3f};
const glm::vec3 fullLight{0.9f, 0.9f, 0.9f};

// Enemies learn to draw their floating health bar with the enemies themselves;
// until an enemy kind has one, there is nothing to draw for it.
template <typename EnemyKind>
void drawEnemyHealthBar(EnemyKind& enemy, const glm::mat4& viewProjection)
{
    if constexpr (requires { enemy.drawHealthBar(viewProjection); })
        enemy.drawHealthBar(viewProjection);
}

} // namespace

void Scene::createRenderResources()
{
    text = std::make_unique<gui::Text>(&gui::TextRenderer::instance(), "");
    normalShader = std::make_shared<render::Shader>("normalShader.vert", "normalShader.frag");
    pbrShader = std::make_shared<render::Shader>("normalShader.vert", "pbrShader.frag");
    skyboxShader = std::make_shared<render::Shader>("skybox.vert", "skybox.frag");
    depthShader = std::make_shared<render::Shader>("depthShader.vert", "depthShader.frag");
    skylight = std::make_shared<render::Skylight>();
    sceneShader = pbrShader;

    skybox = std::make_shared<render::Cubemap>();
    skyboxShader->use();
    skyboxShader->setInt("skybox", 10);
    skybox->load({"right.jpg", "left.jpg", "top.jpg", "bottom.jpg", "front.jpg", "back.jpg"});
    render::Shader::unuse();

    shadowFramebuffer = std::make_shared<render::DepthFramebuffer>(shadowMapSize, shadowMapSize);
    sceneFramebuffer = std::make_shared<render::FramebufferExtra>(initialSceneSize, initialSceneSize);
    sceneFramebuffer->create();
    shadowFramebuffer->create();
    quadRender = std::make_shared<render::QuadRender>();

    postProcessor = std::make_shared<render::PostProcessor>();
    bloomBlurHorizontal = std::make_shared<render::PPBloomBlurHorizontal>(*settings);
    bloomBlurVertical = std::make_shared<render::PPBloomBlurVertical>(*settings);
    bloomCombine = std::make_shared<render::PPBloomCombine>(*settings);
    dofHorizontal = std::make_shared<render::PPDOFHorizontal>(*settings);
    dofVertical = std::make_shared<render::PPDOFVertical>(*settings);
    postProcessor->add(bloomBlurHorizontal);
    postProcessor->add(bloomBlurVertical);
    postProcessor->add(bloomCombine);
    postProcessor->add(dofHorizontal);
    postProcessor->add(dofVertical);

    healthBar = std::make_shared<gui::GUIPlayerHealthBar>(0.0f, static_cast<float>(settings->windowHeight),
                                                          healthBarSize, healthBarRing);
}

void Scene::render(int stage)
{
    // A physics-only scene has nothing to draw with.
    if (!sceneFramebuffer)
        return;
    switch (stage) {
    case 0:
        renderShadowMap();
        break;
    case 1:
        renderLitScene();
        break;
    case 2:
        renderSkybox();
        break;
    case 3:
        renderPostProcessing();
        break;
    case 4:
        presentToWindow();
        break;
    case 5:
        renderHealthBars();
        break;
    default:
        break;
    }
}

void Scene::renderShadowMap()
{
    depthShader->use();

    // The shadow box follows the player, so a 2048-texel map stays sharp on levels
    // of any length.
    glm::vec3 centre(0.0f);
    if (player) {
        player->getModelMatrix();
        centre = player->position;
    }
    skylight->follow(centre);
    lightSpaceMatrix = skylight->lightSpaceMatrix;
    depthShader->setMat4("lightSpaceMatrix", lightSpaceMatrix);

    glViewport(0, 0, shadowFramebuffer->width, shadowFramebuffer->height);
    shadowFramebuffer->bind();
    // Without depth testing the map would hold whatever was drawn last, not nearest.
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);

    // Both faces cast: thin level pieces and open meshes would otherwise let light through.
    glDisable(GL_CULL_FACE);
    drawEntities(*depthShader, false);
    glEnable(GL_CULL_FACE);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    outputTexture = shadowFramebuffer->texture;
}

void Scene::renderLitScene()
{
    sceneFramebuffer->bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The target's own size: the last real window size while the window is minimised.
    glViewport(0, 0, sceneFramebuffer->width, sceneFramebuffer->height);

    const render::DirectionalLight& light = *skylight->light;
    sceneShader->use();
    if (camera) {
        sceneShader->setMat4("viewProjMatrix", camera->projection * camera->getViewMatrix());
        sceneShader->setVec3("camera_world", camera->position);
        sceneShader->setFloat("nearZ", camera->nearZ);
        sceneShader->setFloat("farZ", camera->farZ);
    }
    sceneShader->setInt("showDepthMap", showDepthMap ? 1 : 0);
    sceneShader->setInt("drawNormal", drawNormal ? 1 : 0);
    sceneShader->setFloat("gamma", settings->gamma);
    if (camera) {
        sceneShader->setFloat("focalDepth", -camera->distance);
        sceneShader->setFloat("focalRange", camera->focalRange);
    }
    sceneShader->setVec3("dirL.color", light.color);
    sceneShader->setVec3("dirL.direction", light.direction);
    sceneShader->setInt("dirL.enabled", light.enabled ? 1 : 0);
    sceneShader->setInt("bokehRadius", 100);
    sceneShader->setInt("skybox", 10);
    sceneShader->setInt("shadowMap", 11);
    // Nothing the entities draw glows; whoever draws a glowing object after this
    // stage sets it and puts it back.
    sceneShader->setVec3("emission", glm::vec3(0.0f));

    glActiveTexture(GL_TEXTURE11);
    glBindTexture(GL_TEXTURE_2D, shadowFramebuffer->texture);
    sceneShader->setMat4("lightSpaceMatrix", lightSpaceMatrix);

    glEnable(GL_DEPTH_TEST);
    drawEntities(*sceneShader, debugDraw);

    // Stays bound: the particles and the sky box draw into it next.
    outputTexture = sceneFramebuffer->texture;
}

void Scene::renderSkybox()
{
    glActiveTexture(GL_TEXTURE10);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skybox->texture);
    skyboxShader->use();

    if (camera) {
        // The rotation only: the sky is infinitely far and never comes closer.
        skyView = glm::mat4(glm::mat3(camera->view));
        skyboxShader->setMat4("viewProjMatrix", camera->projection * skyView);
    }

    glDepthFunc(GL_LEQUAL);
    skybox->draw();
    glDepthFunc(GL_LESS);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    outputTexture = sceneFramebuffer->texture;
}

void Scene::renderPostProcessing()
{
    bloomCombine->gamma = settings->gamma;
    bloomCombine->exposure = settings->exposure;
    bloomCombine->useAces = settings->useAces;
    bloomBlurHorizontal->brightInput = sceneFramebuffer->brightTexture;

    postProcessor->run(sceneFramebuffer->texture);
    outputTexture = postProcessor->currentTexture;
}

void Scene::presentToWindow()
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, outputTexture);

    // A copy of the finished picture: it must not leave depth behind, or the
    // overlays drawn after it would fail the depth test against it.
    const bool depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    quadRender->draw(true, {0.5f, 0.5f}, {1.0f, 1.0f, 1.0f, 1.0f});
    if (depthTest)
        glEnable(GL_DEPTH_TEST);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Scene::renderHealthBars()
{
    if (camera) {
        const glm::mat4 viewProjection = camera->projection * camera->view;
        for (const auto& enemy : enemies)
            if (enemy->health > 0.0f)
                drawEnemyHealthBar(*enemy, viewProjection);
    }

    if (player) {
        const float health = player->health;
        healthBar->health = health;
        healthBar->fillColor = glm::vec4(1.0f - health / 100.0f, health / 100.0f, 0.0f, 1.0f);
    }
    healthBar->draw(screenProjection());
}

void Scene::setShadingMode(int mode)
{
    if (!skylight)
        return;
    if (mode == 0) {
        sceneShader = normalShader;
        skylight->light->color = dimLight;
    } else if (mode == 1) {
        sceneShader = pbrShader;
        skylight->light->color = fullLight;
    }
}

void Scene::resizeFramebuffers()
{
    if (!sceneFramebuffer)
        return;
    const auto width = static_cast<int>(settings->windowWidth);
    const auto height = static_cast<int>(settings->windowHeight);
    // A minimised window reports 0 x 0: keep the last real size until a new one comes.
    if (width <= 0 || height <= 0)
        return;
    for (const auto& pass : postProcessor->passes)
        pass->framebuffer->resize(width, height);
    sceneFramebuffer->resize(width, height);
}

glm::mat4 Scene::screenProjection() const
{
    float width = static_cast<float>(settings->windowWidth);
    float height = static_cast<float>(settings->windowHeight);
    if ((width <= 0.0f || height <= 0.0f) && sceneFramebuffer) {
        width = static_cast<float>(sceneFramebuffer->width);
        height = static_cast<float>(sceneFramebuffer->height);
    }
    return glm::ortho(0.0f, width, 0.0f, height, -1.0f, 1.0f);
}

} // namespace fennik::scene
