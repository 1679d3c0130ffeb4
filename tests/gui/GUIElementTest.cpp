#include "gui/GUIElement.hpp"
#include "gui/ShapeRenderer.hpp"

#include "GUITestSupport.hpp"
#include "core/LevelManager.hpp"
#include "core/ScriptedInput.hpp"
#include "support/LogCapture.hpp"

#include <GLFW/glfw3.h>

namespace fennik::gui {
namespace {

class GUIElementTest : public test::GUITest {
protected:
    // Places the cursor at (x, y) in GUI pixels: origin bottom left, y up.
    void cursorAt(float x, float y)
    {
        input.moveCursor(x, static_cast<double>(settings.windowHeight) - y);
    }

    core::ScriptedInput input;
    core::ScopedInputSource scope{input};
};

TEST_F(GUIElementTest, StartsOutsideAndCountsItsEdgesAsInside)
{
    GUIElement element(0, glm::vec3(100.0f, 200.0f, 0.0f), 50.0f, 20.0f);
    EXPECT_EQ(element.hoverState, 1) << "idle before its first frame";
    struct Case { float x, y; int hoverState; };
    const Case cases[] = {
        {100.0f, 200.0f, 0},  // bottom-left corner
        {150.0f, 220.0f, 0},  // top-right corner
        {125.0f, 210.0f, 0},
        {150.5f, 210.0f, 1},  // just right
        {99.5f, 210.0f, 1},   // just left
        {125.0f, 220.5f, 1},  // just above
        {125.0f, 199.5f, 1},  // just below
    };
    for (const Case& c : cases) {
        cursorAt(c.x, c.y);
        element.update();
        EXPECT_EQ(element.hoverState, c.hoverState) << c.x << ", " << c.y;
    }
}

TEST_F(GUIElementTest, CallbacksRunEveryFrameNotOnChanges)
{
    GUIElement element(0, glm::vec3(100.0f, 100.0f, 0.0f), 50.0f, 50.0f);
    int idle = 0, hover = 0, clicks = 0;
    element.onIdle = [&] { ++idle; };
    element.onHover = [&] { ++hover; };
    element.onClick = [&] { ++clicks; };

    cursorAt(10.0f, 10.0f);
    for (int frame = 0; frame < 3; ++frame)
        element.update();
    EXPECT_EQ(idle, 3);
    EXPECT_EQ(hover, 0);

    cursorAt(120.0f, 120.0f);
    input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    for (int frame = 0; frame < 4; ++frame)
        element.update();
    EXPECT_EQ(hover, 4);
    EXPECT_EQ(clicks, 4) << "a held button clicks in every frame";

    input.releaseButton(GLFW_MOUSE_BUTTON_LEFT);
    element.update();
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(hover, 5);

    // Held while outside: no click.
    input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    cursorAt(10.0f, 10.0f);
    element.update();
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(idle, 4);

    // Other buttons do not click.
    input.releaseButton(GLFW_MOUSE_BUTTON_LEFT);
    input.pressButton(GLFW_MOUSE_BUTTON_RIGHT);
    cursorAt(120.0f, 120.0f);
    element.update();
    EXPECT_EQ(clicks, 4);
}

TEST_F(GUIElementTest, EmptyCallbacksAreSkipped)
{
    GUIElement element(0, glm::vec3(0.0f), 10.0f, 10.0f);
    input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    for (float at : {5.0f, 500.0f}) {
        cursorAt(at, at);
        element.update(); // an empty std::function would throw if called
    }
    EXPECT_EQ(element.hoverState, 1);
}

TEST_F(GUIElementTest, FollowsTheWindowSizeKeepingItsOwnAndHitTestsLastFramesRectangle)
{
    GUIElement element(0, glm::vec3(400.0f, 300.0f, 0.0f), 150.0f, 40.0f);
    settings.windowWidth = 1600;
    element.update();
    EXPECT_FLOAT_EQ(element.position.x, 800.0f);
    EXPECT_FLOAT_EQ(element.position.y, 300.0f);
    EXPECT_FLOAT_EQ(element.width, 150.0f);
    EXPECT_FLOAT_EQ(element.height, 40.0f);

    settings.windowHeight = 400;
    element.update();
    EXPECT_FLOAT_EQ(element.position.y, 150.0f);

    // Back to the size it was built for: back to where it was built.
    settings.windowWidth = 800;
    settings.windowHeight = 800;
    element.update();
    EXPECT_EQ(element.position, glm::vec3(400.0f, 300.0f, 0.0f));

    GUIElement square(0, glm::vec3(400.0f, 300.0f, 0.0f), 100.0f, 100.0f);
    settings.windowWidth = 1600;
    // Over the old place: the frame of the resize still tests there.
    cursorAt(450.0f, 350.0f);
    square.update();
    EXPECT_EQ(square.hoverState, 0);
    square.update();
    EXPECT_EQ(square.hoverState, 1);
    cursorAt(850.0f, 350.0f);
    square.update();
    EXPECT_EQ(square.hoverState, 0);
}

TEST_F(GUIElementTest, WithoutWindowSettingsItWarnsAndStaysPut)
{
    core::LevelManager::instance().setContext(nullptr, nullptr);
    test::LogCapture log;
    GUIElement element(0, glm::vec3(10.0f, 20.0f, 0.0f), 5.0f, 5.0f);
    EXPECT_EQ(log.count("[WARN]: "), 1u);
    element.update();
    EXPECT_EQ(element.position, glm::vec3(10.0f, 20.0f, 0.0f));
}

TEST_F(GUIElementTest, DrawsOneRectangleInTheCurrentShapeColour)
{
    test::OffscreenTarget target(64, 64);
    GUIElement element(0, glm::vec3(8.0f, 8.0f, 0.0f), 16.0f, 16.0f);
    element.shapes->color = glm::vec4(0.0f, 1.0f, 0.0f, 1.0f);
    element.draw(target.screenProjection());
    EXPECT_EQ(target.pixel(12, 12), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(target.pixel(30, 30), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(element.shapes->color, glm::vec4(1.0f));
}

} // namespace
} // namespace fennik::gui
