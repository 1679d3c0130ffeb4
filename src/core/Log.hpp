#pragma once

#include <iostream>

// The console log. One message is one line on standard output: a tag, the pieces
// streamed one after another, a newline and a flush, so that a crash never eats
// the lines before it. Log text is part of what players and tests read: compose it
// from pieces, never through format strings.
namespace fennik::log {

template <typename... Pieces>
void line(const Pieces&... pieces)
{
    (std::cout << ... << pieces) << '\n' << std::flush;
}

template <typename... Pieces>
void info(const Pieces&... pieces)
{
    line("[INFO]: ", pieces...);
}

template <typename... Pieces>
void warn(const Pieces&... pieces)
{
    line("[WARN]: ", pieces...);
}

template <typename... Pieces>
void error(const Pieces&... pieces)
{
    line("[ERROR]: ", pieces...);
}

} // namespace fennik::log
