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

// Twice the signed area of triangle `triangle`: positive when counter-clockwise.
float winding(const ShapeBatch& batch, std::size_t triangle)
{
    const glm::vec3 a = positionAt(batch, 3 * triangle), b = positionAt(batch, 3 * triangle + 1),
                    c = positionAt(batch, 3 * triangle + 2);
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

TEST(ShapeBatch, CircleIsAFanOfCounterClockwiseTrianglesClosingExactlyOnItsStart)
{
    ShapeBatch batch;
    batch.circle(100.0f, 50.0f, 37.0f, 128);
    ASSERT_EQ(batch.vertexCount, 3u * 128u);
    // Bitwise, not approximately: a gap would show as a hairline crack in the gauge.
    EXPECT_EQ(positionAt(batch, 1), glm::vec3(137.0f, 50.0f, 0.0f));
    EXPECT_EQ(positionAt(batch, batch.vertexCount - 1), glm::vec3(137.0f, 50.0f, 0.0f));
    for (std::size_t triangle = 0; triangle < 128; ++triangle) {
        EXPECT_EQ(positionAt(batch, 3 * triangle), glm::vec3(100.0f, 50.0f, 0.0f));
        EXPECT_GT(winding(batch, triangle), 0.0f) << triangle;
        if (triangle > 0) {
            EXPECT_EQ(positionAt(batch, 3 * triangle + 1), positionAt(batch, 3 * triangle - 1)) << triangle;
        }
    }
}

TEST(ShapeBatch, DegenerateCirclesAndArcsEmitNothingOrFiniteVertices)
{
    struct Case { bool arc; int segments; float radius, angle; std::size_t vertices; };
    const Case cases[] = {
        {false, 0, 10.0f, 0.0f, 0}, {false, -3, 10.0f, 0.0f, 0}, {false, 8, 0.0f, 0.0f, 24},
        {true, 128, 150.0f, 0.0f, 3 * 128 + 3}, {true, 4, 0.0f, 90.0f, 15},
    };
    for (const Case& c : cases) {
        ShapeBatch batch;
        c.arc ? batch.arc(3.0f, 4.0f, c.radius, 0.0f, c.angle, c.segments) : batch.circle(3.0f, 4.0f, c.radius, c.segments);
        ASSERT_EQ(batch.vertexCount, c.vertices) << c.segments << " segments, radius " << c.radius;
        for (float value : batch.vertices)
            ASSERT_TRUE(std::isfinite(value)) << c.segments << " segments, radius " << c.radius;
    }
}

} // namespace
} // namespace fennik::gui
