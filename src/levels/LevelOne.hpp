#pragma once

#include "core/DataDirectory.hpp"
#include "levels/PlayableLevel.hpp"

namespace fennik::levels {

// The first real level: three enemies to stomp before the far end lets the player
// on to level two. Dying starts it over.
class LevelOne final : public PlayableLevel {
public:
    using PlayableLevel::PlayableLevel;

protected:
    std::string levelModelPath() const override { return core::dataPath("models/firstLevel.obj"); }
    glm::vec3 playerStart() const override { return {0.0f, 1.915f, 24.0f}; }
    void loadLevelModels() override;
    void addEnemies() override;
    bool skipsInteractableMeshes() const override { return false; }
    void addInteractables() override;
    void loadNoteTextures() override;
    std::string deathTarget() const override { return "LevelOne"; }
    void applySwitchRules() override;

private:
    render::Model* enemyModel = nullptr;
};

} // namespace fennik::levels
