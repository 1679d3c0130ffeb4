#include "core/Actions.hpp"

#include "core/Input.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace fennik::core {

namespace {

// Every key a player can bind, by the name the settings file uses.
const std::pair<int, const char*> namedKeys[] = {
    {GLFW_KEY_SPACE, "SPACE"},       {GLFW_KEY_ENTER, "ENTER"},         {GLFW_KEY_TAB, "TAB"},
    {GLFW_KEY_BACKSPACE, "BACKSPACE"}, {GLFW_KEY_ESCAPE, "ESCAPE"},     {GLFW_KEY_UP, "UP"},
    {GLFW_KEY_DOWN, "DOWN"},         {GLFW_KEY_LEFT, "LEFT"},           {GLFW_KEY_RIGHT, "RIGHT"},
    {GLFW_KEY_LEFT_SHIFT, "LEFT_SHIFT"}, {GLFW_KEY_RIGHT_SHIFT, "RIGHT_SHIFT"},
    {GLFW_KEY_LEFT_CONTROL, "LEFT_CONTROL"}, {GLFW_KEY_RIGHT_CONTROL, "RIGHT_CONTROL"},
    {GLFW_KEY_LEFT_ALT, "LEFT_ALT"}, {GLFW_KEY_RIGHT_ALT, "RIGHT_ALT"}, {GLFW_KEY_COMMA, ","},
    {GLFW_KEY_PERIOD, "."},          {GLFW_KEY_SLASH, "/"},             {GLFW_KEY_SEMICOLON, ";"},
    {GLFW_KEY_APOSTROPHE, "'"},      {GLFW_KEY_MINUS, "-"},             {GLFW_KEY_EQUAL, "="},
    {GLFW_KEY_LEFT_BRACKET, "["},    {GLFW_KEY_RIGHT_BRACKET, "]"},     {GLFW_KEY_BACKSLASH, "\\"},
    {GLFW_KEY_INSERT, "INSERT"},     {GLFW_KEY_DELETE, "DELETE"},       {GLFW_KEY_HOME, "HOME"},
    {GLFW_KEY_END, "END"},           {GLFW_KEY_PAGE_UP, "PAGE_UP"},     {GLFW_KEY_PAGE_DOWN, "PAGE_DOWN"},
};

bool padButton(const GamepadState& pad, int button)
{
    return pad.connected && pad.buttons[static_cast<std::size_t>(button)];
}

// A direction on the D-pad or the left stick (y grows downwards on a stick).
bool padDirection(const GamepadState& pad, int dpadButton, int axis, float sign)
{
    return padButton(pad, dpadButton) || (pad.connected && pad.axes[static_cast<std::size_t>(axis)] * sign > stickDeadZone);
}

} // namespace

std::array<int, actionCount> KeyBindings::defaults()
{
    return {GLFW_KEY_W, GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_R, GLFW_KEY_ESCAPE};
}

bool KeyBindings::bind(Action action, int key)
{
    if (isFixedKey(key) || keyName(key).empty())
        return false;
    int& slot = keys[static_cast<int>(action)];
    if (const auto holder = actionOf(key))
        keys[static_cast<int>(*holder)] = slot;
    slot = key;
    return true;
}

std::optional<Action> KeyBindings::actionOf(int key) const
{
    const auto found = std::find(keys.begin(), keys.end(), key);
    if (found == keys.end())
        return std::nullopt;
    return static_cast<Action>(found - keys.begin());
}

const char* actionName(Action action)
{
    static const char* const names[actionCount] = {"forward", "back", "left", "right", "jump", "interact", "pause"};
    return names[static_cast<int>(action)];
}

std::string keyName(int key)
{
    if (key >= GLFW_KEY_A && key <= GLFW_KEY_Z)
        return std::string(1, static_cast<char>('A' + (key - GLFW_KEY_A)));
    if (key >= GLFW_KEY_0 && key <= GLFW_KEY_9)
        return std::string(1, static_cast<char>('0' + (key - GLFW_KEY_0)));
    for (const auto& [code, name] : namedKeys)
        if (code == key)
            return name;
    return {};
}

std::optional<int> keyFromName(const std::string& name)
{
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (upper.size() == 1 && upper[0] >= 'A' && upper[0] <= 'Z')
        return GLFW_KEY_A + (upper[0] - 'A');
    if (upper.size() == 1 && upper[0] >= '0' && upper[0] <= '9')
        return GLFW_KEY_0 + (upper[0] - '0');
    for (const auto& [code, keyName] : namedKeys)
        if (upper == keyName)
            return code;
    return std::nullopt;
}

bool isFixedKey(int key)
{
    return (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F7) || key == GLFW_KEY_F11 || key == GLFW_KEY_3 ||
           key == GLFW_KEY_4;
}

namespace {
std::optional<std::uint8_t> recordedActions;
}

void setRecordedActions(std::optional<std::uint8_t> held)
{
    recordedActions = held;
}

bool actionDown(GLFWwindow* window, const KeyBindings& bindings, Action action)
{
    if (recordedActions)
        return (*recordedActions >> static_cast<int>(action)) & 1u;
    if (input().isKeyDown(window, bindings[action]) || keyLatched(bindings[action]))
        return true;
    const GamepadState pad = input().gamepad();
    switch (action) {
    case Action::Forward: return padDirection(pad, GLFW_GAMEPAD_BUTTON_DPAD_UP, GLFW_GAMEPAD_AXIS_LEFT_Y, -1.0f);
    case Action::Back: return padDirection(pad, GLFW_GAMEPAD_BUTTON_DPAD_DOWN, GLFW_GAMEPAD_AXIS_LEFT_Y, 1.0f);
    case Action::Left: return padDirection(pad, GLFW_GAMEPAD_BUTTON_DPAD_LEFT, GLFW_GAMEPAD_AXIS_LEFT_X, -1.0f);
    case Action::Right: return padDirection(pad, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, GLFW_GAMEPAD_AXIS_LEFT_X, 1.0f);
    case Action::Jump: return padButton(pad, GLFW_GAMEPAD_BUTTON_A);
    case Action::Interact: return padButton(pad, GLFW_GAMEPAD_BUTTON_X);
    case Action::Pause: return padButton(pad, GLFW_GAMEPAD_BUTTON_START);
    }
    return false;
}

} // namespace fennik::core
