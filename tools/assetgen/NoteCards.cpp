#include "NoteCards.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "Canvas.hpp"
#include "Font.hpp"
#include "Noise.hpp"

namespace fennik::assetgen {

namespace {

constexpr int cardSize = 512;

const Colour ink = rgb(58, 34, 22);
const Colour titleInk = rgb(120, 46, 28);
const Colour accent = rgb(196, 92, 40);

// Cards share one look: a sheet of parchment with a double border and rounded corners.
class Card {
public:
    Card(const OutputPaths& paths, unsigned seed)
        : canvas(cardSize, cardSize, Colour(glm::vec3(rgb(150, 84, 44)), 0.0f)),
          regular(paths.fontFile),
          bold(paths.fontVariant("ExtraBold"))
    {
        const float s = static_cast<float>(cardSize);
        Mask sheet(cardSize, cardSize);
        fillRoundedRect(sheet, glm::vec2(4.0f), glm::vec2(s - 4.0f), 30.0f);
        canvas.paintWith(sheet, [&](int x, int y) {
            float u = static_cast<float>(x) / s;
            float v = static_cast<float>(y) / s;
            float n = noise::fbm2(u * 8.0f, v * 8.0f, 4, 0, seed);
            float edge = std::min(std::min(u, 1.0f - u), std::min(v, 1.0f - v));
            float burn = 1.0f - smoothstep(0.0f, 0.12f, edge);
            Colour c = mix(rgb(250, 238, 208), rgb(236, 214, 170), n);
            return mix(c, rgb(206, 164, 110), burn * 0.6f);
        });
        Mask border(cardSize, cardSize);
        fillRoundedRect(border, glm::vec2(18.0f), glm::vec2(s - 18.0f), 20.0f);
        Mask inside(cardSize, cardSize);
        fillRoundedRect(inside, glm::vec2(23.0f), glm::vec2(s - 23.0f), 16.0f);
        Mask line(cardSize, cardSize);
        for (size_t i = 0; i < line.coverage.size(); ++i) {
            line.coverage[i] = std::max(0.0f, border.coverage[i] - inside.coverage[i]);
        }
        canvas.paint(line, accent, 0, 0, 0.85f);
        Mask innerLine(cardSize, cardSize);
        Mask innerInside(cardSize, cardSize);
        fillRoundedRect(innerLine, glm::vec2(28.0f), glm::vec2(s - 28.0f), 13.0f);
        fillRoundedRect(innerInside, glm::vec2(30.0f), glm::vec2(s - 30.0f), 11.0f);
        for (size_t i = 0; i < innerLine.coverage.size(); ++i) {
            innerLine.coverage[i] = std::max(0.0f, innerLine.coverage[i] - innerInside.coverage[i]);
        }
        canvas.paint(innerLine, accent, 0, 0, 0.6f);
    }

    void title(const std::string& text, int y, int size = 46)
    {
        // Shrink long titles until they fit inside the border.
        while (size > 24 && bold.measure(text, size, 0.5f) > 400) {
            size -= 2;
        }
        Font::Line line = bold.render(text, size, 4, 0.5f);
        int x = (cardSize - line.advance) / 2 - line.padding;
        Mask shadow = line.mask;
        shadow.blur(2);
        canvas.paint(shadow, rgb(120, 70, 30), x + 2, y + 3, 0.35f);
        canvas.paint(line.mask, titleInk, x, y);
        // An underline flourish.
        Mask rule(cardSize, cardSize);
        float top = static_cast<float>(y + line.baseline + 14);
        fillRoundedRect(rule, glm::vec2(cardSize * 0.5f - 90.0f, top), glm::vec2(cardSize * 0.5f + 90.0f, top + 4.0f), 2.0f);
        fillEllipse(rule, glm::vec2(cardSize * 0.5f, top + 2.0f), glm::vec2(8.0f, 8.0f), 0.785f);
        canvas.paint(rule, accent);
    }

