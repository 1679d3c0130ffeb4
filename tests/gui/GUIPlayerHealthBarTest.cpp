#include "gui/GUIPlayerHealthBar.hpp"

#include "GUITestSupport.hpp"

namespace fennik::gui {
namespace {

using GUIPlayerHealthBarTest = test::GUITest;

// The gauge as the scene builds it: corner at the window's top left, radius 150, a
// ring 15 pixels wide, whose sector grows from straight down towards the right.
TEST_F(GUIPlayerHealthBarTest, SectorFollowsTheHealthFromStraightDownAndLeavesTheOverlayState)
{
    test::OffscreenTarget target(800, 800);
    GUIPlayerHealthBar bar(150.0f, 15.0f);
    bar.fillColor = glm::vec4(0.0f, 1.0f, 0.0f, 1.0f);
    // Points of the ring 143 pixels from the corner: 2 degrees off straight down (5, 657), 2 off
    // straight right (143, 795), and 2 either side of halfway: (98, 695) below, (105, 702) above.
    struct Case { float health; int x, y; bool filled; };
    for (const Case c : {Case{100.0f, 5, 657, true}, Case{100.0f, 143, 795, true}, Case{50.0f, 98, 695, true},
                         Case{50.0f, 105, 702, false}, Case{0.0f, 5, 657, false}, Case{120.0f, 143, 795, true}}) {
        target.clear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
        glEnable(GL_BLEND);
        bar.health = c.health;
        bar.draw(target.screenProjection(), UiFrame{});
        EXPECT_EQ(target.pixel(c.x, c.y), c.filled ? glm::u8vec4(0, 255, 0, 255) : glm::u8vec4(0, 0, 0, 255))
            << "health " << c.health << " at " << c.x << ", " << c.y;
        EXPECT_TRUE(test::overlayStateLeft());
    }
    // Beyond the gauge the backdrop stays; inside it the heart shows red.
    EXPECT_EQ(target.pixel(200, 700), glm::u8vec4(128, 128, 128, 255));
    EXPECT_GT(target.pixel(55, 707).r, 2 * target.pixel(55, 707).g);
}

} // namespace
} // namespace fennik::gui
