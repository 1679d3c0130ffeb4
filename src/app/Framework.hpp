#pragma once

namespace fennik::app {

// Runs after each context is made current: checks that a context and the loader
// are there, routes the driver's debug messages to the log, and makes the debug
// line program current. Returns false (after logging why) when the context cannot
// be used.
bool frameworkInit();

// Releases what frameworkInit made, while a context is still current.
void frameworkShutdown();

} // namespace fennik::app
