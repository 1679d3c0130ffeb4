#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fennik::core {

// Writes `bytes` to `path` through a temporary file beside it, an fsync and a rename,
// creating the folder first: a crash leaves the old file or the new one, never half of
// one. Empty on success, otherwise the reason.
std::string writeAtomically(const std::string& path, std::string_view bytes);

// The whole file, or nullopt when it cannot be read. Files larger than `limit` bytes
// are not read.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit);

// The game's folder of one XDG kind: $<variable>/fennik when the variable holds an
// absolute path (the convention ignores anything else), else $HOME/<fallback>/fennik;
// empty when neither tells a place. ("XDG_CONFIG_HOME", ".config") or
// ("XDG_DATA_HOME", ".local/share").
std::string playerFolder(const char* variable, const char* fallback);

} // namespace fennik::core
