#include "gui/ReplaysScreen.hpp"

#include "gui/TextRenderer.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <ctime>

namespace fennik::gui {

namespace {

constexpr float rowWidth = 420.0f;
constexpr float rowHeight = 36.0f;
constexpr float rowStep = 44.0f;
constexpr float captionScale = 0.62f;
constexpr float titleY = 4.6f * rowStep;
// From the title's top to the bottom of "Back", in reference units.
const glm::vec2 extent(rowWidth, 2.0f * (titleY + 28.0f));

// Where a run began, for one that Continue or the levels page started further on.
std::string startedFrom(const core::Replay& replay)
{
    return replay.firstLevel() == core::runLevels[0] ? "" : "   from " + core::levelTitle(replay.firstLevel());
}

// "07 Dec 14:03   2:17.43   Level 2"; a run that cannot be played says why after it,
// "07 Dec 14:03 2:17 Level 2 (other version)", closer set so that it stays in its bar.
std::string captionOf(const core::ReplayEntry& entry)
{
    const core::ReplayEntry::Summary& run = entry.summary;
    const bool playable = entry.reason.empty();
    const std::string gap = playable ? "   " : " ";
    std::string caption = "Unknown date";
    if (run.startedAt != 0) {
        const std::time_t started = static_cast<std::time_t>(run.startedAt);
        std::tm local{};
        localtime_r(&started, &local);
        char date[32];
        std::strftime(date, sizeof date, "%d %b %H:%M", &local);
        caption = date;
    }
    if (run.ticks) {
        const std::string time = core::formatRunTime(*run.ticks);
        caption += gap + (playable ? time : time.substr(0, time.find('.'))) + gap + run.furthestLevel;
    }
    if (playable && entry.replay)
        caption += startedFrom(*entry.replay);
    if (!playable)
        caption += " (" + entry.reason + ")";
    return caption;
}

} // namespace

ReplaysScreen::ReplaysScreen()
    : title(&TextRenderer::instance(), "Replays"), empty(&TextRenderer::instance(), "No runs recorded yet")
{
    const float top = 3.5f * rowStep;
    for (std::size_t index = 0; index <= shownRuns; ++index) {
        const float y = top - static_cast<float>(index) * rowStep - (index == shownRuns ? rowStep * 0.5f : 0.0f);
        rows.push_back(std::make_unique<GUIButton>(Anchor::Centre, glm::vec2(0.0f, y), index == shownRuns ? "Back" : "",
                                                   captionScale, glm::vec2(rowWidth, rowHeight)));
        styleButton(*rows.back());
        rows.back()->onClick = [this, index] { pick(index); };
    }
}

void ReplaysScreen::open(std::vector<core::ReplayEntry> runs)
{
    entries = std::move(runs);
    if (entries.size() > shownRuns)
        entries.resize(shownRuns);
    // The focus walks the runs listed and "Back"; the last one's light goes with it.
    if (focus)
        focus->clear();
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

void ReplaysScreen::draw(const glm::mat4& projection, const UiFrame& frame)
{
    if (!shown)
        return;
    const float readable = UiFrame::smallestCaption / Text::pixelsOf(captionScale);
    const UiFrame page = frame.scaledTo(frame.scaledTo(std::max(frame.scale, readable)).fittingScale(extent));
    drawDimmedPage(projection, page, title, titleY);
    if (entries.empty()) {
        empty.color = glm::vec3(1.0f);
        empty.draw(page.point(Anchor::Centre, {0.0f, 2.0f * rowStep}), page.captionPixels(0.75f), projection, true);
    }
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        if (index < shownRuns && index >= entries.size())
            continue;
        GUIButton& row = *rows[index];
        const auto click = std::exchange(row.onClick, nullptr);
        row.draw(projection, page); // lays out, updates the hover state and draws
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

std::vector<GUIButton*> ReplaysScreen::buttons() const
{
    std::vector<GUIButton*> shownRows;
    for (std::size_t index = 0; index < entries.size(); ++index)
        shownRows.push_back(rows[index].get());
    shownRows.push_back(rows.back().get());
    return shownRows;
}

} // namespace fennik::gui
