#include "gui/ReplaysScreen.hpp"

#include "gui/TextRenderer.hpp"

#include <ctime>

namespace fennik::gui {

namespace {

constexpr float rowStep = 44.0f;
const ListLayout replaysLayout{{480.0f, 36.0f}, rowStep, 3.5f * rowStep, 4.6f * rowStep, 0.62f};

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
    : ListPage("Replays", shownRuns, replaysLayout), empty(&TextRenderer::instance(), "No runs recorded yet")
{
}

void ReplaysScreen::open(std::vector<core::ReplayEntry> runs)
{
    entries = std::move(runs);
    if (entries.size() > shownRuns)
        entries.resize(shownRuns);
    for (std::size_t index = 0; index < entries.size(); ++index)
        rows[index]->label.text = captionOf(entries[index]);
    show(entries.size());
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
        back();
        onPlay(*entry.replay, entry.path);
    }
}

void ReplaysScreen::draw(const glm::mat4& projection, const UiFrame& frame)
{
    if (!isOpen())
        return;
    const UiFrame page = pageFrame(frame);
    drawRows(projection, page);
    if (entries.empty() && isOpen()) {
        empty.color = glm::vec3(1.0f);
        empty.draw(page.point(Anchor::Centre, {0.0f, 2.0f * rowStep}), page.captionPixels(0.75f), projection, true);
    }
}

} // namespace fennik::gui
