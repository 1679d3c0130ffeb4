#pragma once

#include <set>
#include <string>

namespace fennik::test {

// While one lives, every draw call of the process (glDrawArrays, glDrawElements,
// glDrawArraysInstanced) first checks what the current program samples: each active
// sampler's unit holds a complete texture of the sampler's type, with the compare
// mode the type asks for; no unit serves samplers of two types; and no texture it
// samples is attached to the framebuffer being drawn into. What one driver forgives
// another draws black. Linked into a test as the object library fennik_draw_checks.
class DrawChecks {
public:
    DrawChecks();
    ~DrawChecks();
    DrawChecks(const DrawChecks&) = delete;
    DrawChecks& operator=(const DrawChecks&) = delete;

    // Each fault once, naming the program's sampler and what is wrong.
    const std::set<std::string>& faults() const;
    int drawsChecked() const;
};

} // namespace fennik::test
