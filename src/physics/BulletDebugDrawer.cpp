#include "physics/BulletDebugDrawer.hpp"

#include "core/Log.hpp"

namespace fennik::physics {

void BulletDebugDrawer::createLineObjects()
{
    lineVertexArray = render::GLVertexArray();
    lineBuffer = render::GLBuffer();
    glBindVertexArray(lineVertexArray.id());
    glBindBuffer(GL_ARRAY_BUFFER, lineBuffer.id());
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void BulletDebugDrawer::drawLine(const btVector3& from, const btVector3& to, const btVector3&)
{
    if (!lineVertexArray)
        createLineObjects();

    const float segment[6] = {from.x(), from.y(), from.z(), to.x(), to.y(), to.z()};
    glBindBuffer(GL_ARRAY_BUFFER, lineBuffer.id());
    glBufferData(GL_ARRAY_BUFFER, sizeof segment, segment, GL_STATIC_DRAW);
    glBindVertexArray(lineVertexArray.id());
    glDrawArrays(GL_LINES, 0, 2);
    glBindVertexArray(0);
}

void BulletDebugDrawer::drawContactPoint(const btVector3&, const btVector3&, btScalar, int, const btVector3&) {}

void BulletDebugDrawer::reportErrorWarning(const char* warningString)
{
    log::line(warningString);
}

void BulletDebugDrawer::draw3dText(const btVector3&, const char*) {}

void BulletDebugDrawer::setDebugMode(int mode)
{
    debugMode = mode;
}

int BulletDebugDrawer::getDebugMode() const
{
    return debugMode;
}

} // namespace fennik::physics
