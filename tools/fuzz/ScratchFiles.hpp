#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The game reads its outside data from files, so each fuzzer hands it its input as
// files in a folder of its own (in memory under /dev/shm where there is one).
namespace fennik::fuzz {

// Empties the folder, so that no file of an earlier input can be read by this one.
void clearScratch();

// Writes the bytes to `name` in the folder and gives the file's path.
std::string writeScratch(const std::string& name, const std::uint8_t* data, std::size_t size);

} // namespace fennik::fuzz
