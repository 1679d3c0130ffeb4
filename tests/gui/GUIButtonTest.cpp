#include "gui/GUIButton.hpp"

#include "GUITestSupport.hpp"
#include "support/GLPictures.hpp"

namespace fennik::gui {
namespace {

using GUIButtonTest = test::GUITest;

TEST_F(GUIButtonTest, TextureFillsTheButtonUnderItsCaption)
{
    const GLuint green = test::solidTexture({0, 160, 0, 255});
    test::OffscreenTarget target(800, 800);
    GUIButton button(400.0f, 300.0f, "Main Menu", 0.75f, 150.0f, 40.0f, true);
    button.texture = green;
    button.draw(target.screenProjection());

    EXPECT_EQ(button.position, glm::vec3(325.0f, 280.0f, 0.0f));
    EXPECT_EQ(target.pixel(327, 282), glm::u8vec4(0, 160, 0, 255));
    EXPECT_EQ(target.pixel(472, 318), glm::u8vec4(0, 160, 0, 255));
    EXPECT_EQ(target.pixel(322, 300), glm::u8vec4(0, 0, 0, 255));
    int white = 0;
    for (int x = 340; x < 460; ++x)
        white += target.pixel(x, 300).r > 200 ? 1 : 0;
    EXPECT_GT(white, 5) << "no caption across the middle";
    EXPECT_TRUE(test::overlayStateLeft());
    glDeleteTextures(1, &green);
}

} // namespace
} // namespace fennik::gui
