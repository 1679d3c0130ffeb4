#include "gui/OptionsScreen.hpp"

#include "core/GameSettings.hpp"
#include "core/Input.hpp"
#include "core/LevelManager.hpp"
#include "core/SoundEngine.hpp"
#include "gui/MenuPage.hpp"
#include "gui/TextRenderer.hpp"
#include "render/GpuResources.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace fennik::gui {

namespace {

constexpr float rowWidth = 300.0f;
constexpr float rowHeight = 36.0f;
constexpr float rowStep = 48.0f;
constexpr float columnOffset = 165.0f; // from the middle of the window to each column's centre
constexpr float captionScale = 0.62f;
constexpr std::array<int, 5> frameCaps = {0, 30, 60, 120, 144};

std::string onOff(bool value)
{
    return value ? "On" : "Off";
}

std::string number(float value, const char* format)
{
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return text;
}

std::string timerCaption(core::RunTimer timer)
{
    std::string name = core::runTimerName(timer);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

// The next of `steps` after `value` (or before, for a negative step), stopping at the ends.
float stepped(float value, int step, float smallest, float largest, float by)
{
    return std::clamp(std::round((value + static_cast<float>(step) * by) / by) * by, smallest, largest);
}

} // namespace

OptionsScreen::OptionsScreen()
    : settings(*core::LevelManager::instance().settings), title(&TextRenderer::instance(), "Options")
{
    const float width = static_cast<float>(settings.windowWidth);
    const float height = static_cast<float>(settings.windowHeight);
    const float left = width * 0.5f - columnOffset;
    const float right = width * 0.5f + columnOffset;
    const float top = height * 0.5f + 3.0f * rowStep;
    float y = top;
    const auto next = [&] { return std::exchange(y, y - rowStep); };

    addRow(left, next(), [this] { return "Volume: " + number(settings.volume, "%.0f") + " %"; },
           [this](int step) {
               settings.volume = stepped(settings.volume, step, 0.0f, 100.0f, 10.0f);
               core::SoundEngine::instance().play2D("assets/music/jump.wav"); // how loud it is now
           },
           {});
    addRow(left, next(), [this] { return "Full screen: " + onOff(settings.fullscreen); },
           [this](int) { settings.fullscreen = !settings.fullscreen; }, {});
    addRow(left, next(), [this] { return "Vsync: " + onOff(settings.vsync); },
           [this](int) { settings.vsync = !settings.vsync; }, {});
    addRow(left, next(),
           [this] { return "Frame cap: " + (settings.maxFps > 0 ? std::to_string(settings.maxFps) : std::string("Off")); },
           [this](int step) {
               const auto at = std::find(frameCaps.begin(), frameCaps.end(), settings.maxFps);
               const int index = at == frameCaps.end() ? 0 : static_cast<int>(at - frameCaps.begin());
               settings.maxFps = frameCaps[static_cast<std::size_t>((index + step + 5) % 5)];
           },
           {});
    addRow(left, next(), [this] { return "Field of view: " + number(settings.fov, "%.0f"); },
           [this](int step) { settings.fov = stepped(settings.fov, step, 30.0f, 110.0f, 5.0f); }, {});
    addRow(left, next(), [this] { return "Exposure: " + number(settings.exposure, "%.1f"); },
           [this](int step) { settings.exposure = stepped(settings.exposure, step, 0.1f, 5.0f, 0.1f); }, {});
    addRow(left, next(), [this] { return "Invert camera drag: " + onOff(settings.invertDrag); },
           [this](int) { settings.invertDrag = !settings.invertDrag; }, {});
    addRow(left, next(), [this] { return "Timer: " + timerCaption(settings.timer); },
           [this](int step) {
               settings.timer = static_cast<core::RunTimer>((static_cast<int>(settings.timer) + step + 3) % 3);
           },
           {});
    const float leftEnd = y;

    y = top;
    for (int index = 0; index < core::actionCount; ++index) {
        const auto action = static_cast<core::Action>(index);
        std::string name = core::actionName(action);
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        addRow(right, next(),
               [this, action, name] {
                   return name + ": " + (waitingFor == action ? std::string("press a key") : core::keyName(settings.keys[action]));
               },
               {}, [this, action] { waitingFor = action; });
    }
    addRow(width * 0.5f, std::min(leftEnd, y) - rowStep * 0.5f, [] { return std::string("Back"); }, {},
           [this] { back(); });

    std::vector<GUIElement*> order;
    for (const Row& row : rows)
        order.push_back(row.button.get());
    focus = std::make_unique<MenuFocus>(order);
}

void OptionsScreen::addRow(float x, float y, std::function<std::string()> caption, std::function<void(int)> change,
                           std::function<void()> press)
{
    auto button = std::make_unique<GUIButton>(x, y, caption(), captionScale, rowWidth, rowHeight, true);
    styleButton(*button);
    // A click (or Enter) on a value moves it one step on; on an action, waits for a key.
    const std::size_t index = rows.size();
    button->onClick = [this, index] {
        Row& row = rows[index];
        if (row.press)
            row.press();
        else if (row.change) {
            row.change(1);
            changed();
        }
    };
    rows.push_back({std::move(button), std::move(caption), std::move(change), std::move(press)});
}

void OptionsScreen::open()
{
    shown = true;
    waitingFor.reset();
    focus->clear();
    clicks.reset();
}

void OptionsScreen::back()
{
    shown = false;
    waitingFor.reset();
    if (onBack)
        onBack();
}

void OptionsScreen::changed()
{
    if (core::LevelManager::instance().settingsChanged)
        core::LevelManager::instance().settingsChanged();
}

void OptionsScreen::changeFocused(int step)
{
    if (focus->focused() < 0)
        return;
    Row& row = rows[static_cast<std::size_t>(focus->focused())];
    if (row.change) {
        row.change(step);
        changed();
    }
}

void OptionsScreen::draw(const glm::mat4& projection)
{
    if (!shown)
        return;
    drawDimmedPage(projection, title, static_cast<float>(settings.windowHeight) * 0.5f + 4.4f * rowStep);
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        Row& row = rows[index];
        row.button->label.text = row.caption();
        const auto click = std::exchange(row.button->onClick, nullptr);
        row.button->draw(projection); // updates the hover state, lays out and draws
        row.button->onClick = click;
        if (row.button->hoverState != 0)
            continue;
        if (clicks.left())
            click();
        else if (clicks.right() && row.change) {
            row.change(-1);
            changed();
        }
    }
}

