#include "render/FatalError.hpp"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#define FENNIK_ISATTY _isatty
#define FENNIK_FILENO _fileno
#else
#include <unistd.h>
#define FENNIK_ISATTY isatty
#define FENNIK_FILENO fileno
#endif

namespace fennik::render {

void pauseAndExit()
{
    std::cout.flush();
#ifdef _WIN32
    std::system("PAUSE");
#else
    if (FENNIK_ISATTY(FENNIK_FILENO(stdin))) {
        std::cout << "Press Enter to continue . . ." << std::flush;
        std::getchar();
    }
#endif
    std::exit(1);
}

} // namespace fennik::render
