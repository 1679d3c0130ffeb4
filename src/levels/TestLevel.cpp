#include "levels/TestLevel.hpp"

#include "core/DataDirectory.hpp"
#include "render/GpuResources.hpp"
#include "scene/Scene.hpp"

namespace fennik::levels {

void TestLevel::addInteractables()
{
    scene->addInteractable(nullptr, 0.0f, {-11.263f, 4.536f, 31.803f}, false, 10.0f, "default");
}

void TestLevel::loadNoteTextures()
{
    noteTexture = render::gpu().texture(core::dataPath("textures/beginning_texture.png"), true);
}

void TestLevel::applySwitchRules()
{
    if (playerPosition().z <= -45.0f)
        switchTo("TutorialLevel");
}

} // namespace fennik::levels
