#pragma once

#include "core/DataDirectory.hpp"
#include "levels/PlayableLevel.hpp"

namespace fennik::levels {

// The first playable area, reached from "Start Game": the menu's backdrop with one
// note and no enemies. Its far end leads into the tutorial.
class TestLevel final : public PlayableLevel {
public:
    using PlayableLevel::PlayableLevel;

protected:
    std::string levelModelPath() const override { return core::dataPath("models/beginning.obj"); }
    glm::vec3 playerStart() const override { return {-3.471045f, 1.915f, 34.187042f}; }
    bool skipsInteractableMeshes() const override { return false; }
    void addInteractables() override;
    void loadNoteTextures() override;
    std::string deathTarget() const override { return "StartMenu"; }
    void applySwitchRules() override;
};

} // namespace fennik::levels
