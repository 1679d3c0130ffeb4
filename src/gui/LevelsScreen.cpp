#include "gui/LevelsScreen.hpp"

#include "core/Replay.hpp"

namespace fennik::gui {

namespace {

constexpr float rowStep = 48.0f;
const ListLayout levelsLayout{{360.0f, 36.0f}, rowStep, 2.5f * rowStep, 3.8f * rowStep, 0.62f};

} // namespace

LevelsScreen::LevelsScreen() : ListPage("Levels", core::Progress::levelCount, levelsLayout)
{
}

void LevelsScreen::open(const core::Progress& reached)
{
    progress = reached;
    for (std::size_t index = 0; index < core::Progress::levelCount; ++index) {
        const std::string name = core::levelTitle(core::runLevels[index]);
        const std::uint32_t best = progress.best[index];
        if (static_cast<int>(index) > progress.furthest)
            rows[index]->label.text = name + "   not reached yet";
        else
            rows[index]->label.text = name + "   " + (best > 0 ? core::formatRunTime(best) : std::string("no time yet"));
    }
    show(core::Progress::levelCount);
}

void LevelsScreen::pick(std::size_t index)
{
    if (index == core::Progress::levelCount) {
        back();
        return;
    }
    if (static_cast<int>(index) > progress.furthest || !onPlay)
        return;
    back();
    onPlay(core::runLevels[index]);
}

void LevelsScreen::draw(const glm::mat4& projection, const UiFrame& frame)
{
    if (isOpen())
        drawRows(projection, pageFrame(frame));
}

} // namespace fennik::gui
