#include "gui/GUIPlayerHealthBar.hpp"

#include "GUITestSupport.hpp"
#include "support/LogCapture.hpp"

#include <cmath>
#include <numbers>
#include <optional>

namespace fennik::gui {
namespace {

using GUIPlayerHealthBarTest = test::GUITest;

// The gauge as the scene builds it: corner at the window's top left, radius 150, a
// ring 15 pixels wide, whose sector grows from straight down towards the right.
TEST_F(GUIPlayerHealthBarTest, SectorFollowsTheHealthFromStraightDownAndLeavesTheOverlayState)
{
    test::OffscreenTarget target(800, 800);
    std::optional<GUIPlayerHealthBar> bar;
    {
        test::LogCapture quiet;
        bar.emplace(0.0f, 800.0f, 150.0f, 15.0f);
    }
    bar->fillColor = glm::vec4(0.0f, 1.0f, 0.0f, 1.0f);
    // A point of the ring at `degrees` from straight right, counter-clockwise.
    const auto ringAt = [&](float degrees) {
        const float radians = degrees * std::numbers::pi_v<float> / 180.0f;
        return target.pixel(static_cast<int>(std::lround(143.0f * std::cos(radians))),
                            static_cast<int>(std::lround(800.0f + 143.0f * std::sin(radians))));
    };
    struct Case { float health, degrees; bool filled; };
    for (const Case c : {Case{100.0f, -88.0f, true}, Case{100.0f, -2.0f, true}, Case{50.0f, -47.0f, true},
                         Case{50.0f, -43.0f, false}, Case{0.0f, -88.0f, false}, Case{120.0f, -2.0f, true}}) {
        target.clear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
        glEnable(GL_BLEND);
        bar->health = c.health;
        bar->draw(target.screenProjection());
        EXPECT_EQ(ringAt(c.degrees), c.filled ? glm::u8vec4(0, 255, 0, 255) : glm::u8vec4(0, 0, 0, 255))
            << "health " << c.health << " at " << c.degrees;
        EXPECT_TRUE(test::overlayStateLeft());
    }
    // Beyond the gauge the backdrop stays; inside it the heart shows red.
    EXPECT_EQ(target.pixel(200, 700), glm::u8vec4(128, 128, 128, 255));
    EXPECT_GT(target.pixel(55, 707).r, 2 * target.pixel(55, 707).g);
}

} // namespace
} // namespace fennik::gui
