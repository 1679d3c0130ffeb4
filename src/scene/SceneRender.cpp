#include "scene/Scene.hpp"

#include "core/GameSettings.hpp"
#include "gui/GUIPlayerHealthBar.hpp"
#include "gui/UiFrame.hpp"
#include "gui/ShapeRenderer.hpp"
#include "gui/Text.hpp"
#include "gui/TextRenderer.hpp"
#include "physics/Enemy.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Player.hpp"
#include "render/GpuResources.hpp"
#include "render/PostEffects.hpp"
#include "render/Shader.hpp"
#include "render/SavedGLState.hpp"
#include "render/Skylight.hpp"
#include "render/TextureUnits.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cstdio>

namespace fennik::scene {

namespace {

// The gauge hangs in the top-left corner: its corner point, radius and ring width.
constexpr float healthBarSize = 150.0f;
constexpr float healthBarRing = 15.0f;

const glm::vec3 dimLight{0.3f, 0.3f, 0.3f};
const glm::vec3 fullLight{0.9f, 0.9f, 0.9f};

// Enemies learn to draw their floating health bar with the enemies themselves;
// until an enemy kind has one, there is nothing to draw for it.
template <typename EnemyKind>
void drawEnemyHealthBar(EnemyKind& enemy, const glm::mat4& viewProjection, float alpha)
{
    if constexpr (requires { enemy.drawHealthBar(viewProjection, glm::vec3(0.0f)); })
        enemy.drawHealthBar(viewProjection, enemy.drawnPosition(alpha));
}

} // namespace

void Scene::createRenderResources()
{
    gpu = &render::gpu();
    // Made now rather than in the middle of a frame, where making a target would
    // change the texture bindings of the pass that asked for it.
    gpu->configure(settings->graphics);
    gpu->skybox();
    gpu->quad();
    gpu->timer();
    text = std::make_unique<gui::Text>(&gui::TextRenderer::instance(), "");
    pbrShader = gpu->program("normalShader.vert", "pbrShader.frag");
    depthShader = gpu->program("depthShader.vert", "depthShader.frag");
    skyboxShader = gpu->program("skybox.vert", "skybox.frag");
    landingMarkerShader = gpu->program("landingMarker.vert", "landingMarker.frag");
    postEffects = std::make_unique<render::PostEffects>(*gpu);
    skylight = std::make_shared<render::Skylight>();
    sceneShader = pbrShader;
    healthBar = std::make_shared<gui::GUIPlayerHealthBar>(healthBarSize, healthBarRing);
}

render::Frame Scene::buildFrame(FrameParts parts)
{
    // The overlay puts back the state it changes.
    std::function<void()> overlay;
    if (parts.overlay)
        overlay = [draw = std::move(parts.overlay)] {
            const render::SavedGLState saved;
            draw();
        };
    // Which passes run follows the graphics settings and the debug views from frame to
    // frame; "picture" is the window itself at full render scale.
    const auto plain = [this] { return drawNormal; };
    const auto bloomOn = [this] { return !drawNormal && settings->graphics.bloom != core::Bloom::Off; };
    const auto bloomOff = [this] { return !drawNormal && settings->graphics.bloom == core::Bloom::Off; };
    const auto depthOfFieldOn = [this] { return !drawNormal && settings->graphics.depthOfField; };
    const auto scaledDown = [this] { return gpu->renderScale() < 1.0f; };
    std::vector<render::Pass> passes{
        {"shadow map", {}, {"shadow map"}, [this] { renderShadowMap(); }, {}},
        {"lit scene", {"shadow map"}, {"scene colour", "bright parts", "scene depth"}, [this] { renderLitScene(); }, {}},
        {"landing marker", {"scene depth"}, {"scene colour", "bright parts"}, [this] { renderLandingMarker(); }, {}},
        {"particles", {"scene depth"}, {"scene colour"}, std::move(parts.particles), {}},
        {"sky box", {"scene depth"}, {"scene colour"}, [this] { renderSkybox(); }, {}},
        {"bloom blur", {"bright parts"}, {"bloom"}, [this] { renderBloomBlur(); }, bloomOn},
        {"bloom combine", {"scene colour", "bloom"}, {"picture"}, [this] { renderBloomCombine(); }, bloomOn},
        {"tone mapping", {"scene colour"}, {"picture"}, [this] { renderBloomCombine(); }, bloomOff},
        {"depth of field", {"picture"}, {"picture"}, [this] { renderDepthOfField(); }, depthOfFieldOn},
        {"scene to window", {"scene colour"}, {"picture"}, [this] { presentToWindow(); }, plain},
        {"scale up", {"picture"}, {"window"}, [this] { scalePictureUp(); }, scaledDown},
        {"health bars", {"window"}, {"window"}, parts.healthBars ? [this] { renderHealthBars(); } : std::function<void()>(), {}},
        {"2D overlay", {"window"}, {"window"}, overlay, {}},
    };
    // What the level does not draw is left out of its frame.
    std::erase_if(passes, [](const render::Pass& pass) { return !pass.draw; });
    return render::Frame(std::move(passes));
}

std::optional<Scene::LandingMarker> Scene::landingMarker() const
{
    if (!player || !player->body)
        return std::nullopt;
    const glm::vec3 from = player->drawnPosition(alpha);
    // The first surface straight below the player, the player's own body left out.
    struct BelowPlayer : btCollisionWorld::ClosestRayResultCallback {
        using ClosestRayResultCallback::ClosestRayResultCallback;
        const btCollisionObject* player = nullptr;
        bool needsCollision(btBroadphaseProxy* proxy) const override
        {
            return proxy->m_clientObject != player && ClosestRayResultCallback::needsCollision(proxy);
        }
    };
    const btVector3 start(from.x, from.y, from.z);
    const btVector3 end(from.x, from.y - landingMarkerReach, from.z);
    BelowPlayer below(start, end);
    below.player = player->body.get();
    dynamicsWorld->rayTest(start, end, below);
    if (!below.hasHit())
        return std::nullopt;
    const btVector3& point = below.m_hitPointWorld;
    const btVector3 normal = below.m_hitNormalWorld.normalized();
    // The capsule's lowest point is a radius and a quarter below its centre.
    const float height = from.y - point.y() - player->capsuleRadius * 1.25f;
    if (!player->jumping && height < 0.4f)
        return std::nullopt;
    const float far = std::clamp(height / landingMarkerReach, 0.0f, 1.0f);
    return LandingMarker{{point.x(), point.y(), point.z()}, {normal.x(), normal.y(), normal.z()},
                         1.3f * (1.0f - 0.5f * far), 0.9f * (1.0f - far)};
}

void Scene::renderLandingMarker()
{
    const std::optional<LandingMarker> marker = landingMarker();
    if (!marker || !camera || marker->strength <= 0.0f)
        return;

    // The quad's plane turned to the surface, a hair above it against z-fighting.
    const glm::vec3 normal = marker->normal;
    const glm::vec3 across = glm::normalize(
        glm::cross(normal, std::abs(normal.x) < 0.9f ? glm::vec3(1.0f, 0.0f, 0.0f) : glm::vec3(0.0f, 0.0f, 1.0f)));
    const glm::vec3 along = glm::cross(normal, across);
    const glm::mat4 model(glm::vec4(across * marker->radius, 0.0f), glm::vec4(along * marker->radius, 0.0f),
                          glm::vec4(normal, 0.0f), glm::vec4(marker->point + normal * 0.05f, 1.0f));
    const render::SavedGLState saved;
    landingMarkerShader->use();
    landingMarkerShader->setMat4("viewProjMatrix", camera->projection * camera->view);
    landingMarkerShader->setMat4("modelMatrix", model);
    landingMarkerShader->setFloat("strength", marker->strength);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    gpu->quad().draw();
    glDepthMask(GL_TRUE);
}

void Scene::draw(const render::Frame& frame, float frameAlpha)
{
    // A physics-only scene has nothing to draw with.
    if (!gpu)
        return;
    alpha = frameAlpha;
    if (camera)
        camera->prepareDraw(alpha);
    frame.run(&gpu->timer());
}

void Scene::renderShadowMap()
{
    depthShader->use();

    // The shadow box follows the player, so a 2048-texel map stays sharp on levels
    // of any length.
    glm::vec3 centre(0.0f);
    if (player)
        centre = player->drawnPosition(alpha);
    skylight->follow(centre);
    lightSpaceMatrix = skylight->lightSpaceMatrix;
    depthShader->setMat4("lightSpaceMatrix", lightSpaceMatrix);

    render::RenderTarget& shadowMap = gpu->shadowMap();
    glViewport(0, 0, shadowMap.width(), shadowMap.height());
    shadowMap.bind();
    // Without depth testing the map would hold whatever was drawn last, not nearest.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClear(GL_DEPTH_BUFFER_BIT);

    // Both faces cast: thin level pieces and open meshes would otherwise let light through.
    glDisable(GL_CULL_FACE);
    drawEntities(*depthShader, false);
}

void Scene::renderLitScene()
{
    render::RenderTarget& target = gpu->sceneTarget();
    target.bind();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    if (cullFaces)
        glEnable(GL_CULL_FACE);
    else
        glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The target's own size: the last real window size while the window is minimised.
    glViewport(0, 0, target.width(), target.height());

    const render::DirectionalLight& light = *skylight->light;
    sceneShader->use();
    if (camera) {
        sceneShader->setMat4("viewProjMatrix", camera->projection * camera->view);
        sceneShader->setVec3("camera_world", camera->eye);
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
    sceneShader->setInt("skybox", render::units::skybox);
    sceneShader->setInt("shadowMap", render::units::shadowMap);
    sceneShader->setInt("softShadows", settings->graphics.softShadows ? 1 : 0);
    // Nothing the entities draw glows; whoever draws a glowing object after this
    // stage sets it and puts it back.
    sceneShader->setVec3("emission", glm::vec3(0.0f));

    glActiveTexture(render::units::active(render::units::skybox));
    glBindTexture(GL_TEXTURE_CUBE_MAP, gpu->skybox().texture());
    glActiveTexture(render::units::active(render::units::shadowMap));
    glBindTexture(GL_TEXTURE_2D, gpu->shadowMap().texture());
    sceneShader->setMat4("lightSpaceMatrix", lightSpaceMatrix);

    drawEntities(*sceneShader, debugDraw);
    // Stays bound: the particles and the sky box draw into it next.
}

void Scene::renderSkybox()
{
    render::Cubemap& skybox = gpu->skybox();
    glActiveTexture(render::units::active(render::units::skybox));
    glBindTexture(GL_TEXTURE_CUBE_MAP, skybox.texture());
    skyboxShader->use();
    skyboxShader->setInt("skybox", render::units::skybox);
    skyboxShader->setFloat("gamma", settings->gamma);
    if (camera) {
        // The rotation only: the sky is infinitely far and never comes closer.
        const glm::mat4 skyView = glm::mat4(glm::mat3(camera->view));
        skyboxShader->setMat4("viewProjMatrix", camera->projection * skyView);
    }

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    skybox.draw();
    glDepthFunc(GL_LESS);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

GLuint Scene::pictureFramebuffer()
{
    return gpu->renderScale() < 1.0f ? gpu->postTarget(0).framebuffer() : 0;
}

void Scene::renderBloomBlur()
{
    postEffects->blurBloom(gpu->sceneTarget().texture(1), settings->graphics.bloom == core::Bloom::Half);
}

void Scene::renderBloomCombine()
{
    const core::Bloom bloom = settings->graphics.bloom;
    const GLuint glow = bloom == core::Bloom::Off ? 0 : postEffects->bloomResult(bloom == core::Bloom::Half);
    // The depth of field reads post target 0 and writes the picture.
    const GLuint target = settings->graphics.depthOfField ? gpu->postTarget(0).framebuffer() : pictureFramebuffer();
    postEffects->combine(gpu->sceneTarget().texture(), glow, {settings->exposure, settings->gamma, settings->useAces},
                         target, !settings->graphics.depthOfField);
}

void Scene::renderDepthOfField()
{
    postEffects->depthOfField(pictureFramebuffer(), gpu->renderScale());
}

void Scene::presentToWindow()
{
    postEffects->copy(gpu->sceneTarget().texture(), pictureFramebuffer());
}

void Scene::scalePictureUp()
{
    postEffects->scaleUp(gpu->postTarget(0).texture(), gpu->windowWidth(), gpu->windowHeight());
}

void Scene::renderHealthBars()
{
    if (camera) {
        const glm::mat4 viewProjection = camera->projection * camera->view;
        for (const auto& enemy : enemies)
            if (enemy->health > 0.0f)
                drawEnemyHealthBar(*enemy, viewProjection, alpha);
    }

    if (player) {
        const float health = player->health;
        healthBar->health = health;
        healthBar->fillColor = glm::vec4(1.0f - health / 100.0f, health / 100.0f, 0.0f, 1.0f);
    }
    healthBar->draw(screenProjection(), gui::UiFrame::current());
}

void Scene::setShadingMode(int mode)
{
    if (!skylight)
        return;
    if (mode == 0) {
        // The normals view is for debugging: its program is built when first asked for.
        if (!normalShader)
            normalShader = gpu->program("normalShader.vert", "normalShader.frag");
        sceneShader = normalShader;
        skylight->light->color = dimLight;
    } else if (mode == 1) {
        sceneShader = pbrShader;
        skylight->light->color = fullLight;
    }
}

void Scene::resizeFramebuffers()
{
    if (gpu)
        gpu->resizeTargets(static_cast<int>(settings->windowWidth), static_cast<int>(settings->windowHeight));
}

glm::mat4 Scene::screenProjection() const
{
    float width = static_cast<float>(settings->windowWidth);
    float height = static_cast<float>(settings->windowHeight);
    if ((width <= 0.0f || height <= 0.0f) && gpu) {
        width = static_cast<float>(gpu->windowWidth());
        height = static_cast<float>(gpu->windowHeight());
    }
    return glm::ortho(0.0f, width, 0.0f, height, -1.0f, 1.0f);
}

std::vector<std::string> Scene::timingLines() const
{
    std::vector<std::string> lines;
    if (!gpu)
        return lines;
    const auto line = [&lines](const std::string& name, double milliseconds) {
        char figure[32];
        std::snprintf(figure, sizeof figure, "%.1f ms", milliseconds);
        lines.push_back(name + "  " + figure);
    };
    // What the timings were taken with, first.
    lines.push_back("preset  " + core::presetName(settings->graphics.preset.value_or(core::GraphicsPreset::Custom)));
    char scale[16];
    std::snprintf(scale, sizeof scale, "%.2f", static_cast<double>(gpu->renderScale()));
    lines.push_back(std::string("render scale  ") + scale);
    const render::GpuTimer& timer = gpu->timer();
    for (const auto& pass : timer.latest())
        line(pass.name, pass.milliseconds);
    line("frame", timer.latestTotal());
    return lines;
}

void Scene::drawTimings()
{
    // A dark panel in the top-right corner: pass names on the left, milliseconds
    // flush right. Reference units, scaled with the rest of the overlay.
    constexpr float scale = 0.75f;
    constexpr float lineHeight = 24.0f;
    constexpr float panelWidth = 250.0f;
    constexpr float margin = 12.0f;
    constexpr float padding = 8.0f;
    const std::vector<std::string> lines = timingLines();
    const gui::UiFrame frame = gui::UiFrame::current();
    const float panelHeight = lineHeight * static_cast<float>(lines.size()) + 2.0f * padding;
    const glm::vec2 topLeft = frame.point(gui::Anchor::TopRight, {-margin - panelWidth, -margin});
    const glm::mat4 projection = screenProjection();

    gui::ShapeRenderer& shapes = gui::ShapeRenderer::instance();
    shapes.beginShape(projection, GL_TRIANGLES);
    const glm::vec4 panel(0.05f, 0.04f, 0.08f, 0.75f);
    shapes.rect(topLeft.x, topLeft.y - frame.size(panelHeight), frame.size(panelWidth), frame.size(panelHeight), panel,
                panel);
    shapes.endShape();

    const glm::vec3 colour = text->color;
    text->color = glm::vec3(1.0f, 0.85f, 0.4f);
    const float pixels = frame.captionPixels(scale);
    float baseline = topLeft.y - frame.size(padding + lineHeight - 6.0f);
    for (const std::string& line : lines) {
        const std::size_t split = line.find("  ");
        text->text = line.substr(0, split);
        text->draw(glm::vec2(topLeft.x + frame.size(padding), baseline), pixels, projection, false);
        text->text = line.substr(split + 2);
        text->draw(glm::vec2(topLeft.x + frame.size(panelWidth - padding) - text->width(pixels), baseline), pixels,
                   projection, false);
        baseline -= frame.size(lineHeight);
    }
    text->color = colour;
}

} // namespace fennik::scene
