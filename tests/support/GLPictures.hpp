#pragma once

#include <GL/glew.h>
#include <glm/gtc/type_precision.hpp>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fennik::test {

// RGBA bytes of the bound read framebuffer's current read buffer, bottom row first.
std::vector<std::uint8_t> readPixels(int width, int height);

// Writes RGBA bytes as GL reads them (bottom row first) to <build>/screenshots/<name>
// for a person to look at, and returns that path. A file that cannot be written
// fails the test.
std::filesystem::path saveScreenshot(const std::string& name, int width, int height,
                                     const std::vector<std::uint8_t>& rgba);

// Level 0 of a 2D texture: its internal format and its size.
GLint textureFormat(GLuint texture);
std::array<GLint, 2> textureSize(GLuint texture);

// A 1 x 1 RGBA texture of one colour, sampled nearest; the caller deletes it.
GLuint solidTexture(glm::u8vec4 colour);

} // namespace fennik::test
