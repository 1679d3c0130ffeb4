#include "gui/LevelsScreen.hpp"

#include "core/Replay.hpp"
#include "gui/TextRenderer.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace fennik::gui {

namespace {

constexpr float rowWidth = 360.0f;
constexpr float rowHeight = 36.0f;
constexpr float rowStep = 48.0f;
constexpr float captionScale = 0.62f;
constexpr float titleY = 3.8f * rowStep;
// From the title's top to the bottom of "Back", in reference units.
const glm::vec2 extent(rowWidth, 2.0f * (titleY + 28.0f));

} // namespace

LevelsScreen::LevelsScreen() : title(&TextRenderer::instance(), "Levels")
{
    const float top = 2.5f * rowStep;
    for (std::size_t index = 0; index <= core::Progress::levelCount; ++index) {
        const bool isBack = index == core::Progress::levelCount;
        const float y = top - static_cast<float>(index) * rowStep - (isBack ? rowStep * 0.5f : 0.0f);
        rows.push_back(std::make_unique<GUIButton>(Anchor::Centre, glm::vec2(0.0f, y), isBack ? "Back" : "",
                                                   captionScale, glm::vec2(rowWidth, rowHeight)));
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

void LevelsScreen::draw(const glm::mat4& projection, const UiFrame& frame)
{
    if (!shown)
        return;
    const float readable = UiFrame::smallestCaption / Text::pixelsOf(captionScale);
    const UiFrame page = frame.scaledTo(frame.scaledTo(std::max(frame.scale, readable)).fittingScale(extent));
    drawDimmedPage(projection, page, title, titleY);
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        GUIButton& row = *rows[index];
        const auto click = std::exchange(row.onClick, nullptr);
        row.draw(projection, page); // lays out, updates the hover state and draws
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

std::vector<GUIButton*> LevelsScreen::buttons() const
{
    std::vector<GUIButton*> all;
    for (const auto& row : rows)
        all.push_back(row.get());
    return all;
}

} // namespace fennik::gui