void OptionsScreen::onKey(int key, int action)
{
    if (!shown)
        return;
    // Escape acts on its release, so the screen beneath never hears the rest of it.
    if (key == GLFW_KEY_ESCAPE) {
        if (action != GLFW_RELEASE)
            return;
        if (waitingFor)
            waitingFor.reset();
        else
            back();
        return;
    }
    if (action == GLFW_RELEASE)
        return;
    if (waitingFor) {
        // A debug key or one without a name is refused, and the wait goes on.
        if (action == GLFW_PRESS && settings.keys.bind(*waitingFor, key)) {
            waitingFor.reset();
            changed();
        }
        return;
    }
    if (focus->onKey(key, action))
        return;
    if (key == GLFW_KEY_LEFT || key == GLFW_KEY_RIGHT)
        changeFocused(key == GLFW_KEY_LEFT ? -1 : 1);
}

void OptionsScreen::onGamepadButton(int button, int action)
{
    if (!shown || action != GLFW_PRESS || waitingFor)
        return;
    if (focus->onGamepadButton(button, action))
        return;
    if (button == GLFW_GAMEPAD_BUTTON_DPAD_LEFT || button == GLFW_GAMEPAD_BUTTON_DPAD_RIGHT)
        changeFocused(button == GLFW_GAMEPAD_BUTTON_DPAD_LEFT ? -1 : 1);
    else if (button == GLFW_GAMEPAD_BUTTON_B)
        back();
}

std::vector<std::string> OptionsScreen::captions() const
{
    std::vector<std::string> all;
    for (const Row& row : rows)
        all.push_back(row.caption());
    return all;
}

} // namespace fennik::gui
