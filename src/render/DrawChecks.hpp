#pragma once

#include <set>
#include <string>

namespace fennik::render {

// While one lives, every draw call of the process (glDrawArrays, glDrawElements,
// glDrawArraysInstanced) first checks what the current program samples: each active
// sampler's unit holds a complete texture of the sampler's type, with the compare
// mode the type asks for; no unit serves samplers of two types; and no texture it
// samples is attached to the framebuffer being drawn into. What one driver forgives
// another draws black. Each fault is logged once as an error. Debug builds of the
// game keep one for the whole process; the picture tests make their own. With none
// alive a draw call costs one test more.
class DrawChecks {
public:
    DrawChecks();
    ~DrawChecks();
    DrawChecks(const DrawChecks&) = delete;
    DrawChecks& operator=(const DrawChecks&) = delete;

    // Each fault once, naming the program's sampler and what is wrong.
    const std::set<std::string>& faults() const { return found; }
    int drawsChecked() const { return draws; }

private:
    friend void checkDraw();
    std::set<std::string> found;
    int draws = 0;
    DrawChecks* outer; // the checker alive before this one, active again after it
};

} // namespace fennik::render
