#include "gui/ReplaysScreen.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "gui/TextRenderer.hpp"

#include <GLFW/glfw3.h>

#include <ctime>

namespace fennik::gui {

namespace {

constexpr float rowWidth = 420.0f;
constexpr float rowHeight = 36.0f;
constexpr float rowStep = 44.0f;
constexpr float captionScale = 0.62f;

// Where a run began that Continue or the levels page started further on.
std::string startedFrom(const core::Replay& replay)
{
    return replay.firstLevel() == core::runLevels[0] ? "" : "   from " + core::levelTitle(replay.firstLevel());
}

std::string captionOf(const core::ReplayEntry& entry)
{
    if (!entry.replay)
        return "Unplayable: " + entry.problem;
    const std::time_t started = static_cast<std::time_t>(entry.replay->startedAt);
    std::tm local{};
    localtime_r(&started, &local);
    char date[32];
    std::strftime(date, sizeof date, "%d %b %H:%M", &local);
    return std::string(date) + "   " + core::formatRunTime(entry.replay->ticks()) + "   " +
           entry.replay->furthestLevel() + startedFrom(*entry.replay);
}

} // namespace

ReplaysScreen::ReplaysScreen()
    : title(&TextRenderer::instance(), "Replays"), empty(&TextRenderer::instance(), "No runs recorded yet")
{
    const core::GameSettings& settings = *core::LevelManager::instance().settings;
    const float x = static_cast<float>(settings.windowWidth) * 0.5f;
    const float top = static_cast<float>(settings.windowHeight) * 0.5f + 3.5f * rowStep;
    for (std::size_t index = 0; index <= shownRuns; ++index) {
        const float y = top - static_cast<float>(index) * rowStep - (index == shownRuns ? rowStep * 0.5f : 0.0f);
        rows.push_back(std::make_unique<GUIButton>(x, y, index == shownRuns ? "Back" : "", captionScale, rowWidth,
                                                   rowHeight, true));
        styleButton(*rows.back());
        rows.back()->onClick = [this, index] { pick(index); };
    }
}

void ReplaysScreen::open(std::vector<core::ReplayEntry> runs)
{
    entries = std::move(runs);
    if (entries.size() > shownRuns)
        entries.resize(shownRuns);
    // The focus walks the runs listed and "Back".
    std::vector<GUIElement*> order;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        rows[index]->label.text = captionOf(entries[index]);
        order.push_back(rows[index].get());
    }
    order.push_back(rows.back().get());
    focus = std::make_unique<MenuFocus>(order);
    shown = true;
    clicks.reset();
}

void ReplaysScreen::back()
{
    shown = false;
}

void ReplaysScreen::pick(std::size_t index)
{
    if (index >= entries.size()) {
        if (index == shownRuns)
            back();
        return;
    }
    const core::ReplayEntry& entry = entries[index];
    if (entry.replay && onPlay) {
        shown = false;
        onPlay(*entry.replay, entry.path);
    }
}

void ReplaysScreen::draw(const glm::mat4& projection)
{
    if (!shown)
        return;
    const core::GameSettings& settings = *core::LevelManager::instance().settings;
    const float middle = static_cast<float>(settings.windowHeight) * 0.5f;
    drawDimmedPage(projection, title, middle + 4.6f * rowStep);
    if (entries.empty()) {
        empty.color = glm::vec3(1.0f);
        empty.draw(glm::vec3(static_cast<float>(settings.windowWidth) * 0.5f, middle + 2.0f * rowStep, 0.0f), 0.75f,
                   glm::vec3(0.0f), projection, true);
    }
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        if (index < shownRuns && index >= entries.size())
            continue;
        GUIButton& row = *rows[index];
        const auto click = std::exchange(row.onClick, nullptr);
        row.draw(projection); // updates the hover state, lays out and draws
        row.onClick = click;
        if (row.hoverState == 0 && clicks.left())
            click();
    }
}

void ReplaysScreen::onKey(int key, int action)
{
    if (!shown || !focus)
        return;
    if (key == GLFW_KEY_ESCAPE) {
        if (action == GLFW_RELEASE)
            back();
        return;
    }
    focus->onKey(key, action);
}

void ReplaysScreen::onGamepadButton(int button, int action)
{
    if (!shown || !focus || action != GLFW_PRESS)
        return;
    if (button == GLFW_GAMEPAD_BUTTON_B)
        back();
    else
        focus->onGamepadButton(button, action);
}

std::vector<std::string> ReplaysScreen::captions() const
{
    std::vector<std::string> all;
    for (std::size_t index = 0; index < entries.size(); ++index)
        all.push_back(rows[index]->label.text);
    all.push_back(rows.back()->label.text);
    return all;
}

} // namespace fennik::gui
