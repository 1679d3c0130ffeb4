#include "physics/OpenGLMotionState.hpp"

namespace fennik::physics {

OpenGLMotionState::OpenGLMotionState(const btTransform& startTransform)
    : btDefaultMotionState(startTransform, btTransform::getIdentity())
{
}

} // namespace fennik::physics
