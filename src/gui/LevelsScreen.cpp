#include "gui/LevelsScreen.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "core/Replay.hpp"
#include "gui/TextRenderer.hpp"

#include <GLFW/glfw3.h>

namespace fennik::gui {

namespace {

constexpr float rowWidth = 360.0f;
constexpr float rowHeight = 36.0f;
constexpr float rowStep = 48.0f;
constexpr float captionScale = 0.62f;

} // namespace

LevelsScreen::LevelsScreen() : title(&TextRenderer::instance(), "Levels")
{
    const core::GameSettings& settings = *core::LevelManager::instance().settings;
    const float x = static_cast<float>(settings.windowWidth) * 0.5f;
    const float top = static_cast<float>(settings.windowHeight) * 0.5f + 2.5f * rowStep;
    for (std::size_t index = 0; index <= core::Progress::levelCount; ++index) {
        const bool isBack = index == core::Progress::levelCount;
        const float y = top - static_cast<float>(index) * rowStep - (isBack ? rowStep * 0.5f : 0.0f);
        rows.push_back(std::make_unique<GUIButton>(x, y, isBack ? "Back" : "", captionScale, rowWidth, rowHeight, true));
        styleButton(*rows.back());
        rows.back()->onClick = [this, index] { pick(index); };
    }
}

void LevelsScreen::open(const core::Progress& reached)
{
    progress = reached;
    std::vector<GUIElement*> order;
    for (std::size_t index = 0; index < core::Progress::levelCount; ++index) {
        const std::string name = core::levelTitle(core::runLevels[index]);
        const std::uint32_t best = progress.best[index];
        if (static_cast<int>(index) > progress.furthest)
            rows[index]->label.text = name + "   not reached yet";
        else
            rows[index]->label.text = name + "   " + (best > 0 ? core::formatRunTime(best) : std::string("no time yet"));
        order.push_back(rows[index].get());
    }
    order.push_back(rows.back().get());
    focus = std::make_unique<MenuFocus>(order);
    focus->clear(); // a row focused when the page was last open is not now
    shown = true;
    clicks.reset();
}

void LevelsScreen::back()
{
    shown = false;
}

void LevelsScreen::pick(std::size_t index)
{
    if (index == core::Progress::levelCount) {
        back();
        return;
    }
    if (static_cast<int>(index) > progress.furthest || !onPlay)
        return;
    shown = false;
    onPlay(core::runLevels[index]);
}

void LevelsScreen::draw(const glm::mat4& projection)
{
    if (!shown)
        return;
    const core::GameSettings& settings = *core::LevelManager::instance().settings;
    drawDimmedPage(projection, title, static_cast<float>(settings.windowHeight) * 0.5f + 3.8f * rowStep);
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        GUIButton& row = *rows[index];
        const auto click = std::exchange(row.onClick, nullptr);
        row.draw(projection); // updates the hover state, lays out and draws
        row.onClick = click;
        if (row.hoverState == 0 && clicks.left())
            click();
    }
}

void LevelsScreen::onKey(int key, int action)
{
    if (!shown)
        return;
    if (key == GLFW_KEY_ESCAPE) {
        if (action == GLFW_RELEASE)
            back();
        return;
    }
    focus->onKey(key, action);
}

void LevelsScreen::onGamepadButton(int button, int action)
{
    if (!shown || action != GLFW_PRESS)
        return;
    if (button == GLFW_GAMEPAD_BUTTON_B)
        back();
    else
        focus->onGamepadButton(button, action);
}

std::vector<std::string> LevelsScreen::captions() const
{
    std::vector<std::string> all;
    for (const auto& row : rows)
        all.push_back(row->label.text);
    return all;
}

} // namespace fennik::gui
