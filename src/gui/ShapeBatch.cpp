#include "gui/ShapeBatch.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fennik::gui {

namespace {

constexpr float degreesToRadians = 0.0174532924f;

} // namespace

void ShapeBatch::vertex(float x, float y, float z, float u, float v)
{
    vertices.insert(vertices.end(), {x, y, z, color.r, color.g, color.b, color.a, u, v});
    ++vertexCount;
}

void ShapeBatch::rect(float x, float y, float width, float height, const glm::vec4& colorTop,
                      const glm::vec4& colorBottom)
{
    rectDepth(x, y, 0.0f, width, height, colorTop, colorBottom);
}

void ShapeBatch::rectDepth(float x, float y, float z, float width, float height, const glm::vec4& colorTop,
                           const glm::vec4& colorBottom)
{
    // Copies: callers may pass `color` itself, which changes as corners go out.
    const glm::vec4 top = colorTop;
    const glm::vec4 bottom = colorBottom;
    const float x1 = x + width;
    const float y1 = y + height;

    if (drawsLines()) {
        color = bottom;
        vertex(x, y, z, 1.0f, 1.0f);
        vertex(x1, y, z, 1.0f, 1.0f);
        vertex(x1, y, z, 1.0f, 1.0f);
        color = top;
        vertex(x1, y1, z, 1.0f, 1.0f);
        vertex(x1, y1, z, 1.0f, 1.0f);
        vertex(x, y1, z, 1.0f, 1.0f);
        vertex(x, y1, z, 1.0f, 1.0f);
        color = bottom;
        vertex(x, y, z, 1.0f, 1.0f);
        return;
    }

    color = bottom;
    vertex(x, y, z, 0.0f, 0.0f);
    vertex(x1, y, z, 1.0f, 0.0f);
    color = top;
    vertex(x1, y1, z, 1.0f, 1.0f);
    vertex(x1, y1, z, 1.0f, 1.0f);
    vertex(x, y1, z, 0.0f, 1.0f);
    color = bottom;
    vertex(x, y, z, 0.0f, 0.0f);
}

void ShapeBatch::circlePoint(float x, float y, float radius, float pointX, float pointY)
{
    // A circle of no size has no extent to map; its one point is the middle.
    const float diameter = 2.0f * radius;
    const float u = diameter != 0.0f ? (pointX - x) / diameter + 0.5f : 0.5f;
    const float v = diameter != 0.0f ? (pointY - y) / diameter + 0.5f : 0.5f;
    vertex(pointX, pointY, 0.0f, u, v);
}

void ShapeBatch::circle(float x, float y, float radius, int segments)
{
    if (segments < 1)
        return;

    const float theta = 2.0f * std::numbers::pi_v<float> / static_cast<float>(segments);
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    float dx = radius;
    float dy = 0.0f;

    // The last step goes to the exact start point rather than the rotated one, so
    // rounding never leaves a gap where the circle closes.
    for (int i = 0; i < segments; ++i) {
        const float nextX = dx * c - dy * s;
        const float nextY = dx * s + dy * c;
        const bool last = i == segments - 1;
        if (drawsLines()) {
            circlePoint(x, y, radius, x + dx, y + dy);
            circlePoint(x, y, radius, x + nextX, y + nextY);
        } else {
            circlePoint(x, y, radius, x, y);
            circlePoint(x, y, radius, x + dx, y + dy);
            if (last)
                circlePoint(x, y, radius, x + radius, y);
            else
                circlePoint(x, y, radius, x + nextX, y + nextY);
        }
        dx = nextX;
        dy = nextY;
    }
    if (drawsLines()) {
        circlePoint(x, y, radius, x + dx, y + dy);
        circlePoint(x, y, radius, x + radius, y);
    }
}

void ShapeBatch::arc(float x, float y, float radius, float startFactor, float angle, int segments)
{
    const float fraction = angle / 360.0f;
    if (segments < 1)
        segments = std::max(1, static_cast<int>(std::cbrt(radius) * 6.0f * fraction));

    const float theta = fraction * 2.0f * std::numbers::pi_v<float> / static_cast<float>(segments);
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float start = angle * degreesToRadians * startFactor;
    float dx = std::cos(start) * radius;
    float dy = std::sin(start) * radius;

    if (drawsLines()) {
        circlePoint(x, y, radius, x, y);
        circlePoint(x, y, radius, x + dx, y + dy);
    }

    for (int i = 0; i < segments; ++i) {
        const float nextX = dx * c - dy * s;
        const float nextY = dx * s + dy * c;
        if (!drawsLines())
            circlePoint(x, y, radius, x, y);
        circlePoint(x, y, radius, x + dx, y + dy);
        circlePoint(x, y, radius, x + nextX, y + nextY);
        dx = nextX;
        dy = nextY;
    }

    // Triangles end on a zero-area triangle at the centre; lines on the closing radius.
    if (drawsLines()) {
        circlePoint(x, y, radius, x + dx, y + dy);
        circlePoint(x, y, radius, x, y);
    } else {
        circlePoint(x, y, radius, x, y);
        circlePoint(x, y, radius, x + dx, y + dy);
        circlePoint(x, y, radius, x, y);
    }
}

} // namespace fennik::gui
