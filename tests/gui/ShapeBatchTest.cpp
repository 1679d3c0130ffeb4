#include "gui/ShapeBatch.hpp"

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace fennik::gui {
namespace {

struct ShapeVertex {
    glm::vec3 position;
    glm::vec4 color;
    glm::vec2 uv;
};

ShapeVertex vertexAt(const ShapeBatch& batch, std::size_t index)
{
    const float* v = batch.vertices.data() + index * ShapeBatch::floatsPerVertex;
    return {{v[0], v[1], v[2]}, {v[3], v[4], v[5], v[6]}, {v[7], v[8]}};
}

void expectPoint(const ShapeVertex& vertex, float x, float y, const char* what)
{
    EXPECT_NEAR(vertex.position.x, x, 1e-3f) << what;
    EXPECT_NEAR(vertex.position.y, y, 1e-3f) << what;
}

float signedArea(const ShapeVertex& a, const ShapeVertex& b, const ShapeVertex& c)
{
    return 0.5f * ((b.position.x - a.position.x) * (c.position.y - a.position.y) -
                   (c.position.x - a.position.x) * (b.position.y - a.position.y));
}

const glm::vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
const glm::vec4 blue(0.0f, 0.0f, 1.0f, 0.5f);

// Rectangles -------------------------------------------------------------------

TEST(ShapeBatchRect, TrianglesGiveTwoCounterClockwiseTrianglesWithCornerColoursAndUV)
{
    ShapeBatch batch;
    batch.rect(10.0f, 20.0f, 30.0f, 40.0f, red, blue);

    ASSERT_EQ(batch.vertexCount, 6u);
    ASSERT_EQ(batch.vertices.size(), 6 * ShapeBatch::floatsPerVertex);
    struct Expected { float x, y, u, v; bool top; };
    const Expected corners[] = {
        {10, 20, 0, 0, false}, {40, 20, 1, 0, false}, {40, 60, 1, 1, true},
        {40, 60, 1, 1, true},  {10, 60, 0, 1, true},  {10, 20, 0, 0, false},
    };
    for (std::size_t i = 0; i < 6; ++i) {
        const ShapeVertex vertex = vertexAt(batch, i);
        SCOPED_TRACE(i);
        EXPECT_EQ(vertex.position, glm::vec3(corners[i].x, corners[i].y, 0.0f));
        EXPECT_EQ(vertex.uv, glm::vec2(corners[i].u, corners[i].v));
        EXPECT_EQ(vertex.color, corners[i].top ? red : blue);
    }
    EXPECT_GT(signedArea(vertexAt(batch, 0), vertexAt(batch, 1), vertexAt(batch, 2)), 0.0f);
    EXPECT_GT(signedArea(vertexAt(batch, 3), vertexAt(batch, 4), vertexAt(batch, 5)), 0.0f);
    // The last corner emitted is a bottom one.
    EXPECT_EQ(batch.color, blue);
}

TEST(ShapeBatchRect, LinesTraceTheFourEdgesWithUVOne)
{
    ShapeBatch batch;
    batch.mode = GL_LINES;
    batch.rect(0.0f, 0.0f, 4.0f, 2.0f, red, blue);

    ASSERT_EQ(batch.vertexCount, 8u);
    const float expected[8][2] = {{0, 0}, {4, 0}, {4, 0}, {4, 2}, {4, 2}, {0, 2}, {0, 2}, {0, 0}};
    for (std::size_t i = 0; i < 8; ++i) {
        const ShapeVertex vertex = vertexAt(batch, i);
        SCOPED_TRACE(i);
        EXPECT_EQ(vertex.position, glm::vec3(expected[i][0], expected[i][1], 0.0f));
        EXPECT_EQ(vertex.uv, glm::vec2(1.0f, 1.0f));
        EXPECT_EQ(vertex.color, expected[i][1] == 2.0f ? red : blue);
    }
    EXPECT_EQ(batch.color, blue);

    // Only lines trace the outline; every other mode fills.
    ShapeBatch strip;
    strip.mode = GL_TRIANGLE_STRIP;
    strip.rect(0.0f, 0.0f, 1.0f, 1.0f, red, red);
    EXPECT_EQ(strip.vertexCount, 6u);
}

TEST(ShapeBatchRect, DepthVariantPutsEveryCornerAtItsZ)
{
    ShapeBatch batch;
    batch.rectDepth(1.0f, 2.0f, -7.5f, 3.0f, 4.0f, red, red);
    ASSERT_EQ(batch.vertexCount, 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(vertexAt(batch, i).position.z, -7.5f);
}

TEST(ShapeBatchRect, PassingTheBatchColourTwiceGivesOneColour)
{
    ShapeBatch batch;
    batch.color = red;
    batch.rect(0.0f, 0.0f, 1.0f, 1.0f, batch.color, batch.color);
    for (std::size_t i = 0; i < batch.vertexCount; ++i)
        EXPECT_EQ(vertexAt(batch, i).color, red) << i;
}

// Circles ----------------------------------------------------------------------

TEST(ShapeBatchCircle, TrianglesCloseExactlyOnTheStartPoint)
{
    ShapeBatch batch;
    const float x = 100.0f, y = 50.0f, radius = 37.0f;
    batch.circle(x, y, radius, 128);

    ASSERT_EQ(batch.vertexCount, 3u * 128u);
    // Bitwise, not approximately: the last triangle ends on the start point itself.
    const ShapeVertex last = vertexAt(batch, batch.vertexCount - 1);
    EXPECT_EQ(last.position, glm::vec3(x + radius, y, 0.0f));
    EXPECT_EQ(vertexAt(batch, 1).position, glm::vec3(x + radius, y, 0.0f));

    for (std::size_t triangle = 0; triangle < 128; ++triangle) {
        const ShapeVertex centre = vertexAt(batch, 3 * triangle);
        EXPECT_EQ(centre.position, glm::vec3(x, y, 0.0f));
        EXPECT_EQ(centre.uv, glm::vec2(0.5f, 0.5f));
        // Consecutive triangles share their edge: no gaps, no overlaps.
        if (triangle > 0) {
            EXPECT_EQ(vertexAt(batch, 3 * triangle + 1).position, vertexAt(batch, 3 * triangle - 1).position);
        }
        EXPECT_GT(signedArea(centre, vertexAt(batch, 3 * triangle + 1), vertexAt(batch, 3 * triangle + 2)), 0.0f);
    }
}

TEST(ShapeBatchCircle, TextureCoordinatesMapTheBoundingSquare)
{
    ShapeBatch batch;
    batch.circle(10.0f, 10.0f, 5.0f, 4);
    // Start (15, 10), then a quarter turn to (10, 15).
    EXPECT_NEAR(vertexAt(batch, 1).uv.x, 1.0f, 1e-6f);
    EXPECT_NEAR(vertexAt(batch, 1).uv.y, 0.5f, 1e-6f);
    EXPECT_NEAR(vertexAt(batch, 2).uv.x, 0.5f, 1e-6f);
    EXPECT_NEAR(vertexAt(batch, 2).uv.y, 1.0f, 1e-6f);
}

TEST(ShapeBatchCircle, DegenerateCirclesEmitNothingOrFiniteTriangles)
{
    // No segments emit nothing; one segment is a triangle without area; a zero
    // radius must not divide the texture coordinates by zero.
    struct Case { int segments; float radius; std::size_t vertices; };
    for (const Case c : {Case{0, 10.0f, 0}, Case{-3, 10.0f, 0}, Case{1, 2.0f, 3}, Case{8, 0.0f, 24}}) {
        SCOPED_TRACE(testing::Message() << c.segments << " segments, radius " << c.radius);
        ShapeBatch batch;
        batch.circle(3.0f, 4.0f, c.radius, c.segments);
        ASSERT_EQ(batch.vertexCount, c.vertices);
        EXPECT_EQ(batch.vertices.size(), c.vertices * ShapeBatch::floatsPerVertex);
        for (std::size_t i = 0; i < batch.vertexCount; ++i) {
            EXPECT_TRUE(std::isfinite(vertexAt(batch, i).uv.x) && std::isfinite(vertexAt(batch, i).uv.y)) << i;
        }
    }
    ShapeBatch single;
    single.circle(3.0f, 4.0f, 2.0f, 1);
    EXPECT_EQ(vertexAt(single, 0).position, glm::vec3(3.0f, 4.0f, 0.0f));
    EXPECT_EQ(vertexAt(single, 1).position, glm::vec3(5.0f, 4.0f, 0.0f));
    EXPECT_EQ(vertexAt(single, 2).position, glm::vec3(5.0f, 4.0f, 0.0f));
}

TEST(ShapeBatchCircle, LinesAddANearlyZeroEdgeBackToTheExactStart)
{
    ShapeBatch batch;
    batch.mode = GL_LINES;
    batch.circle(0.0f, 0.0f, 10.0f, 12);
    ASSERT_EQ(batch.vertexCount, 2u * 13u);
    for (std::size_t edge = 1; edge < 13; ++edge)
        EXPECT_EQ(vertexAt(batch, 2 * edge).position, vertexAt(batch, 2 * edge - 1).position) << edge;
    const ShapeVertex closingFrom = vertexAt(batch, 24);
    const ShapeVertex closingTo = vertexAt(batch, 25);
    EXPECT_EQ(closingTo.position, glm::vec3(10.0f, 0.0f, 0.0f));
    EXPECT_LT(glm::length(closingTo.position - closingFrom.position), 1e-3f);
}

// Arcs -------------------------------------------------------------------------

TEST(ShapeBatchArc, SegmentCountFollowsTheSizeWhenNotGiven)
{
    struct Case { float radius, angle; std::uint32_t segments; };
    const Case cases[] = {
        {8.0f, 180.0f, 6},    // cube root 2, times 6, times half a turn
        {8.0f, 360.0f, 12},
        {1.0f, 30.0f, 1},     // 0.5 rounds down, but never below one
        {1000.0f, 90.0f, 15},
    };
    for (const Case& c : cases) {
        ShapeBatch batch;
        batch.arc(0.0f, 0.0f, c.radius, 0.0f, c.angle, 0);
        EXPECT_EQ(batch.vertexCount, 3u * c.segments + 3u) << c.radius << " " << c.angle;
    }
}

TEST(ShapeBatchArc, TrianglesSweepTheSectorAndEndOnAZeroAreaTriangle)
{
    ShapeBatch batch;
    batch.arc(5.0f, 5.0f, 8.0f, 0.0f, 180.0f, 0);
    ASSERT_EQ(batch.vertexCount, 21u);

    expectPoint(vertexAt(batch, 1), 13.0f, 5.0f, "first point at 0 degrees");
    expectPoint(vertexAt(batch, 17), -3.0f, 5.0f, "sixth segment ends at 180 degrees");
    for (std::size_t triangle = 0; triangle < 6; ++triangle)
        EXPECT_GT(signedArea(vertexAt(batch, 3 * triangle), vertexAt(batch, 3 * triangle + 1),
                             vertexAt(batch, 3 * triangle + 2)),
                  0.0f)
            << triangle;

    EXPECT_EQ(vertexAt(batch, 18).position, glm::vec3(5.0f, 5.0f, 0.0f));
    EXPECT_EQ(vertexAt(batch, 19).position, vertexAt(batch, 17).position);
    EXPECT_EQ(vertexAt(batch, 20).position, glm::vec3(5.0f, 5.0f, 0.0f));
}

TEST(ShapeBatchArc, StartFactorTurnsTheStartByThatShareOfTheAngle)
{
    ShapeBatch batch;
    batch.arc(0.0f, 0.0f, 10.0f, 1.0f, 90.0f, 4);
    expectPoint(vertexAt(batch, 1), 0.0f, 10.0f, "start at 90 degrees");
    expectPoint(vertexAt(batch, 3 * 4 - 1), -10.0f, 0.0f, "end at 180 degrees");
}

TEST(ShapeBatchArc, LinesRunOutAlongTheArcAndBack)
{
    ShapeBatch batch;
    batch.mode = GL_LINES;
    batch.arc(0.0f, 0.0f, 10.0f, 0.0f, 90.0f, 3);
    ASSERT_EQ(batch.vertexCount, 2u + 2u * 3u + 2u);
    expectPoint(vertexAt(batch, 0), 0.0f, 0.0f, "out from the centre");
    expectPoint(vertexAt(batch, 1), 10.0f, 0.0f, "to the first point");
    expectPoint(vertexAt(batch, 7), 0.0f, 10.0f, "last arc point");
    expectPoint(vertexAt(batch, 8), 0.0f, 10.0f, "back from the last point");
    expectPoint(vertexAt(batch, 9), 0.0f, 0.0f, "to the centre");
}

TEST(ShapeBatchArc, ZeroAngleDegeneratesWithoutNaN)
{
    ShapeBatch batch;
    batch.arc(0.0f, 150.0f, 150.0f, 0.0f, 0.0f, 128);
    ASSERT_EQ(batch.vertexCount, 3u * 128u + 3u);
    for (std::size_t i = 0; i < batch.vertexCount; ++i) {
        const ShapeVertex vertex = vertexAt(batch, i);
        EXPECT_TRUE(std::isfinite(vertex.position.x) && std::isfinite(vertex.position.y)) << i;
    }
    for (std::size_t triangle = 0; triangle < 129; ++triangle)
        EXPECT_NEAR(signedArea(vertexAt(batch, 3 * triangle), vertexAt(batch, 3 * triangle + 1),
                               vertexAt(batch, 3 * triangle + 2)),
                    0.0f, 1e-3f);
}

TEST(ShapeBatch, VerticesCarryTheColourAtTheTimeTheyWereEmitted)
{
    ShapeBatch batch;
    batch.color = red;
    batch.vertex(1.0f, 2.0f, 3.0f, 0.25f, 0.75f);
    batch.color = blue;
    batch.vertex(0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(vertexAt(batch, 0).color, red);
    EXPECT_EQ(vertexAt(batch, 0).uv, glm::vec2(0.25f, 0.75f));
    EXPECT_EQ(vertexAt(batch, 1).color, blue);
    EXPECT_EQ(batch.vertexCount, 2u);
}

} // namespace
} // namespace fennik::gui
