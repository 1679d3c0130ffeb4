#pragma once

namespace fennik::render {

// Ends the process after a failure the game cannot run without (a shader that
// does not build). The console waits for Enter first when a person is there to
// read the message; without a terminal on standard input it exits at once, so
// scripts and CI never hang.
[[noreturn]] void pauseAndExit();

} // namespace fennik::render
