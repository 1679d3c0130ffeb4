#pragma once

#include <LinearMath/btDefaultMotionState.h>

namespace fennik::physics {

// The bridge through which the dynamics world hands a body's transform to the
// renderer: after each step the world stores the simulated transform here
// (setWorldTransform), and entities read it back (getWorldTransform) to build their
// model matrices. Bullet's default behaviour is exactly what the game needs; the
// class exists so every entity body has the same, named motion state. Entities build
// it with an identity centre-of-mass offset, so simulated and drawn transforms coincide.
class OpenGLMotionState : public btDefaultMotionState {
public:
    explicit OpenGLMotionState(const btTransform& startTransform);
};

} // namespace fennik::physics
