// The settings files through loadSettings: the shipped file, then the player's own
// over it. The input up to its first NUL byte is the shipped file and the rest the
// player's; an input without one is both.
#include "ScratchFiles.hpp"

#include "core/GameSettings.hpp"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fennik;
    fuzz::clearScratch();
    const std::uint8_t* end = data + size;
    const std::uint8_t* split = std::find(data, end, std::uint8_t{0});
    const std::string shipped = fuzz::writeScratch("settings.ini", data, static_cast<std::size_t>(split - data));
    const std::string player =
        split == end ? shipped : fuzz::writeScratch("player.ini", split + 1, static_cast<std::size_t>(end - split - 1));
    core::loadSettings(shipped, player);
    return 0;
}
