#pragma once

#include "render/GL.hpp"
#include "render/GLObject.hpp"

#include <LinearMath/btIDebugDraw.h>

namespace fennik::physics {

// Draws the physics world's wireframes when a level's debug switch is on. Bullet
// calls drawLine once per segment, and each segment goes to OpenGL at once with the
// program that is current (the scene's shading program during the entity pass): no
// batching, no colour. It is a development aid, off by default.
//
// Owns its line buffer and vertex array. They are made on the first segment, so a
// Scene can be built and stepped without an OpenGL context; the destructor needs
// the context current if they were made.
class BulletDebugDrawer : public btIDebugDraw {
public:
    BulletDebugDrawer() = default;

    BulletDebugDrawer(const BulletDebugDrawer&) = delete;
    BulletDebugDrawer& operator=(const BulletDebugDrawer&) = delete;

    void drawLine(const btVector3& from, const btVector3& to, const btVector3& color) override;
    void drawContactPoint(const btVector3& pointOnB, const btVector3& normalOnB, btScalar distance, int lifeTime,
                          const btVector3& color) override;
    void reportErrorWarning(const char* warningString) override;
    void draw3dText(const btVector3& location, const char* textString) override;
    void setDebugMode(int debugMode) override;
    int getDebugMode() const override;
    void clearLines() override {}
    void flushLines() override {}

    int debugMode = 0;

private:
    void createLineObjects();

    render::GLBuffer lineBuffer{render::GLBuffer::Empty{}};
    render::GLVertexArray lineVertexArray{render::GLVertexArray::Empty{}};
};

} // namespace fennik::physics
