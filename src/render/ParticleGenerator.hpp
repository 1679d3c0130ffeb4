#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"
#include "render/ParticlePool.hpp"
#include "render/Shader.hpp"

#include <glm/mat4x4.hpp>

namespace fennik::render {

// The particles of the active level: the pool of ParticlePool plus the instance
// buffers and one instanced draw of camera-facing squares per frame. Only the active
// level draws, so the levels share one (`gpu().particles()`) and clear it when they
// become active.
//
// Rendering sits below the entities and the camera, so the entity and camera
// overloads are templates: any source with `getModelMatrix()`, `position` and
// `impulse`, and any camera with `position`, this frame's `view` and `projection`.
class ParticleGenerator : public ParticlePool {
public:
    ParticleGenerator();
    ParticleGenerator(ParticleGenerator&& other) noexcept = default;
    ParticleGenerator& operator=(ParticleGenerator&&) = delete;

    template <typename Source>
    void emit(Source& entity, unsigned count, int spread, float divisor, const glm::vec3& offset,
              const glm::vec4& color)
    {
        entity.getModelMatrix(); // refreshes entity.position
        emitAt(entity.position, entity.impulse, count, spread, divisor, offset, color);
    }

    template <typename Camera>
    void update(float dt, const Camera& camera)
    {
        ParticlePool::update(dt, camera.position);
    }
    using ParticlePool::update;

    // With the camera's view of this frame (see EntityFixedCamera::prepareDraw).
    template <typename Camera>
    void draw(Shader& shader, const Camera& camera, float alpha)
    {
        draw(shader, camera.view, camera.projection, alpha);
    }

    // Draws what the last update wrote (far to near, as ordered by the draw before
    // it), `alpha` of a tick on (see drawnPositions), then orders the pool for the next
    // update unless a frame since the last update already did. One instanced call; blend and depth state are the caller's. Leaves the
    // particle vertex array bound.
    void draw(Shader& shader, const glm::mat4& view, const glm::mat4& projection, float alpha);

    // The share of the live particles drawn (0 to 1), the nearest ones: a cheaper
    // picture without changing what the simulation does.
    float drawnShare = 1.0f;

private:
    GLVertexArray vertexArray;
    GLBuffer quadBuffer;
    GLBuffer positionBuffer;
    GLBuffer colorBuffer;
};

} // namespace fennik::render
