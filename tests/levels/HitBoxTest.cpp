// The menus as a player meets them at the window sizes players use. Every button is
// found in the drawn picture, never from the layout code: the keys move the menu's
// focus, which lights one button, and what changes in the picture is that button. The
// mouse then clicks and hovers there: at its middle and 2 px inside each corner it acts,
// 2 px outside each edge nothing does. Pictures are kept under build/screenshots.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/Replay.hpp"
#include "gui/LevelsScreen.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ReplaysScreen.hpp"
#include "levels/StartMenu.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "physics/Interactable.hpp"
#include "render/GpuResources.hpp"
#include "support/GLPictures.hpp"
#include "support/TempDirectory.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <tuple>

namespace fennik::test {
namespace {

struct Page {
    std::string name;
    std::function<void()> open;
    std::function<std::vector<gui::GUIButton*>()> buttons;
    std::function<const render::Frame&()> frame;

    // Only the overlay, which draws the buttons and tests the cursor.
    void drawOverlay() const
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        for (const render::Pass& pass : frame().passes())
            if (pass.name == "2D overlay")
                pass.draw();
    }
};

// The cursor on pixel (x, y), the left button pressed for one overlay and let go for the
// next: the button hovered and the one clicked (-1 for none, -2 for more than one).
std::pair<int, int> pointAt(GameHarness& harness, const Page& page, const std::vector<gui::GUIButton*>& buttons, int x, int y)
{
    int hovered = -1, clicked = -1;
    std::vector<std::function<void()>> kept;
    for (int i = 0; i < int(buttons.size()); ++i)
        kept.push_back(std::exchange(buttons[i]->onClick, [&clicked, i] { clicked = clicked == -1 ? i : -2; }));
    harness.input.moveCursor(x + 0.5, harness.game->settings->windowHeight - (y + 0.5));
    harness.input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    page.drawOverlay();
    for (int i = 0; i < int(buttons.size()); ++i)
        if (buttons[i]->hoverState == 0)
            hovered = hovered == -1 ? i : -2;
    harness.input.releaseButton(GLFW_MOUSE_BUTTON_LEFT);
    page.drawOverlay();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->onClick = std::move(kept[i]);
    return {hovered, clicked};
}

std::vector<Box> checkPage(GameHarness& harness, const Page& page, const std::string& size)
{
    SCOPED_TRACE(page.name + " at " + size);
    page.open();
    harness.input.moveCursor(0.0, 0.0);
    const Picture picture = drawFrame(harness, "ui_" + page.name + "_" + size);
    const int w = picture.width, h = picture.height;
    // The overlay drawn again over a copy of the frame for each button in focus: the 3D
    // part costs too much to draw once a button at 4K.
    const render::GLFramebuffer copy;
    const render::GLRenderbuffer colour;
    glBindRenderbuffer(GL_RENDERBUFFER, colour.id());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, copy.id());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour.id());
    const auto blit = [&](GLuint from, GLuint to) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    };
    blit(0, copy.id());
    const auto overlaid = [&] {
        blit(copy.id(), 0);
        page.drawOverlay();
        glReadBuffer(GL_BACK);
        return Picture{w, h, readPixels(w, h)};
    };
    const Picture unlit = overlaid();
    const std::vector<gui::GUIButton*> buttons = page.buttons();
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        harness.tap(GLFW_KEY_DOWN);
        boxes.push_back(unlit.changedBox(overlaid()));
    }
    page.open();        // no focus: the mouse alone lights a button
    page.drawOverlay(); // and a page sees the button up before its first click

    for (int i = 0; i < int(boxes.size()); ++i) {
        const Box& b = boxes[i];
        if (b.left + 10 >= b.right) {
            ADD_FAILURE() << "button " << i << " lit by the keys is not seen";
            return boxes;
        }
        EXPECT_TRUE(b.left > 0 && b.bottom > 0 && b.right < w - 1 && b.top < h - 1) << i << " leaves the window";
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& o = boxes[j];
            EXPECT_TRUE(b.right < o.left || o.right < b.left || b.top < o.bottom || o.top < b.bottom) << i << ", " << j;
        }
        const int midX = (b.left + b.right) / 2, midY = (b.bottom + b.top) / 2;
        using Point = std::tuple<int, int, bool>; // inside or out
        for (const auto& [x, y, inside] : std::initializer_list<Point>{{midX, midY, true}, {b.left + 2, b.bottom + 2, true},
                                          {b.right - 2, b.bottom + 2, true}, {b.left + 2, b.top - 2, true},
                                          {b.right - 2, b.top - 2, true}, {b.left - 2, midY, false},
                                          {b.right + 2, midY, false}, {midX, b.bottom - 2, false},
                                          {midX, b.top + 2, false}}) {
            const auto [hovered, clicked] = pointAt(harness, page, buttons, x, y);
            EXPECT_EQ(clicked, inside ? i : -1) << "clicked at " << x << ", " << y << " for button " << i;
            EXPECT_EQ(hovered, inside ? i : -1) << "hovered at " << x << ", " << y << " for button " << i;
        }
    }
    return boxes;
}

