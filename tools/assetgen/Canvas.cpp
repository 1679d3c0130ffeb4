#include "Canvas.hpp"

#include <algorithm>
#include <cmath>

#include <stb/stb_image_write.h>

namespace fennik::assetgen {

Colour rgb(int r, int g, int b, float a)
{
    return Colour(r / 255.0f, g / 255.0f, b / 255.0f, a);
}

Colour mix(const Colour& a, const Colour& b, float t)
{
    return a + (b - a) * t;
}

float Mask::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0.0f;
    }
    return coverage[static_cast<size_t>(y) * width + x];
}

namespace {

void boxBlurLine(const float* src, float* dst, int count, int stride, int radius)
{
    // Running sum; samples beyond the ends count as empty so shapes fade out at the border.
    float sum = 0.0f;
    float scale = 1.0f / static_cast<float>(2 * radius + 1);
    for (int i = -radius; i <= radius; ++i) {
        if (i >= 0 && i < count) {
            sum += src[i * stride];
        }
    }
    for (int i = 0; i < count; ++i) {
        dst[i * stride] = sum * scale;
        int leaving = i - radius;
        int entering = i + radius + 1;
        if (leaving >= 0 && leaving < count) {
            sum -= src[leaving * stride];
        }
        if (entering >= 0 && entering < count) {
            sum += src[entering * stride];
        }
    }
}

} // namespace

void Mask::blur(int radius)
{
    if (radius <= 0) {
        return;
    }
    std::vector<float> scratch(coverage.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            boxBlurLine(&coverage[static_cast<size_t>(y) * width], &scratch[static_cast<size_t>(y) * width], width, 1, radius);
        }
        for (int x = 0; x < width; ++x) {
            boxBlurLine(&scratch[x], &coverage[x], height, width, radius);
        }
    }
}

void Mask::dilate(int radius)
{
    std::vector<float> result(coverage.size(), 0.0f);
    std::vector<glm::ivec2> brush;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (dx * dx + dy * dy <= radius * radius) {
                brush.emplace_back(dx, dy);
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float best = 0.0f;
            for (const auto& o : brush) {
                best = std::max(best, at(x + o.x, y + o.y));
                if (best >= 1.0f) {
                    break;
                }
            }
            result[static_cast<size_t>(y) * width + x] = best;
        }
    }
    coverage.swap(result);
}

void Mask::merge(const Mask& other, int ox, int oy)
{
    for (int y = 0; y < other.height; ++y) {
        for (int x = 0; x < other.width; ++x) {
            int tx = x + ox;
            int ty = y + oy;
            if (tx < 0 || ty < 0 || tx >= width || ty >= height) {
                continue;
            }
            float& dst = ref(tx, ty);
            dst = std::max(dst, other.coverage[static_cast<size_t>(y) * other.width + x]);
        }
    }
}

void fillPolygon(Mask& mask, const std::vector<glm::vec2>& points)
{
    if (points.size() < 3) {
        return;
    }
    constexpr int subRows = 5;
    float minY = points[0].y;
    float maxY = points[0].y;
    for (const auto& p : points) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    int firstRow = std::max(0, static_cast<int>(std::floor(minY)));
    int lastRow = std::min(mask.height - 1, static_cast<int>(std::ceil(maxY)));
    std::vector<float> row(mask.width);
    std::vector<float> crossings;
    for (int y = firstRow; y <= lastRow; ++y) {
        std::fill(row.begin(), row.end(), 0.0f);
        for (int s = 0; s < subRows; ++s) {
            float sampleY = static_cast<float>(y) + (static_cast<float>(s) + 0.5f) / subRows;
            crossings.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                glm::vec2 a = points[i];
                glm::vec2 b = points[(i + 1) % points.size()];
                if ((a.y <= sampleY && b.y > sampleY) || (b.y <= sampleY && a.y > sampleY)) {
                    float t = (sampleY - a.y) / (b.y - a.y);
                    crossings.push_back(a.x + t * (b.x - a.x));
                }
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
                float x0 = std::max(0.0f, crossings[i]);
                float x1 = std::min(static_cast<float>(mask.width), crossings[i + 1]);
                if (x1 <= x0) {
                    continue;
                }
                int px0 = static_cast<int>(std::floor(x0));
                int px1 = std::min(mask.width - 1, static_cast<int>(std::floor(x1)));
                for (int px = px0; px <= px1; ++px) {
                    float overlap = std::min(static_cast<float>(px + 1), x1) - std::max(static_cast<float>(px), x0);
                    if (overlap > 0.0f) {
                        row[px] += overlap / subRows;
                    }
                }
            }
        }
        for (int x = 0; x < mask.width; ++x) {
            float& dst = mask.ref(x, y);
            dst = std::max(dst, std::min(1.0f, row[x]));
        }
    }
}