    // Word-wrapped lines, centred (or starting at `left` when it is not negative); returns
    // the y below the paragraph.
    int paragraph(const std::string& text, int y, int size = 28, Colour colour = ink, int width = 400, int left = -1)
    {
        std::istringstream words(text);
        std::vector<std::string> lines;
        std::string current;
        std::string word;
        while (words >> word) {
            std::string attempt = current.empty() ? word : current + " " + word;
            if (regular.measure(attempt, size) > width && !current.empty()) {
                lines.push_back(current);
                current = word;
            } else {
                current = attempt;
            }
        }
        if (!current.empty()) {
            lines.push_back(current);
        }
        const int lineHeight = static_cast<int>(size * 1.32f);
        for (const std::string& l : lines) {
            Font::Line line = regular.render(l, size, 2);
            int x = left >= 0 ? left - line.padding : (cardSize - line.advance) / 2 - line.padding;
            canvas.paint(line.mask, colour, x, y);
            y += lineHeight;
        }
        return y;
    }

    // A keyboard key with its label, centred at (cx, cy).
    void key(const std::string& label, float cx, float cy, float width = 64.0f, int textSize = 32)
    {
        const float height = 64.0f;
        glm::vec2 lo(cx - width * 0.5f, cy - height * 0.5f);
        glm::vec2 hi(cx + width * 0.5f, cy + height * 0.5f);
        Mask body(cardSize, cardSize);
        fillRoundedRect(body, lo + glm::vec2(0.0f, 6.0f), hi + glm::vec2(0.0f, 6.0f), 12.0f);
        canvas.paint(body, rgb(92, 62, 44));
        Mask cap(cardSize, cardSize);
        fillRoundedRect(cap, lo, hi, 12.0f);
        canvas.paintWith(cap, [&](int, int y) {
            return mix(rgb(255, 250, 238), rgb(222, 206, 180), (static_cast<float>(y) - lo.y) / height);
        });
        Font::Line line = bold.render(label, textSize, 2);
        int x = static_cast<int>(cx) - line.advance / 2 - line.padding;
        int top = static_cast<int>(cy) - line.baseline + static_cast<int>(textSize * 0.36f);
        canvas.paint(line.mask, ink, x, top);
    }

    void arrow(glm::vec2 from, glm::vec2 to, Colour colour)
    {
        glm::vec2 d = glm::normalize(to - from);
        glm::vec2 n(-d.y, d.x);
        Mask m(cardSize, cardSize);
        glm::vec2 shaftEnd = to - d * 18.0f;
        fillPolygon(m, {from + n * 4.0f, shaftEnd + n * 4.0f, shaftEnd - n * 4.0f, from - n * 4.0f});
        fillPolygon(m, {to, shaftEnd + n * 13.0f, shaftEnd - n * 13.0f});
        canvas.paint(m, colour);
    }

    // A beetle seen from the side, facing left, on the ground line at y.
    void beetle(glm::vec2 centre, float size)
    {
        Mask legs(cardSize, cardSize);
        for (float x : {-0.45f, 0.0f, 0.45f}) {
            glm::vec2 hip = centre + glm::vec2(x, 0.1f) * size;
            glm::vec2 foot = centre + glm::vec2(x * 1.25f - 0.05f, 0.5f) * size;
            glm::vec2 n = glm::normalize(glm::vec2(foot.y - hip.y, hip.x - foot.x)) * 2.5f;
            fillPolygon(legs, {hip + n, foot + n, foot - n, hip - n});
        }
        canvas.paint(legs, rgb(58, 24, 60));
        Mask shell(cardSize, cardSize);
        fillEllipse(shell, centre, glm::vec2(0.62f, 0.38f) * size);
        canvas.paintWith(shell, [&](int, int y) {
            return mix(rgb(150, 110, 220), rgb(86, 56, 150), (static_cast<float>(y) - centre.y + size * 0.38f) / (size * 0.76f));
        });
        Mask head(cardSize, cardSize);
        fillEllipse(head, centre + glm::vec2(-0.6f, 0.08f) * size, glm::vec2(0.2f, 0.18f) * size);
        canvas.paint(head, rgb(96, 64, 168));
        Mask eye(cardSize, cardSize);
        fillEllipse(eye, centre + glm::vec2(-0.66f, 0.03f) * size, glm::vec2(0.07f, 0.07f) * size);
        canvas.paint(eye, rgb(255, 255, 255));
        Mask pupil(cardSize, cardSize);
        fillEllipse(pupil, centre + glm::vec2(-0.69f, 0.03f) * size, glm::vec2(0.035f, 0.035f) * size);
        canvas.paint(pupil, rgb(20, 14, 14));
    }

