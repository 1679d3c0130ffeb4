#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fennik::core {

// Writes `bytes` to `path` through a temporary file beside it, an fsync, a rename and
// an fsync of the folder, creating the folder first: a crash or a full disk leaves the
// old file or the new one, never half of one. Empty on success, otherwise the reason.
// `beforeRename` runs once the temporary file is on disk (tests stop there).
std::string writeAtomically(const std::string& path, std::string_view bytes,
                            const std::function<void()>& beforeRename = {});

// The whole file, or nullopt when it cannot be read. Files larger than `limit` bytes
// are not read.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit);

// The game's folder of one XDG kind: $<variable>/fennik when the variable holds an
// absolute path (the convention ignores anything else), else $HOME/<fallback>/fennik;
// empty when neither tells a place. ("XDG_CONFIG_HOME", ".config") or
// ("XDG_DATA_HOME", ".local/share").
std::string playerFolder(const char* variable, const char* fallback);

} // namespace fennik::core
