// The menus as a player meets them at the window sizes players use: every button is
// found in the drawn picture itself, never from the layout code (the keys move the
// menu's focus, which lights one button: what changes in the picture is that button),
// and clicked and hovered there with the mouse: at its middle and 2 px inside each
// corner it acts, 2 px outside each edge nothing does. The buttons stay inside the
// window and clear of each other. The pictures are kept under build/screenshots.

#include "LevelTestSupport.hpp"

#include "core/GameSettings.hpp"
#include "core/LevelManager.hpp"
#include "core/Replay.hpp"
#include "gui/GUIButton.hpp"
#include "gui/OptionsScreen.hpp"
#include "gui/ReplaysScreen.hpp"
#include "levels/StartMenu.hpp"
#include "physics/EntityFixedCamera.hpp"
#include "support/GLPictures.hpp"
#include "support/TempDirectory.hpp"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>

namespace fennik::test {
namespace {

// Whole pixels, inclusive, GL rows (bottom up).
struct Box {
    int left, bottom, right, top;
};

glm::ivec3 pixelOf(const Picture& picture, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
    return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2]};
}

// The pixels that differ between two pictures of the same frame, as a box; empty
// (left > right) when none do.
Box changedBetween(const Picture& before, const Picture& after)
{
    Box box{before.width, before.height, -1, -1};
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * before.width + x) * 4;
            int off = 0;
            for (std::size_t c = 0; c < 3; ++c)
                off = std::max(off, std::abs(int(before.rgba[at + c]) - int(after.rgba[at + c])));
            if (off > 8)
                box = {std::min(box.left, x), std::min(box.bottom, y), std::max(box.right, x), std::max(box.top, y)};
        }
    return box;
}

// A page with its buttons and the overlay pass that draws them (and tests the cursor).
struct Page {
    std::string name;
    std::function<void()> open;
    std::function<std::vector<gui::GUIButton*>()> buttons;
    std::function<const render::Frame&()> frame;
};

void drawOverlay(const render::Frame& frame)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    for (const render::Pass& pass : frame.passes())
        if (pass.name == "2D overlay")
            pass.draw();
}

// The cursor on pixel (x, y), with the left button pressed for one overlay and let go
// for the next; which buttons were hovered and which clicked.
std::pair<std::vector<int>, std::vector<int>> pointAt(GameHarness& harness, const Page& page,
                                                        const std::vector<gui::GUIButton*>& buttons, int x, int y)
{
    std::vector<int> clicked(buttons.size(), 0), hovered;
    std::vector<std::function<void()>> kept;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        kept.push_back(std::exchange(buttons[i]->onClick, [&clicked, i] { ++clicked[i]; }));
    }
    harness.input.moveCursor(x + 0.5, harness.game->settings->windowHeight - (y + 0.5));
    harness.input.pressButton(GLFW_MOUSE_BUTTON_LEFT);
    drawOverlay(page.frame());
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->hoverState == 0)
            hovered.push_back(static_cast<int>(i));
    harness.input.releaseButton(GLFW_MOUSE_BUTTON_LEFT);
    drawOverlay(page.frame());
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->onClick = std::move(kept[i]);
    std::vector<int> clicks;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (clicked[i])
            clicks.push_back(static_cast<int>(i));
    return {hovered, clicks};
}

