#pragma once

#include "core/DataDirectory.hpp"
#include "levels/PlayableLevel.hpp"

namespace fennik::levels {

// The second level: two enemies, a rock and gaps to fall through. With every enemy
// defeated its far end leads to the boss room; dying or falling starts it over.
class LevelTwo final : public PlayableLevel {
public:
    using PlayableLevel::PlayableLevel;

protected:
    std::string levelModelPath() const override { return core::dataPath("models/secondLevel.obj"); }
    glm::vec3 playerStart() const override { return {0.0f, 1.915f, 24.0f}; }
    void loadLevelModels() override;
    void addEnemies() override;
    bool skipsInteractableMeshes() const override { return true; }
    void addInteractables() override;
    std::string deathTarget() const override { return "LevelTwo"; }
    void applySwitchRules() override;

private:
    render::Model* enemyModel = nullptr;
};

} // namespace fennik::levels