    void tick(glm::vec2 at, bool good)
    {
        Mask disc(cardSize, cardSize);
        fillEllipse(disc, at, glm::vec2(20.0f, 20.0f));
        canvas.paint(disc, good ? rgb(70, 150, 60) : rgb(200, 50, 44));
        Mask mark(cardSize, cardSize);
        if (good) {
            fillPolygon(mark, {at + glm::vec2(-11, 0), at + glm::vec2(-4, 8), at + glm::vec2(11, -8), at + glm::vec2(8, -11), at + glm::vec2(-4, 2), at + glm::vec2(-8, -3)});
        } else {
            for (float a : {0.785f, -0.785f}) {
                glm::vec2 d(std::cos(a), std::sin(a));
                glm::vec2 n(-d.y, d.x);
                fillPolygon(mark, {at + d * 11.0f + n * 3.0f, at - d * 11.0f + n * 3.0f, at - d * 11.0f - n * 3.0f, at + d * 11.0f - n * 3.0f});
            }
        }
        canvas.paint(mark, rgb(255, 255, 255));
    }

    // Fennik's head, small, as a signature.
    void foxMark(glm::vec2 at, float size)
    {
        Mask ears(cardSize, cardSize);
        fillPolygon(ears, {at + glm::vec2(-0.5f, -0.1f) * size, at + glm::vec2(-0.62f, -0.95f) * size, at + glm::vec2(-0.1f, -0.35f) * size});
        fillPolygon(ears, {at + glm::vec2(0.5f, -0.1f) * size, at + glm::vec2(0.62f, -0.95f) * size, at + glm::vec2(0.1f, -0.35f) * size});
        Mask head(cardSize, cardSize);
        fillEllipse(head, at, glm::vec2(0.55f, 0.42f) * size);
        fillPolygon(head, {at + glm::vec2(-0.4f, 0.1f) * size, at + glm::vec2(0.4f, 0.1f) * size, at + glm::vec2(0.0f, 0.62f) * size});
        canvas.paint(ears, rgb(222, 132, 60));
        canvas.paint(head, rgb(232, 150, 78));
        Mask eyes(cardSize, cardSize);
        fillEllipse(eyes, at + glm::vec2(-0.2f, 0.02f) * size, glm::vec2(0.07f, 0.09f) * size);
        fillEllipse(eyes, at + glm::vec2(0.2f, 0.02f) * size, glm::vec2(0.07f, 0.09f) * size);
        fillEllipse(eyes, at + glm::vec2(0.0f, 0.55f) * size, glm::vec2(0.08f, 0.06f) * size);
        canvas.paint(eyes, rgb(30, 20, 18));
    }

