#include "app/FenniksZavororor.hpp"

namespace fennik::app {

void FenniksZavororor::init()
{
}

void FenniksZavororor::shutdown()
{
}

} // namespace fennik::app
