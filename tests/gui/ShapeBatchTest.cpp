#include "gui/ShapeBatch.hpp"

#include <glm/vec3.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace fennik::gui {
namespace {

glm::vec3 positionAt(const ShapeBatch& batch, std::size_t index)
{
    const float* v = batch.vertices.data() + index * ShapeBatch::floatsPerVertex;
    return {v[0], v[1], v[2]};
}

TEST(ShapeBatch, CircleIsACounterClockwiseFanClosingExactlyAndShapesOfNoSizeStayFinite)
{
    ShapeBatch batch;
    batch.circle(100.0f, 50.0f, 37.0f, 128);
    ASSERT_EQ(batch.vertexCount, 3u * 128u);
    // Bitwise, not approximately: a gap would show as a hairline crack in the gauge.
    EXPECT_EQ(positionAt(batch, 1), glm::vec3(137.0f, 50.0f, 0.0f));
    EXPECT_EQ(positionAt(batch, batch.vertexCount - 1), glm::vec3(137.0f, 50.0f, 0.0f));
    for (std::size_t triangle = 0; triangle < 128; ++triangle) {
        const glm::vec3 a = positionAt(batch, 3 * triangle), b = positionAt(batch, 3 * triangle + 1),
                        c = positionAt(batch, 3 * triangle + 2);
        EXPECT_EQ(a, glm::vec3(100.0f, 50.0f, 0.0f));
        EXPECT_GT((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y), 0.0f) << triangle; // culled otherwise
        if (triangle > 0) {
            EXPECT_EQ(b, positionAt(batch, 3 * triangle - 1)) << triangle;
        }
    }

    // No health draws an arc of no angle, and a radius of zero must not divide by zero.
    batch.circle(3.0f, 4.0f, 0.0f, 8);
    batch.arc(3.0f, 4.0f, 150.0f, 0.0f, 0.0f, 128);
    batch.arc(3.0f, 4.0f, 0.0f, 0.0f, 90.0f, 4);
    for (float value : batch.vertices)
        ASSERT_TRUE(std::isfinite(value));
}

} // namespace
} // namespace fennik::gui
