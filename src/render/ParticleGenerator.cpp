#include "render/ParticleGenerator.hpp"

#include <algorithm>
#include <cmath>

#include <utility>

namespace fennik::render {

namespace {

// A unit square around the origin, drawn as a strip.
constexpr float quadCorners[] = {
    -0.5f, -0.5f, 0.0f,
    0.5f,  -0.5f, 0.0f,
    -0.5f, 0.5f,  0.0f,
    0.5f,  0.5f,  0.0f,
};

constexpr GLsizeiptr positionBytes = ParticlePool::poolSize * sizeof(glm::vec4);
constexpr GLsizeiptr colorBytes = ParticlePool::poolSize * sizeof(ParticleColor);

} // namespace

ParticleGenerator::ParticleGenerator()
{
    glBindVertexArray(vertexArray.id());

    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, sizeof quadCorners, quadCorners, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribDivisor(0, 0);

    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, positionBytes, nullptr, GL_STREAM_DRAW);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribDivisor(1, 1);

    glBindBuffer(GL_ARRAY_BUFFER, colorBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, colorBytes, nullptr, GL_STREAM_DRAW);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, 0, nullptr);
    glVertexAttribDivisor(2, 1);

    glBindVertexArray(0);
}

void ParticleGenerator::draw(Shader& shader, const glm::mat4& view, const glm::mat4& projection, float alpha)
{
    const std::vector<glm::vec4>& positions = drawnPositions(alpha);
    // Orders the pool for the next update, once however many frames come between two
    // ticks; what is drawn now was written by the last update.
    if (!orderedSinceUpdate())
        sortForDrawing();

    glBindVertexArray(vertexArray.id());
    // Orphan the buffers so the driver need not wait for last frame's draw.
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, positionBytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, liveCount * sizeof(glm::vec4), positions.data());
    glBindBuffer(GL_ARRAY_BUFFER, colorBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, colorBytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, liveCount * sizeof(ParticleColor), instanceColors.data());

    shader.use();
    shader.setMat4("projection", projection * view);
    // The rows of the view's rotation are the camera's right and up in world space.
    shader.setVec3("CameraRight_worldspace", glm::vec3(view[0][0], view[1][0], view[2][0]));
    shader.setVec3("CameraUp_worldspace", glm::vec3(view[0][1], view[1][1], view[2][1]));

    // Drawn far to near: the nearest share is the tail of the list.
    const double share = std::clamp(static_cast<double>(drawnShare), 0.0, 1.0);
    const auto drawn = static_cast<GLsizei>(std::lround(static_cast<double>(liveCount) * share));
    glDrawArraysInstancedBaseInstance(GL_TRIANGLE_STRIP, 0, 4, drawn, static_cast<GLuint>(liveCount) - static_cast<GLuint>(drawn));
}

} // namespace fennik::render
