#include "gui/GUIPlayerHealthBar.hpp"

#include "GUITestSupport.hpp"
#include "core/ScriptedInput.hpp"
#include "support/LogCapture.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <numbers>
#include <optional>

namespace fennik::gui {
namespace {

constexpr float pi = std::numbers::pi_v<float>;
const glm::u8vec4 green(0, 255, 0, 255);
const glm::u8vec4 black(0, 0, 0, 255);

// The gauge as the scene builds it: corner at the window's top left, radius 150,
// a ring 15 pixels wide.
class GUIPlayerHealthBarTest : public test::GUITest {
protected:
    void SetUp() override
    {
        GUITest::SetUp();
        target.emplace(800, 800);
        target->clear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
        test::LogCapture quiet;
        bar.emplace(0.0f, static_cast<float>(settings.windowHeight), 150.0f, 15.0f);
        bar->fillColor = glm::vec4(0.0f, 1.0f, 0.0f, 1.0f);
    }

    void TearDown() override
    {
        bar.reset();
        target.reset();
        GUITest::TearDown();
    }

    // A point of the coloured ring at `degrees` from straight right, counter-clockwise,
    // around the window's top-left corner.
    glm::u8vec4 ringAt(float degrees) const
    {
        const float radians = degrees * pi / 180.0f;
        const float radius = 150.0f - 7.0f;
        return target->pixel(static_cast<int>(std::lround(radius * std::cos(radians))),
                             static_cast<int>(std::lround(target->height + radius * std::sin(radians))));
    }

    core::ScriptedInput input;
    core::ScopedInputSource scope{input};
    std::optional<test::OffscreenTarget> target;
    std::optional<GUIPlayerHealthBar> bar;
};

TEST_F(GUIPlayerHealthBarTest, SectorFollowsTheHealthFromStraightDown)
{
    struct Case { float health; float degrees; bool filled; };
    const Case cases[] = {
        {100.0f, -88.0f, true}, {100.0f, -45.0f, true}, {100.0f, -2.0f, true},
        {50.0f, -88.0f, true},  {50.0f, -47.0f, true},  {50.0f, -43.0f, false}, {50.0f, -2.0f, false},
        {0.0f, -88.0f, false},  {0.0f, -45.0f, false},
        // Above full the sector reaches on past the window edge, never clamped.
        {120.0f, -2.0f, true},
    };
    for (const Case& c : cases) {
        target->clear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
        bar->health = c.health;
        bar->draw(target->screenProjection());
        EXPECT_EQ(ringAt(c.degrees), c.filled ? green : black) << "health " << c.health << " at " << c.degrees;
    }
    EXPECT_EQ(bar->gaugeAngle(), 108.0f);
}

TEST_F(GUIPlayerHealthBarTest, DiscsCoverTheCornerWithTheRedHeartOnTop)
{
    const glm::u8vec4 backdrop = target->pixel(400, 400);
    bar->health = 60.0f;
    bar->fillColor = glm::vec4(0.4f, 0.6f, 0.0f, 1.0f);
    input.setTime(0.2); // the heart has turned a little and bobbed up
    bar->draw(target->screenProjection());
    target->save("health_gauge.png");
    // Beyond the gauge the backdrop stays; the corner region is covered.
    EXPECT_EQ(target->pixel(200, 700), backdrop);
    EXPECT_EQ(target->pixel(150, 650), backdrop);
    EXPECT_NE(target->pixel(60, 760), backdrop);
    EXPECT_NE(target->pixel(3, 797), backdrop);
    // The sector reaches 54 degrees from straight down, not beyond.
    EXPECT_EQ(ringAt(-40.0f), glm::u8vec4(102, 153, 0, 255));
    EXPECT_EQ(ringAt(-29.0f), black);
    const glm::u8vec4 heart = target->pixel(55, 707);
    EXPECT_GT(heart.r, 100);
    EXPECT_LT(heart.g, heart.r / 2);
}

TEST_F(GUIPlayerHealthBarTest, StaysInTheTopLeftCornerAfterAResize)
{
    settings.windowHeight = 600;
    target.emplace(800, 600);
    target->clear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f));
    bar->draw(target->screenProjection());
    EXPECT_EQ(bar->position, glm::vec3(0.0f, 600.0f, 0.0f));
    EXPECT_EQ(ringAt(-45.0f), green);
    EXPECT_FLOAT_EQ(bar->width, 150.0f);
}

TEST_F(GUIPlayerHealthBarTest, HeartBobsBetween695And715AndTurnsOnceEvery3Point6Seconds)
{
    float lowest = 1e9f, highest = -1e9f;
    // A tenth of a second apart over one bob, which passes within 0.0001 s of both ends.
    for (int step = 0; step < 64; ++step) {
        input.setTime(step * 0.1);
        bar->draw(target->screenProjection());
        const glm::vec4 centre = bar->heartModelMatrix[3];
        EXPECT_FLOAT_EQ(centre.x, 55.0f);
        lowest = std::min(lowest, centre.y);
        highest = std::max(highest, centre.y);
    }
    EXPECT_NEAR(lowest, 695.0f, 0.01f);
    EXPECT_NEAR(highest, 715.0f, 0.01f);

    // The model's x axis, after the turn: at 0.9 s a quarter turn, at 1.8 s half, at 3.6 s all the way round.
    const auto turnedX = [&](double seconds) {
        input.setTime(seconds);
        bar->draw(target->screenProjection());
        return glm::vec3(bar->heartModelMatrix * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f));
    };
    const glm::vec3 start = turnedX(0.0);
    EXPECT_NEAR(start.x, 30.0f, 1e-4f);
    EXPECT_NEAR(turnedX(0.905).x, 0.0f, 1e-4f);
    EXPECT_NEAR(turnedX(1.805).x, -30.0f, 1e-4f);
    const glm::vec3 round = turnedX(3.605);
    EXPECT_NEAR(round.x, start.x, 1e-4f);
    EXPECT_NEAR(round.z, start.z, 1e-4f);
}

TEST_F(GUIPlayerHealthBarTest, NoiseMovesWithTime)
{
    input.setTime(0.0);
    bar->draw(target->screenProjection());
    const std::vector<std::uint8_t> before = bar->noiseTexture.pixels();
    input.setTime(0.0);
    bar->draw(target->screenProjection());
    EXPECT_EQ(bar->noiseTexture.pixels(), before);
    input.setTime(2.0);
    bar->draw(target->screenProjection());
    EXPECT_NE(bar->noiseTexture.pixels(), before);
}

TEST_F(GUIPlayerHealthBarTest, LeavesTheOverlayState)
{
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    bar->draw(target->screenProjection());
    EXPECT_TRUE(test::overlayStateLeft());
}

TEST_F(GUIPlayerHealthBarTest, WithoutAHeartTheGaugeStillDraws)
{
    {
        test::LogCapture log;
        bar->heartModel = render::Model("assets/models/NoSuchHeart.obj");
        EXPECT_TRUE(log.contains("ERROR::ASSIMP:: "));
    }
    bar->draw(target->screenProjection());
    EXPECT_EQ(ringAt(-45.0f), green);
}

} // namespace
} // namespace fennik::gui
