#include "gui/GUIButton.hpp"

#include "GUITestSupport.hpp"

#include <GLFW/glfw3.h>

namespace fennik::gui {
namespace {

using GUIButtonTest = test::GUITest;

TEST_F(GUIButtonTest, EdgesCountAsInsideAndOnlyALeftPressInsideClicks)
{
    GUIElement element(0, Anchor::BottomLeft, {125.0f, 210.0f}, {50.0f, 20.0f});
    int clicks = 0, hovers = 0;
    element.onClick = [&] { ++clicks; };
    element.onHover = [&] { ++hovers; };
    struct Case { float x, y; int button; int hoverState, clicks; };
    const Case cases[] = {
        {100.0f, 200.0f, -1, 0, 0}, {150.0f, 220.0f, -1, 0, 0}, // the corners, and just outside each edge
        {150.5f, 210.0f, GLFW_MOUSE_BUTTON_LEFT, 1, 0}, {99.5f, 210.0f, GLFW_MOUSE_BUTTON_LEFT, 1, 0},
        {125.0f, 220.5f, GLFW_MOUSE_BUTTON_LEFT, 1, 0}, {125.0f, 199.5f, GLFW_MOUSE_BUTTON_LEFT, 1, 0},
        {125.0f, 590.0f, GLFW_MOUSE_BUTTON_LEFT, 1, 0}, // the mirror image in y
        {125.0f, 210.0f, GLFW_MOUSE_BUTTON_RIGHT, 0, 0},
        {125.0f, 210.0f, GLFW_MOUSE_BUTTON_LEFT, 0, 1}, // and again every frame it is held
    };
    for (const Case& c : cases) {
        input.releaseAll();
        cursorAt(c.x, c.y);
        if (c.button >= 0)
            input.pressButton(c.button);
        clicks = 0;
        element.update(UiFrame{});
        EXPECT_EQ(element.hoverState, c.hoverState) << c.x << ", " << c.y;
        EXPECT_EQ(clicks, c.clicks) << c.x << ", " << c.y;
    }
    EXPECT_EQ(hovers, 4);
}

} // namespace
} // namespace fennik::gui
