#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace fennik::assetgen {

// Straight (not premultiplied) RGBA, each channel 0..1.
using Colour = glm::vec4;

Colour rgb(int r, int g, int b, float a = 1.0f);
Colour mix(const Colour& a, const Colour& b, float t);

// A coverage mask: how much of each pixel a shape covers, 0..1.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> coverage;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), coverage(static_cast<size_t>(w) * h, 0.0f) {}

    float at(int x, int y) const;
    float& ref(int x, int y) { return coverage[static_cast<size_t>(y) * width + x]; }

    // Three box blurs in a row approximate a Gaussian; radius in pixels.
    void blur(int radius);
    // Grows the covered area by radius pixels (a round brush), for outlines.
    void dilate(int radius);
    // Adds another mask placed at (ox, oy), keeping the larger coverage.
    void merge(const Mask& other, int ox, int oy);
};

// Fills a polygon (even-odd rule) with anti-aliased edges into a mask.
void fillPolygon(Mask& mask, const std::vector<glm::vec2>& points);
void fillEllipse(Mask& mask, glm::vec2 centre, glm::vec2 radii, float rotation = 0.0f);
void fillRoundedRect(Mask& mask, glm::vec2 minCorner, glm::vec2 maxCorner, float radius);

// Samples a smooth closed curve through control points (Catmull-Rom), for organic outlines.
std::vector<glm::vec2> smoothClosedCurve(const std::vector<glm::vec2>& controls, int stepsPerSegment);

// An RGBA picture with the few painting operations the generated art needs.
class Canvas {
public:
    Canvas(int width, int height, Colour fill = Colour(0, 0, 0, 1));

    int width() const { return w; }
    int height() const { return h; }

    Colour get(int x, int y) const;
    void set(int x, int y, const Colour& c);
    // Paints colour c over the pixel with the given extra opacity ("over" compositing).
    void blend(int x, int y, const Colour& c, float opacity);

    // Paints c through a mask placed with its top-left corner at (ox, oy).
    void paint(const Mask& mask, const Colour& c, int ox = 0, int oy = 0, float opacity = 1.0f);
    // Paints through a mask with a colour chosen per pixel.
    template <typename ColourAt>
    void paintWith(const Mask& mask, ColourAt colourAt, int ox = 0, int oy = 0)
    {
        for (int y = 0; y < mask.height; ++y) {
            for (int x = 0; x < mask.width; ++x) {
                float a = mask.coverage[static_cast<size_t>(y) * mask.width + x];
                if (a > 0.0f) {
                    blend(x + ox, y + oy, colourAt(x + ox, y + oy), a);
                }
            }
        }
    }

    // Writes 8-bit samples; channels 3 drops alpha, 4 keeps it.
    bool savePng(const std::string& path, int channels) const;
    bool saveJpg(const std::string& path, int quality) const;

    std::vector<unsigned char> bytes(int channels) const;

    // Averages factor x factor blocks (weighted by alpha), for drawing big and shrinking.
    Canvas downsample(int factor) const;

private:
    int w;
    int h;
    std::vector<Colour> pixels;
};

} // namespace fennik::assetgen
