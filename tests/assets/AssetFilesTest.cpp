// The models load through the game's Model, drawn the right way round; normal maps and sounds are what their users
// expect.

#include "render/Model.hpp"
#include "support/GLTestContext.hpp"
#include "support/LogCapture.hpp"
#include "support/MeshVertices.hpp"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stb/stb_image.h>
#include <glm/geometric.hpp>

TEST(AssetFiles, ModelsLoadWithTheirTexturesAndFaceTheWayTheirNormalsPoint)
{
    ASSERT_NE(fennik::test::sharedGLContext(), nullptr);
    for (const char* name : {"Fennik", "beginning", "tutorial", "firstLevel", "secondLevel", "bossRoom", "dummy",
                             "dummy2", "enemy", "boss_enemy", "kobbin", "Heart"}) {
        fennik::test::LogCapture log;
        fennik::render::Model model(std::string("assets/models/") + name + ".obj");
        EXPECT_FALSE(model.meshes.empty() || log.contains("ERROR")) << name << ": " << log.text();
        for (const auto& map : model.texturesLoaded) {
            // A tangent-space normal map is mostly blue (+Z); a colour map by mistake is not.
            int width = 0, height = 0, channels = 0;
            stbi_uc* pixels = map.type == "texture_normal"
                                  ? stbi_load((model.directory + "/" + map.path).c_str(), &width, &height, &channels, 3)
                                  : nullptr;
            double blue = 0.0;
            for (int i = 0; pixels && i < width * height; ++i)
                blue += pixels[i * 3 + 2] / 255.0 / (width * height);
            EXPECT_TRUE(map.type != "texture_normal" || blue > 0.85) << map.path;
            stbi_image_free(pixels);
        }
        // Back faces are culled: a triangle wound against its normals would vanish. The
        // vertices as the vertex buffer holds them.
        for (const auto& mesh : model.meshes) {
            const auto vertices = fennik::test::verticesOf(mesh);
            for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
                const auto &a = vertices[mesh.indices[i]], &b = vertices[mesh.indices[i + 1]],
                           &c = vertices[mesh.indices[i + 2]];
                const glm::vec3 wound = glm::cross(b.position - a.position, c.position - a.position);
                ASSERT_TRUE(glm::length(wound) < 1e-6f || glm::dot(wound, a.normal + b.normal + c.normal) > 0.0f)
                    << name << ": " << mesh.name;
            }
        }
    }
}

TEST(AssetFiles, SoundsAreShortMono16BitClipsAudibleWithoutClippingAndTheEmptyOneSilent)
{
    // Mono, so that the sound engine can place them in the world; fading out, not ending on a click.
    for (auto [name, lowestPeak, highestPeak] :
         {std::tuple{"jump", 0.3f, 0.99f}, {"hit", 0.3f, 0.99f}, {"empty", 0.0f, 0.0f}}) {
        SF_INFO info{};
        SNDFILE* file = sf_open((std::string("assets/music/") + name + ".wav").c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << name;
        std::vector<float> samples(static_cast<std::size_t>(info.frames));
        sf_read_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
        EXPECT_TRUE(info.channels == 1 && info.format == (SF_FORMAT_WAV | SF_FORMAT_PCM_16) && info.samplerate == 44100)
            << name;
        EXPECT_TRUE(info.frames > 0 && info.frames < 44100) << name << " is empty or longer than a second";
        const float peak = std::abs(*std::max_element(samples.begin(), samples.end(),
                                                      [](float x, float y) { return std::abs(x) < std::abs(y); }));
        EXPECT_TRUE(peak >= lowestPeak && peak <= highestPeak && std::abs(samples.back()) < 0.01f)
            << name << " peaks at " << peak;
    }
}