TEST(HitBoxes, EveryButtonActsWhereItIsDrawnAndNowhereElseAtEverySize)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    const unsigned width = settings.windowWidth, height = settings.windowHeight;
    // Runs the game cannot play, listed all the same.
    const TempDirectory runs("fennik_hitbox_runs");
    for (const char* name : {"a", "b", "c"})
        std::ofstream(runs.path() / (std::string(name) + core::replayExtension)) << "not a replay";

    auto& menu = harness.level<levels::StartMenu>("StartMenu");
    auto& level = harness.level<levels::PlayableLevel>("TestLevel");
    auto& pause = LevelProbe::pauseMenuOf(level);
    const auto startMenu = [&] {
        startOn<levels::StartMenu>(harness, "StartMenu");
        menu.getOptions().back();
        menu.getReplays().back();
        menu.getLevels().back();
    };
    core::Progress reached;
    reached.furthest = 2;
    reached.best[0] = 912;
    const auto menuFrame = [&]() -> const render::Frame& { return menu.getFrame(); };
    const std::vector<Page> pages = {
        // The menu opens with its first button in focus; the search starts from none.
        {"start_menu", [&] { startMenu(); menu.menuFocus().clear(); }, [&] { return menu.buttons(); }, menuFrame},
        {"levels", [&] { startMenu(); menu.getLevels().open(reached); }, [&] { return menu.getLevels().buttons(); }, menuFrame},
        {"options", [&] { startMenu(); menu.getOptions().open(); }, [&] { return menu.getOptions().buttons(); }, menuFrame},
        {"replays", [&] { startMenu(); menu.getReplays().open(core::listReplays(runs.path().string(), settings)); },
         [&] { return menu.getReplays().buttons(); }, menuFrame},
        {"pause_menu", [&] { startOn(harness, "TestLevel"); harness.tap(GLFW_KEY_ESCAPE); },
         [&] { return std::vector<gui::GUIButton*>{&pause.resumeButton, &pause.restartButton, &pause.optionsButton, &pause.mainMenuButton}; },
         [&]() -> const render::Frame& { return LevelProbe::frameOf(level); }},
    };
    // Width, height and the player's UI scale.
    for (const glm::ivec3 size : {glm::ivec3(800, 800, 150), glm::ivec3(640, 480, 100), glm::ivec3(800, 800, 100),
                                  glm::ivec3(600, 1000, 100), glm::ivec3(1280, 720, 100), glm::ivec3(1920, 1080, 100),
                                  glm::ivec3(2560, 1440, 100), glm::ivec3(3840, 2160, 100)}) {
        harness.resizeWindow(size.x, size.y);
        harness.tick(); // a frame shown: the window's buffers take the new size
        settings.uiScale = float(size.z);
        const std::string name = std::to_string(size.x) + "x" + std::to_string(size.y) + (size.z == 100 ? "" : "_150");
        for (const Page& page : pages) {
            const std::vector<Box> boxes = checkPage(harness, page, name);
            // The start menu's buttons are 40 high at 800 x 800 and scale by min(width, height) / 800;
            // a larger UI scale makes them larger, as far as the menu still fits the window.
            const float plain = 0.05f * float(std::min(size.x, size.y));
            for (const Box& box : page.name == "start_menu" ? boxes : std::vector<Box>{}) {
                EXPECT_NEAR(box.top - box.bottom + 1, size.z == 100 ? plain : 1.5f * plain, size.z == 100 ? 2.0f : 0.3f * plain)
                    << name;
            }
        }
        // The welcome note, open (it is in reach from the test area's start), to look at.
        auto& note = *startOn(harness, "TestLevel").getScene().interactables.at(0);
        harness.input.press(GLFW_KEY_R);
        simulate(harness);
        harness.input.release(GLFW_KEY_R);
        EXPECT_TRUE(note.active);
        drawFrame(harness, "ui_open_note_" + name);
    }
    settings.uiScale = 100.0f;
    startMenu();
    harness.resizeWindow(int(width), int(height));
}

// At 1600 x 1600 the start menu is the one at 800 x 800 twice as large about the same
// centre: halved, the larger picture matches the smaller one, title picture and buttons
// included, save for finer detail.
TEST(HitBoxes, AtTwiceTheSizeTheStartMenuIsTheSamePictureTwiceAsLarge)
{
    auto& harness = sharedGame();
    // The 3D picture at the window's own size, so that it is the overlay's scaling that is compared.
    auto& graphics = harness.game->settings->graphics;
    const core::GraphicsSettings kept = graphics;
    core::applyPreset(graphics, core::GraphicsPreset::High);
    render::gpu().configure(graphics);
    const unsigned width = harness.game->settings->windowWidth;
    Picture pictures[2];
    for (int i = 0; i < 2; ++i) {
        harness.resizeWindow(800 * (i + 1));
        harness.tick();
        auto& camera = *startOn<levels::StartMenu>(harness, "StartMenu").getScene().camera;
        camera.yaw = 270.0f; // the drift, held still
        const float smoothing = std::exchange(camera.smoothing, 1.0f);
        camera.update();
        camera.smoothing = smoothing;
        harness.input.moveCursor(0.0, 0.0);
        pictures[i] = drawFrame(harness, "ui_start_menu_" + std::to_string(800 * (i + 1)));
    }
    int off = 0;
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int d = 0; d < 4; ++d)
                    sum += pictures[1].channel(2 * x + d % 2, 2 * y + d / 2, c);
                off += std::abs(sum / 4 - pictures[0].channel(x, y, c)) > 48;
            }
    EXPECT_LT(off, 800 * 800 / 50) << "channels of the halved 1600 x 1600 menu far from the 800 x 800 one";
    harness.resizeWindow(static_cast<int>(width));
    graphics = kept;
    render::gpu().configure(graphics);
}

} // namespace
} // namespace fennik::test