std::vector<Box> checkPage(GameHarness& harness, const Page& page, const std::string& size)
{
    SCOPED_TRACE(page.name + " at " + size);
    page.open();
    harness.input.moveCursor(0.0, 0.0);
    const Picture picture = drawFrame(harness, "ui_" + page.name + "_" + size);
    const std::vector<gui::GUIButton*> buttons = page.buttons();
    // The frame once more, its overlay drawn again over a copy of it for each button in
    // focus: the 3D part costs too much to draw once a button at 4K.
    const int w = picture.width, h = picture.height;
    GLuint copy = 0, colour = 0;
    glGenFramebuffers(1, &copy);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, copy);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    const auto blit = [&](GLuint from, GLuint to) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    };
    blit(0, copy);
    const auto overlaid = [&] {
        blit(copy, 0);
        drawOverlay(page.frame());
        glReadBuffer(GL_BACK);
        return Picture{w, h, readPixels(w, h)};
    };
    const Picture unlit = overlaid();
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        harness.tap(GLFW_KEY_DOWN);
        boxes.push_back(changedBetween(unlit, overlaid()));
    }
    glDeleteFramebuffers(1, &copy);
    glDeleteRenderbuffers(1, &colour);
    page.open(); // no focus: the mouse alone lights a button
    drawOverlay(page.frame()); // and a page sees the button up before its first click

    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        if (b.left + 10 >= b.right) {
            ADD_FAILURE() << "button " << i << " lit by the keys is not seen";
            return boxes;
        }
        EXPECT_TRUE(b.left > 0 && b.bottom > 0 && b.right < picture.width - 1 && b.top < picture.height - 1)
            << "button " << i << " leaves the window";
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& o = boxes[j];
            EXPECT_TRUE(b.right < o.left || o.right < b.left || b.top < o.bottom || o.top < b.bottom)
                << "buttons " << i << " and " << j << " overlap";
        }
        const std::vector<int> itself{static_cast<int>(i)};
        const int midX = (b.left + b.right) / 2, midY = (b.bottom + b.top) / 2;
        for (const glm::ivec2 p : {glm::ivec2(midX, midY), glm::ivec2(b.left + 2, b.bottom + 2),
                                   glm::ivec2(b.right - 2, b.bottom + 2), glm::ivec2(b.left + 2, b.top - 2),
                                   glm::ivec2(b.right - 2, b.top - 2)}) {
            const auto [hovered, clicked] = pointAt(harness, page, buttons, p.x, p.y);
            EXPECT_EQ(clicked, itself) << "button " << i << " clicked at " << p.x << ", " << p.y;
            EXPECT_EQ(hovered, itself) << "button " << i << " hovered at " << p.x << ", " << p.y;
        }
        for (const glm::ivec2 p : {glm::ivec2(b.left - 2, midY), glm::ivec2(b.right + 2, midY),
                                   glm::ivec2(midX, b.bottom - 2), glm::ivec2(midX, b.top + 2)}) {
            const auto [hovered, clicked] = pointAt(harness, page, buttons, p.x, p.y);
            EXPECT_TRUE(clicked.empty()) << "button " << i << " acts at " << p.x << ", " << p.y << ", outside it";
            EXPECT_TRUE(hovered.empty()) << "button " << i << " lights at " << p.x << ", " << p.y << ", outside it";
        }
    }
    return boxes;
}