    bool save(const std::string& path) const { return canvas.savePng(path, 4); }

private:
    Canvas canvas;
    Font regular;
    Font bold;
};

bool beginningCard(const OutputPaths& paths)
{
    Card card(paths, 1001);
    card.title("Welcome, Fennik!", 48);
    int y = card.paragraph("Walk with", 130, 26);
    card.key("W", 256.0f, y + 36.0f);
    card.key("A", 184.0f, y + 106.0f);
    card.key("S", 256.0f, y + 106.0f);
    card.key("D", 328.0f, y + 106.0f);
    y = card.paragraph("At a red note, press R to read it and R again to put it away.", y + 158, 24);
    card.paragraph("Head right: your journey begins beyond the gate.", y + 6, 24, titleInk, 360);
    return card.save(paths.textures() + "/beginning_texture.png");
}

bool tutorialJumpCard(const OutputPaths& paths)
{
    Card card(paths, 1002);
    card.title("Jumping", 48);
    card.key("Space", 256.0f, 170.0f, 220.0f, 30);
    int y = card.paragraph("Press Space to jump, and steer in the air with W A S D.", 226, 25);
    y = card.paragraph("Leap across the chasms ahead: a fall starts the tutorial again.", y + 8, 25);
    card.paragraph("Practise on the dummies!", y + 8, 25, titleInk);
    return card.save(paths.textures() + "/tutorial1_texture.png");
}

bool tutorialEnemiesCard(const OutputPaths& paths)
{
    Card card(paths, 1003);
    card.title("Beating beetles", 48);
    // Left: landing on the back is good. Right: bumping into the side hurts.
    card.beetle({150.0f, 228.0f}, 80.0f);
    card.arrow({150.0f, 128.0f}, {150.0f, 190.0f}, rgb(70, 150, 60));
    card.tick({212.0f, 146.0f}, true);
    card.beetle({380.0f, 228.0f}, 80.0f);
    card.arrow({276.0f, 230.0f}, {322.0f, 230.0f}, rgb(200, 50, 44));
    card.tick({442.0f, 146.0f}, false);
    int y = card.paragraph("Jump on an enemy's back to hit it. A few stomps defeat it.", 292, 25);
    card.paragraph("Touching its sides hurts you. The dummies here are harmless.", y + 8, 25, titleInk);
    return card.save(paths.textures() + "/tutorial2_texture.png");
}

bool tutorialPauseCard(const OutputPaths& paths)
{
    Card card(paths, 1004);
    card.title("Notes and pause", 48);
    card.key("R", 110.0f, 172.0f);
    card.key("Esc", 110.0f, 272.0f, 84.0f, 26);
    card.paragraph("Reads a red note, and closes it again.", 146, 25, ink, 290, 176);
    card.paragraph("Pauses the game: resume, or go back to the main menu.", 236, 25, ink, 290, 176);
    card.paragraph("Walk on to the right to reach Level One.", 360, 25, titleInk, 360);
    return card.save(paths.textures() + "/tutorial3_texture.png");
}

bool levelOneCard(const OutputPaths& paths)
{
    Card card(paths, 1005);
    card.title("Level One", 48);
    card.beetle({256.0f, 168.0f}, 70.0f);
    int y = card.paragraph("Beetles have made camp on the road. Defeat every one of them: the gate on the right only lets you pass once all are beaten.", 222, 24);
    card.paragraph("Your health is the gauge in the top-left corner.", y + 8, 24, titleInk);
    return card.save(paths.textures() + "/level1_texture.png");
}

bool endCard(const OutputPaths& paths)
{
    Card card(paths, 1006);
    card.title("Thank you!", 48, 54);
    card.foxMark({256.0f, 186.0f}, 44.0f);
    int y = card.paragraph("The scarab king is beaten and the dunes are safe again. Kobbin thanks you, Fennik.", 236, 24);
    y = card.paragraph("Thanks for playing Fennik's Zavororor!", y + 6, 24, titleInk);
    card.paragraph("Press R to close this note and return to the main menu.", y + 6, 22);
    return card.save(paths.textures() + "/end_texture.png");
}

} // namespace

bool writeNoteCards(const OutputPaths& paths)
{
    bool ok = beginningCard(paths);
    ok = tutorialJumpCard(paths) && ok;
    ok = tutorialEnemiesCard(paths) && ok;
    ok = tutorialPauseCard(paths) && ok;
    ok = levelOneCard(paths) && ok;
    ok = endCard(paths) && ok;
    return ok;
}

} // namespace fennik::assetgen
