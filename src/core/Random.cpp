#include "core/Random.hpp"

namespace fennik::core {

RandomSource& processRandom()
{
    static RandomSource source;
    return source;
}

} // namespace fennik::core