TEST(HitBoxes, EveryButtonActsWhereItIsDrawnAndNowhereElseAtEverySize)
{
    auto& harness = sharedGame();
    auto& settings = *harness.game->settings;
    const unsigned width = settings.windowWidth, height = settings.windowHeight;
    // Three runs the game cannot play, so that the replays page lists rows.
    const TempDirectory runs("fennik_hitbox_runs");
    for (const char* name : {"a", "b", "c"})
        std::ofstream(runs.path() / (std::string(name) + core::replayExtension)) << "not a replay";
    auto& folder = core::LevelManager::instance().deck.folder;
    const std::string recorded = std::exchange(folder, runs.path().string());

    auto& menu = harness.level<levels::StartMenu>("StartMenu");
    auto& level = harness.level<levels::PlayableLevel>("TestLevel");
    const auto menuFrame = [&]() -> const render::Frame& { return menu.getFrame(); };
    const auto startMenu = [&] {
        startOn<levels::StartMenu>(harness, "StartMenu");
        menu.getOptions().back();
        menu.getReplays().back();
    };
    const std::vector<Page> pages = {
        {"start_menu", startMenu,
         [&] { return std::vector<gui::GUIButton*>{&menu.getStartButton(), &menu.getReplaysButton(), &menu.getOptionsButton(), &menu.getQuitButton()}; },
         menuFrame},
        {"options", [&] { startMenu(); menu.getOptions().open(); }, [&] { return menu.getOptions().buttons(); }, menuFrame},
        {"replays", [&] { startMenu(); menu.getReplays().open(core::listReplays(folder, settings)); },
         [&] { return menu.getReplays().buttons(); }, menuFrame},
        {"pause_menu",
         [&] {
             startOn(harness, "TestLevel");
             harness.tap(GLFW_KEY_ESCAPE);
             ASSERT_TRUE(level.isPaused());
         },
         [&] {
             auto& pause = LevelProbe::pauseMenuOf(level);
             return std::vector<gui::GUIButton*>{&pause.resumeButton, &pause.optionsButton, &pause.mainMenuButton};
         },
         [&]() -> const render::Frame& { return LevelProbe::frameOf(level); }},
    };
    // Width, height and the player's UI scale.
    for (const glm::ivec3 size : {glm::ivec3(640, 480, 100), glm::ivec3(800, 800, 100), glm::ivec3(600, 1000, 100),
                                  glm::ivec3(1280, 720, 100), glm::ivec3(1920, 1080, 100), glm::ivec3(2560, 1440, 100),
                                  glm::ivec3(3840, 2160, 100), glm::ivec3(800, 800, 150)}) {
        harness.resizeWindow(size.x, size.y);
        harness.tick(); // a frame shown: the window's buffers take the new size
        settings.uiScale = static_cast<float>(size.z);
        const std::string name = std::to_string(size.x) + "x" + std::to_string(size.y) +
                                 (size.z == 100 ? "" : "_" + std::to_string(size.z));
        for (const Page& page : pages) {
            const std::vector<Box> boxes = checkPage(harness, page, name);
            // The start menu's buttons are 40 high at 800 x 800, and scale by min(width, height) / 800 x ui_scale.
            const float scale = static_cast<float>(std::min(size.x, size.y)) / 800.0f * static_cast<float>(size.z) / 100.0f;
            for (const Box& box : page.name == "start_menu" ? boxes : std::vector<Box>{})
                EXPECT_NEAR(box.top - box.bottom + 1, 40.0f * scale, 2.0f) << name;
        }
    }
    settings.uiScale = 100.0f;
    menu.getOptions().back();
    menu.getReplays().back();
    folder = recorded;
    harness.resizeWindow(static_cast<int>(width), static_cast<int>(height));
}

// At 1600 x 1600 the start menu is the one at 800 x 800 twice as large about the same
// centre: shrunk by half, the larger picture matches the smaller one, title picture and
// buttons included, save for the 3D's and the text's finer detail.
TEST(HitBoxes, AtTwiceTheSizeTheStartMenuIsTheSamePictureTwiceAsLarge)
{
    auto& harness = sharedGame();
    const unsigned width = harness.game->settings->windowWidth;
    Picture pictures[2];
    for (int i = 0; i < 2; ++i) {
        harness.resizeWindow(800 * (i + 1));
        harness.tick();
        auto& menu = startOn<levels::StartMenu>(harness, "StartMenu");
        auto& camera = *menu.getScene().camera;
        camera.yaw = 270.0f; // the drift, held still
        const float smoothing = std::exchange(camera.smoothing, 1.0f);
        camera.update();
        camera.update();
        camera.smoothing = smoothing;
        harness.input.moveCursor(0.0, 0.0);
        pictures[i] = drawFrame(harness, "ui_start_menu_" + std::to_string(800 * (i + 1)));
    }
    int off = 0;
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x) {
            int largest = 0;
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int d = 0; d < 4; ++d)
                    sum += pixelOf(pictures[1], 2 * x + d % 2, 2 * y + d / 2)[c];
                largest = std::max(largest, std::abs(sum / 4 - pixelOf(pictures[0], x, y)[c]));
            }
            off += largest > 48;
        }
    std::cerr << "off " << off << "\n";
    EXPECT_LT(off, 800 * 800 / 50) << "pixels of the halved 1600 x 1600 menu far from the 800 x 800 one";
    harness.resizeWindow(static_cast<int>(width));
}

} // namespace
} // namespace fennik::test
