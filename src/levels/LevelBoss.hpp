#pragma once

#include "core/DataDirectory.hpp"
#include "levels/PlayableLevel.hpp"

namespace fennik::levels {

// The boss room. When the boss falls, the player is set down in front of its place
// and Kobbin appears there in a burst of light; closing Kobbin's note returns to the
// start menu. Dying or falling restarts the fight.
class LevelBoss final : public PlayableLevel {
public:
    using PlayableLevel::PlayableLevel;

    void reset() override;

    static constexpr glm::vec3 bossPosition{6.0f, 1.9f, -35.0f};
    static constexpr glm::vec3 playerAfterFight{6.0f, 1.9f, -20.0f};

    bool endFigureSpawned() const { return endSpawned; }
    // A run that leaves the room after the fight is complete.
    bool runComplete() const override { return endSpawned; }

protected:
    std::string levelModelPath() const override { return core::dataPath("models/bossRoom.obj"); }
    glm::vec3 playerStart() const override { return {0.0f, 1.915f, 24.0f}; }
    void loadLevelModels() override;
    void addEnemies() override;
    // Kobbin, made once and kept out of the room until the fight is won.
    void addInteractables() override;
    bool skipsInteractableMeshes() const override { return true; }
    void loadNoteTextures() override;
    std::string deathTarget() const override { return "LevelBoss"; }
    void applySwitchRules() override;
    // The end card shows the run's time so far.
    std::string noteCaption(const physics::Interactable& interactable) const override;

private:
    void spawnEndFigure();
    void hideEndFigure();

    render::Model* bossModel = nullptr;
    render::Model* endFigureModel = nullptr;
    physics::Interactable* endFigure = nullptr;
    bool endSpawned = false;
};

} // namespace fennik::levels
