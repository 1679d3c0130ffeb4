#include "gui/OptionsScreen.hpp"

#include "core/DataDirectory.hpp"
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
constexpr float columnGap = 30.0f;
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
    addRow([this] { return "Volume: " + number(settings.volume, "%.0f") + " %"; },
           [this](int step) {
               settings.volume = stepped(settings.volume, step, 0.0f, 100.0f, 10.0f);
               core::SoundEngine::instance().play2D(core::dataPath("music/jump.wav")); // how loud it is now
           },
           {});
    addRow([this] { return "Music: " + number(settings.musicVolume, "%.0f") + " %"; },
           [this](int step) { settings.musicVolume = stepped(settings.musicVolume, step, 0.0f, 100.0f, 10.0f); }, {});
    addRow([this] { return "Effects: " + number(settings.effectsVolume, "%.0f") + " %"; },
           [this](int step) {
               settings.effectsVolume = stepped(settings.effectsVolume, step, 0.0f, 100.0f, 10.0f);
               core::SoundEngine::instance().play2D(core::dataPath("music/jump.wav"));
           },
           {});
    addRow([this] { return "Full screen: " + onOff(settings.fullscreen); },
           [this](int) { settings.fullscreen = !settings.fullscreen; }, {});
    addRow([this] { return "Vsync: " + onOff(settings.vsync); }, [this](int) { settings.vsync = !settings.vsync; },
           {});
    addRow([this] { return "Frame cap: " + (settings.maxFps > 0 ? std::to_string(settings.maxFps) : std::string("Off")); },
           [this](int step) {
               const auto at = std::find(frameCaps.begin(), frameCaps.end(), settings.maxFps);
               const int index = at == frameCaps.end() ? 0 : static_cast<int>(at - frameCaps.begin());
               settings.maxFps = frameCaps[static_cast<std::size_t>((index + step + 5) % 5)];
           },
           {});
    addRow([this] { return "Field of view: " + number(settings.fov, "%.0f"); },
           [this](int step) { settings.fov = stepped(settings.fov, step, 30.0f, 110.0f, 5.0f); }, {});
    addRow([this] { return "Exposure: " + number(settings.exposure, "%.1f"); },
           [this](int step) { settings.exposure = stepped(settings.exposure, step, 0.1f, 5.0f, 0.1f); }, {});
    addRow([this] { return "Invert camera drag: " + onOff(settings.invertDrag); },
           [this](int) { settings.invertDrag = !settings.invertDrag; }, {});
    addRow([this] { return "UI scale: " + number(settings.uiScale, "%.0f") + " %"; },
           [this](int step) {
               settings.uiScale = stepped(settings.uiScale, step, core::smallestUiScale, core::largestUiScale, 10.0f);
           },
           {});
    addRow([this] { return "Timer: " + timerCaption(settings.timer); },
           [this](int step) {
               settings.timer = static_cast<core::RunTimer>((static_cast<int>(settings.timer) + step + 3) % 3);
           },
           {});

    for (int index = 0; index < core::actionCount; ++index) {
        const auto action = static_cast<core::Action>(index);
        std::string name = core::actionName(action);
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        addRow([this, action, name] {
                   return name + ": " + (waitingFor == action ? std::string("press a key") : core::keyName(settings.keys[action]));
               },
               {}, [this, action] { waitingFor = action; });
    }
    addGraphicsRows();
    addRow([] { return std::string("Back"); }, {}, [this] { back(); });

    std::vector<GUIElement*> order;
    for (const Row& row : rows)
        order.push_back(row.button.get());
    focus = std::make_unique<MenuFocus>(order);
}

