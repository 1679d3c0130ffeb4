#pragma once

#include <glm/vec2.hpp>

namespace fennik::gui {

// Where on the window an element hangs from.
enum class Anchor { Centre, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// The one place 2D layout becomes pixels. Every overlay is laid out in a reference
// frame of 800 x 800 and scaled once: s = min(width, height) / 800 x ui_scale. An
// element is an anchor on the window (its centre or a corner) with an offset and a
// size in reference units; both scale by s, so at 800 x 800 and 100 % a reference
// unit is a pixel. Window pixels, origin bottom left, y up.
struct UiFrame {
    static constexpr float referenceSize = 800.0f;
    // No caption smaller than this where the page it is on still fits.
    static constexpr float smallestCaption = 12.0f;

    float width = referenceSize;
    float height = referenceSize;
    float scale = 1.0f;

    // `uiScale` in percent.
    static UiFrame forWindow(float width, float height, float uiScale);
    // The main window's, from the settings record (the reference frame itself when
    // there is none yet).
    static UiFrame current();

    glm::vec2 anchorPoint(Anchor anchor) const;
    glm::vec2 point(Anchor anchor, glm::vec2 offset) const { return anchorPoint(anchor) + offset * scale; }
    float size(float reference) const { return reference * scale; }
    // The font's pixel size of a caption of the older `textScale` (32 px x textScale
    // squared at 800 x 800), never under `smallestCaption`.
    float captionPixels(float textScale) const;

    // This frame at another scale, for a page whose content cannot fit at s.
    UiFrame scaledTo(float newScale) const { return {width, height, newScale}; }
    // The largest scale, up to this frame's own, at which a block of `extent` reference
    // units around the centre keeps `margin` reference units from every edge.
    float fittingScale(glm::vec2 extent, float margin = 8.0f) const;
};

} // namespace fennik::gui
