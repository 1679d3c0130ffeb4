#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct GLFWwindow;

namespace fennik::core {

// What the player does, whatever key or pad button does it. The debug and view keys
// (F1 to F7, F11, 3 and 4) are not actions: they stay where they are.
enum class Action { Forward, Back, Left, Right, Jump, Interact, Pause };
inline constexpr int actionCount = 7;

// The key of every action; the defaults are W, S, A, D, Space, R and Escape. Two
// actions never share a key: binding a taken key swaps the two.
struct KeyBindings {
    std::array<int, actionCount> keys = defaults();

    static std::array<int, actionCount> defaults();
    int operator[](Action action) const { return keys[static_cast<int>(action)]; }
    // Gives `action` the key; an action that had it takes `action`'s old key. A fixed
    // (debug) key or a key without a name changes nothing and returns false.
    bool bind(Action action, int key);
    // The action bound to `key`, if any.
    std::optional<Action> actionOf(int key) const;
};

// The name of an action in the settings file and on the options screen.
const char* actionName(Action action);
// How a key is written in the settings file and shown to the player ("W", "SPACE",
// "LEFT_SHIFT"); empty for a key the game does not name.
std::string keyName(int key);
// The key of a name (case does not count); nullopt for an unknown one.
std::optional<int> keyFromName(const std::string& name);
// The debug and view keys, which are never bound to an action.
bool isFixedKey(int key);

// The pad directions count past this much of a stick's travel.
inline constexpr float stickDeadZone = 0.25f;

// Whether `action` is held now: its key, or on a gamepad the left stick or the D-pad
// for the four directions, South for jump, West for interact and Start for pause.
bool actionDown(GLFWwindow* window, const KeyBindings& bindings, Action action);

// While a replay plays, the actions it recorded for the tick (bit n: action n), which
// `actionDown` answers instead of the keys and the pad; nullopt gives the live input back.
void setRecordedActions(std::optional<std::uint8_t> held);

} // namespace fennik::core
