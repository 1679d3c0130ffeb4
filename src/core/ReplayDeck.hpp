#pragma once

#include "core/Replay.hpp"

#include <cstdint>
#include <string>

struct GLFWwindow;

namespace fennik::core {

class Level;
struct GameSettings;
struct KeyBindings;

// The run on tape. Every run from "Start Game" back to the start menu is recorded as
// the game reads it, tick by tick: the actions held, the commands the levels were
// given (ReplayEvent), and at every level switch the ticks spent and a hash of the
// state left behind. A recorded run plays back through the same levels with the
// normal camera, GUI and sound; at each switch the state must hash as recorded, or the
// playback stops there.
//
// The loop calls `beginTick` before every tick and LevelManager calls `levelSwitched`
// on every switch; levels call `record` for their commands and ask `playing` before
// they take live input.
class ReplayDeck {
public:
    enum class Mode { Idle, Recording, Playing };

    Mode mode() const { return state; }
    bool recording() const { return state == Mode::Recording; }
    bool playing() const { return state == Mode::Playing; }
    bool playingDemo() const { return state == Mode::Playing && demo; }

    // From "Start Game", before the first level is entered. Without a folder that can
    // be written, logs one warning and records nothing.
    void startRecording(const GameSettings& settings);
    // Plays `replay` (named `name` in the log): the random source goes back to where the
    // run started and the run's first level is entered. The demo is the start menu's
    // attract mode: any input ends it.
    void play(const Replay& replay, const std::string& name, bool isDemo);
    // Ends a playback at once and goes back to the start menu.
    void stopPlayback();

    // Before each tick of the loop: records the actions `level` will read this tick,
    // or hands it the recorded ones and this tick's recorded commands.
    void beginTick(Level& level, GLFWwindow* window, const KeyBindings& keys);
    // Ticks the loop runs for each tick that is due: four while a key is held during a
    // replay, otherwise one.
    int speed() const { return playing() && !demo && fastKeys > 0 ? 4 : 1; }
    // A level's command, given between ticks: recorded for the tick about to run.
    void record(ReplayEvent event);
    // A level's command that came out of the tick just run (the free camera's drag):
    // recorded for that tick, and replayed before it.
    void recordInTick(ReplayEvent event);
    // From LevelManager::setLevel, before `to` is reset. Ends a segment; back on the
    // start menu, ends the run (and saves a recorded one).
    void levelSwitched(Level* from, Level& to);
    // The game closes during a run: a recording is saved as it stands.
    void closeRun(Level* active);

    // Input while a replay plays belongs to the deck: Escape (on its release) goes back
    // to the list; any other key held plays four times as fast. During the demo any
    // key, click or pad button goes back to the start menu.
    void onKey(int key, int action);
    void onClickOrButton();

    // Ticks since the run began (recorded or played).
    std::uint32_t runTicks() const { return static_cast<std::uint32_t>(tape.held.size()); }
    // The run being recorded or played.
    const Replay& current() const { return tape; }
    // Level switches a playback has found as recorded so far.
    int verifiedSwitches() const { return verified; }
    // "LevelOne at tick 1234" once a playback went its own way; empty otherwise.
    const std::string& divergence() const { return divergedAt; }
    // Set when a replay (not the demo) ended: the start menu opens its list again.
    bool returnToList = false;
    // Where runs are saved; empty records nothing. The game sets it at start-up.
    std::string folder;
    // The file the last recorded run went to.
    std::string lastSaved;

private:
    void endSegment(Level& from);
    void save();
    void diverge(const std::string& level);
    void finishPlayback();

    Mode state = Mode::Idle;
    bool demo = false;
    Replay tape;          // the recording, or what has been played of a replay so far
    Replay playback;      // the replay being played
    std::string playbackName;
    std::size_t nextEvent = 0;
    std::string segmentLevel; // the level of the open segment; empty between runs
    std::uint32_t segmentStart = 0;
    int verified = 0;
    int fastKeys = 0;
    bool stopPending = false;
    bool warnedFolder = false;
    std::string divergedAt;
};

} // namespace fennik::core
