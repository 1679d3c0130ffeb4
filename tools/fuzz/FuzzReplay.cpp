// Replay files through the game's own reader. What it accepts must write back to the
// very same bytes: a field read one way and written another would make a replay that
// plays differently from the run it recorded.
#include "core/Replay.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    if (const auto replay = fennik::core::decodeReplay(bytes, why)) {
        if (fennik::core::encodeReplay(*replay) != bytes)
            std::abort();
    } else if (why.empty()) {
        std::abort(); // a refusal always says why
    }
    return 0;
}
