#pragma once

#include "core/DataDirectory.hpp"
#include "levels/PlayableLevel.hpp"

#include <array>

namespace fennik::levels {

// The tutorial: two practice dummies that cannot hurt, three notes that teach the
// controls, a rock to push and a gap to fall into. Its far end leads to level one;
// walking back past the start returns to the test level.
class TutorialLevel final : public PlayableLevel {
public:
    using PlayableLevel::PlayableLevel;

protected:
    std::string levelModelPath() const override { return core::dataPath("models/tutorial.obj"); }
    glm::vec3 playerStart() const override { return {-3.471045f, 1.915f, 34.187042f}; }
    void loadLevelModels() override;
    void addEnemies() override;
    bool skipsInteractableMeshes() const override { return true; }
    void addInteractables() override;
    void loadNoteTextures() override;
    std::string deathTarget() const override { return "StartMenu"; }
    void applySwitchRules() override;
    GLuint noteTextureFor(const physics::Interactable& interactable) const override;
    // Practice dummies never hurt the player.
    bool sideContactHurts() const override { return false; }

private:
    render::Model* dummyModel = nullptr;
    render::Model* dummy2Model = nullptr;
    // In load order: the first note's image, the lower path's, the upper path's.
    std::array<GLuint, 3> noteTextures{};
};

} // namespace fennik::levels
