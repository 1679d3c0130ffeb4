#include "gui/UiFrame.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "gui/Text.hpp"

#include <algorithm>

namespace fennik::gui {

UiFrame UiFrame::forWindow(float width, float height, float uiScale)
{
    return {width, height, std::min(width, height) / referenceSize * uiScale / 100.0f};
}

UiFrame UiFrame::current()
{
    const core::GameSettings* settings = core::LevelManager::instance().settings;
    if (!settings)
        return {};
    return forWindow(static_cast<float>(settings->windowWidth), static_cast<float>(settings->windowHeight),
                     settings->uiScale);
}

glm::vec2 UiFrame::anchorPoint(Anchor anchor) const
{
    switch (anchor) {
    case Anchor::Centre: return {width * 0.5f, height * 0.5f};
    case Anchor::Top: return {width * 0.5f, height};
    case Anchor::Bottom: return {width * 0.5f, 0.0f};
    case Anchor::TopLeft: return {0.0f, height};
    case Anchor::TopRight: return {width, height};
    case Anchor::BottomLeft: return {0.0f, 0.0f};
    case Anchor::BottomRight: return {width, 0.0f};
    }
    return {};
}

float UiFrame::captionPixels(float textScale) const
{
    return std::max(Text::pixelsOf(textScale) * scale, smallestCaption);
}

float UiFrame::fittingScale(glm::vec2 extent, float margin) const
{
    const glm::vec2 room(width, height);
    const glm::vec2 fit = room / (extent + 2.0f * margin);
    return std::min({scale, fit.x, fit.y});
}

} // namespace fennik::gui