void fillEllipse(Mask& mask, glm::vec2 centre, glm::vec2 radii, float rotation)
{
    std::vector<glm::vec2> points;
    int segments = std::clamp(static_cast<int>(std::max(radii.x, radii.y) * 1.5f), 24, 256);
    float c = std::cos(rotation);
    float s = std::sin(rotation);
    for (int i = 0; i < segments; ++i) {
        float a = 6.2831853f * static_cast<float>(i) / segments;
        glm::vec2 p(std::cos(a) * radii.x, std::sin(a) * radii.y);
        points.emplace_back(centre.x + p.x * c - p.y * s, centre.y + p.x * s + p.y * c);
    }
    fillPolygon(mask, points);
}

void fillRoundedRect(Mask& mask, glm::vec2 minCorner, glm::vec2 maxCorner, float radius)
{
    std::vector<glm::vec2> points;
    const glm::vec2 centres[4] = {
        {maxCorner.x - radius, minCorner.y + radius},
        {maxCorner.x - radius, maxCorner.y - radius},
        {minCorner.x + radius, maxCorner.y - radius},
        {minCorner.x + radius, minCorner.y + radius},
    };
    const float startAngles[4] = {-1.5707963f, 0.0f, 1.5707963f, 3.1415927f};
    for (int corner = 0; corner < 4; ++corner) {
        for (int i = 0; i <= 12; ++i) {
            float a = startAngles[corner] + 1.5707963f * static_cast<float>(i) / 12.0f;
            points.emplace_back(centres[corner].x + std::cos(a) * radius, centres[corner].y + std::sin(a) * radius);
        }
    }
    fillPolygon(mask, points);
}

std::vector<glm::vec2> smoothClosedCurve(const std::vector<glm::vec2>& controls, int stepsPerSegment)
{
    std::vector<glm::vec2> result;
    size_t n = controls.size();
    for (size_t i = 0; i < n; ++i) {
        glm::vec2 p0 = controls[(i + n - 1) % n];
        glm::vec2 p1 = controls[i];
        glm::vec2 p2 = controls[(i + 1) % n];
        glm::vec2 p3 = controls[(i + 2) % n];
        for (int s = 0; s < stepsPerSegment; ++s) {
            float t = static_cast<float>(s) / stepsPerSegment;
            float t2 = t * t;
            float t3 = t2 * t;
            result.push_back(0.5f * ((2.0f * p1) + (-p0 + p2) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2
                                     + (-p0 + 3.0f * p1 - 3.0f * p2 + p3) * t3));
        }
    }
    return result;
}

Canvas::Canvas(int width, int height, Colour fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill)
{
}

Colour Canvas::get(int x, int y) const
{
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return pixels[static_cast<size_t>(y) * w + x];
}

void Canvas::set(int x, int y, const Colour& c)
{
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    pixels[static_cast<size_t>(y) * w + x] = c;
}

void Canvas::blend(int x, int y, const Colour& c, float opacity)
{
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    Colour& dst = pixels[static_cast<size_t>(y) * w + x];
    float a = std::clamp(c.a * opacity, 0.0f, 1.0f);
    float outAlpha = a + dst.a * (1.0f - a);
    if (outAlpha <= 0.0f) {
        dst = Colour(0.0f);
        return;
    }
    glm::vec3 rgbOut = (glm::vec3(c) * a + glm::vec3(dst) * dst.a * (1.0f - a)) / outAlpha;
    dst = Colour(rgbOut, outAlpha);
}

void Canvas::paint(const Mask& mask, const Colour& c, int ox, int oy, float opacity)
{
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float a = mask.coverage[static_cast<size_t>(y) * mask.width + x];
            if (a > 0.0f) {
                blend(x + ox, y + oy, c, a * opacity);
            }
        }
    }
}

std::vector<unsigned char> Canvas::bytes(int channels) const
{
    std::vector<unsigned char> out(static_cast<size_t>(w) * h * channels);
    for (size_t i = 0; i < pixels.size(); ++i) {
        for (int c = 0; c < channels; ++c) {
            float v = std::clamp(pixels[i][c], 0.0f, 1.0f);
            out[i * channels + c] = static_cast<unsigned char>(std::lround(v * 255.0f));
        }
    }
    return out;
}

Canvas Canvas::downsample(int factor) const
{
    Canvas out(w / factor, h / factor, Colour(0.0f));
    for (int y = 0; y < out.h; ++y) {
        for (int x = 0; x < out.w; ++x) {
            glm::vec3 colourSum(0.0f);
            float alphaSum = 0.0f;
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    Colour c = get(x * factor + dx, y * factor + dy);
                    colourSum += glm::vec3(c) * c.a;
                    alphaSum += c.a;
                }
            }
            float n = static_cast<float>(factor * factor);
            glm::vec3 colour = alphaSum > 0.0f ? colourSum / alphaSum : glm::vec3(get(x * factor, y * factor));
            out.set(x, y, Colour(colour, alphaSum / n));
        }
    }
    return out;
}

bool Canvas::savePng(const std::string& path, int channels) const
{
    auto data = bytes(channels);
    return stbi_write_png(path.c_str(), w, h, channels, data.data(), w * channels) != 0;
}

bool Canvas::saveJpg(const std::string& path, int quality) const
{
    auto data = bytes(3);
    return stbi_write_jpg(path.c_str(), w, h, 3, data.data(), quality) != 0;
}

} // namespace fennik::assetgen