void OptionsScreen::addGraphicsRows()
{
    using core::GraphicsPreset;
    core::GraphicsSettings& graphics = settings.graphics;
    // The window's multisampling is chosen when it is made.
    const int samplesAtStart = graphics.samples;
    // A switch changed by hand makes the preset Custom; every row is the player's choice.
    const auto custom = [&graphics] {
        graphics.preset = GraphicsPreset::Custom;
        graphics.chosen = true;
    };
    const auto cycle = [](int index, int step, int count) { return (index + step + count) % count; };
    addRow(
           [&graphics] {
               std::string name = core::presetName(graphics.preset.value_or(GraphicsPreset::Custom));
               name[0] = static_cast<char>(name[0] - 'a' + 'A');
               return "Graphics: " + name;
           },
           [&graphics, cycle](int step) {
               const int now = static_cast<int>(graphics.preset.value_or(GraphicsPreset::Custom));
               core::applyPreset(graphics, static_cast<GraphicsPreset>(cycle(now, step, 4)));
               graphics.chosen = true;
           },
           {});
    addRow( [&graphics] { return "Render scale: " + number(graphics.renderScale * 100.0f, "%.0f") + " %"; },
           [&graphics, custom](int step) {
               graphics.renderScale = stepped(graphics.renderScale, step, core::lowestRenderScale,
                                              core::highestRenderScale, 0.05f);
               custom();
           },
           {});
    addRow( [&graphics] { return "Shadow map: " + std::to_string(graphics.shadowSize); },
           [&graphics, custom](int step) {
               graphics.shadowSize = std::clamp(step > 0 ? graphics.shadowSize * 2 : graphics.shadowSize / 2, 512, 4096);
               custom();
           },
           {});
    addRow( [&graphics] { return "Soft shadows: " + onOff(graphics.softShadows); },
           [&graphics, custom](int) {
               graphics.softShadows = !graphics.softShadows;
               custom();
           },
           {});
    addRow(
           [&graphics] {
               std::string name = core::bloomName(graphics.bloom);
               name[0] = static_cast<char>(name[0] - 'a' + 'A');
               return "Bloom: " + name;
           },
           [&graphics, custom, cycle](int step) {
               graphics.bloom = static_cast<core::Bloom>(cycle(static_cast<int>(graphics.bloom), step, 3));
               custom();
           },
           {});
    addRow( [&graphics] { return "Depth of field: " + onOff(graphics.depthOfField); },
           [&graphics, custom](int) {
               graphics.depthOfField = !graphics.depthOfField;
               custom();
           },
           {});
    addRow( [&graphics] { return std::string("Textures: ") + (graphics.fullTextures ? "Full" : "Half"); },
           [&graphics, custom](int) {
               graphics.fullTextures = !graphics.fullTextures;
               custom();
           },
           {});
    addRow(
           [&graphics, samplesAtStart] {
               const std::string value = graphics.samples > 0 ? std::to_string(graphics.samples) + "x" : "Off";
               return "Antialiasing: " + value + (graphics.samples != samplesAtStart ? " (on restart)" : "");
           },
           [&graphics, custom, cycle](int step) {
               constexpr std::array<int, 4> samples = {0, 2, 4, 8};
               const auto at = std::find(samples.begin(), samples.end(), graphics.samples);
               const int index = at == samples.end() ? 0 : static_cast<int>(at - samples.begin());
               graphics.samples = samples[static_cast<std::size_t>(cycle(index, step, 4))];
               custom();
           },
           {});
    addRow( [&graphics] { return "Particles: " + std::to_string(graphics.particles) + " %"; },
           [&graphics, custom](int step) {
               graphics.particles = std::clamp(graphics.particles + 25 * step, 0, 100);
               custom();
           },
           {});
}

OptionsScreen::Shape OptionsScreen::shape(const UiFrame& frame) const
{
    // The largest scale up to the window's (and up to what keeps captions readable)
    // at which the rows fit, in as few columns as will do, then as wide a spacing.
    const int options = static_cast<int>(rows.size()) - 1;
    const float wanted = std::max(frame.scale, UiFrame::smallestCaption / Text::pixelsOf(captionScale));
    Shape best{};
    for (const int columns : {2, 3, 4}) {
        for (const float step : {48.0f, 40.0f, 32.0f, 26.0f}) {
            const Shape candidate = shapeOf(options, columns, step);
            const float scale = frame.scaledTo(wanted).fittingScale(candidate.extent);
            // A rival has to be clearly bigger to be worth another column or tighter rows.
            if (scale > best.scale * 1.01f) {
                best = candidate;
                best.scale = scale;
            }
        }
    }
    return best;
}

OptionsScreen::Shape OptionsScreen::shapeOf(int options, int columns, float step)
{
    Shape shape{columns, (options + columns - 1) / columns, step, std::min(rowHeight, step - 8.0f), 0.0f, {}};
    const float firstRow = static_cast<float>(shape.perColumn - 1) * 0.5f * step;
    shape.titleY = firstRow + std::max(1.4f * step, 50.0f);
    shape.backY = -firstRow - std::max(1.5f * step, 40.0f);
    const float top = shape.titleY + 28.0f;
    const float bottom = shape.backY - shape.rowHeight * 0.5f;
    shape.extent = {static_cast<float>(columns) * (rowWidth + columnGap) - columnGap, 2.0f * std::max(top, -bottom)};
    return shape;
}

void OptionsScreen::arrange(const Shape& shape)
{
    const float firstRow = static_cast<float>(shape.perColumn - 1) * 0.5f * shape.step;
    for (std::size_t index = 0; index + 1 < rows.size(); ++index) {
        const int column = static_cast<int>(index) / shape.perColumn;
        const int row = static_cast<int>(index) % shape.perColumn;
        GUIButton& button = *rows[index].button;
        button.centre = {(static_cast<float>(column) - static_cast<float>(shape.columns - 1) * 0.5f) * (rowWidth + columnGap),
                         firstRow - static_cast<float>(row) * shape.step};
        button.size = {rowWidth, shape.rowHeight};
    }
    GUIButton& back = *rows.back().button;
    back.centre = {0.0f, shape.backY};
    back.size = {rowWidth, shape.rowHeight};
}

void OptionsScreen::addRow(std::function<std::string()> caption, std::function<void(int)> change,
                           std::function<void()> press)
{
    auto button = std::make_unique<GUIButton>(Anchor::Centre, glm::vec2(0.0f), caption(), captionScale,
                                              glm::vec2(rowWidth, rowHeight));
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

void OptionsScreen::draw(const glm::mat4& projection, const UiFrame& frame)
{
    if (!shown)
        return;
    const Shape fitted = shape(frame);
    arrange(fitted);
    const UiFrame page = frame.scaledTo(fitted.scale);
    drawDimmedPage(projection, page, title, fitted.titleY);
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        Row& row = rows[index];
        row.button->label.text = row.caption();
        const auto click = std::exchange(row.button->onClick, nullptr);
        row.button->draw(projection, page); // lays out, updates the hover state and draws
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

std::vector<GUIButton*> OptionsScreen::buttons() const
{
    std::vector<GUIButton*> all;
    for (const Row& row : rows)
        all.push_back(row.button.get());
    return all;
}

} // namespace fennik::gui
