// The one place the game finds its data: the order of the places, the marker that makes
// a folder count, and the sentence that names every place when none does.

#include "core/DataDirectory.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

using fennik::core::DataPlaces;
using fennik::core::findDataDirectory;

TEST(DataDirectory, PlacesAreTriedInOrderAndOnlyAFolderWithTheMarkerOfThisVersionCounts)
{
    const fennik::test::TempDirectory scratch{"fennik_data"};
    for (const char* data : {"chosen", "usr/share/fennik", "prefix/share/fennik", "work/assets"})
        scratch.write(std::string(data) + "/fennik.data", "1.0\n");
    scratch.write("bare/share/fennik/settings.ini", "");   // data without the marker
    scratch.write("old/share/fennik/fennik.data", "0.9\n"); // another version's
    const std::string root = scratch.path().string();
    const std::string chosen = root + "/chosen", besideProgram = root + "/usr/share/fennik",
                      prefix = root + "/prefix/share/fennik", working = root + "/work/assets";

    struct Case {
        const char* what;
        DataPlaces places;
        std::string found;
    } cases[] = {
        {"the override first", {chosen, root + "/usr/bin/fennik", prefix, working}, chosen},
        {"beside the program, relocated", {"", root + "/usr/bin/fennik", prefix, working}, besideProgram},
        {"beside a program in games/", {"", root + "/usr/games/fennik", prefix, working}, besideProgram},
        {"the prefix when beside has no marker", {"", root + "/bare/bin/fennik", prefix, working}, prefix},
        {"the working directory last", {"", root + "/old/bin/fennik", root + "/none", working}, working},
    };
    for (const Case& test : cases)
        EXPECT_EQ(findDataDirectory(test.places, "1.0").directory, test.found) << test.what;

    // None counts: every place is named with why, in the order tried.
    auto search = findDataDirectory({"", root + "/old/bin/fennik", root + "/bare/share/fennik", root + "/none"}, "1.0");
    EXPECT_EQ(search.directory, "");
    EXPECT_EQ(search.tried, (std::vector<std::string>{
                                "beside the program '" + root + "/old/share/fennik' (data of version 0.9)",
                                "install prefix '" + root + "/bare/share/fennik' (no fennik.data)",
                                "working directory '" + root + "/none' (no such folder)"}));

    // A folder the player names is the only one looked at, even when others would do.
    search = findDataDirectory({root + "/bare", root + "/usr/bin/fennik", prefix, working}, "1.0");
    EXPECT_EQ(search.directory, "");
    EXPECT_EQ(search.tried, std::vector<std::string>{"FENNIK_DATA_DIR '" + root + "/bare' (no fennik.data)"});
}

TEST(DataDirectory, FilesAreNamedInsideTheFolderInUseAndTheFontFallsBackToTheSystems)
{
    EXPECT_EQ(fennik::core::dataPath("models/Fennik.obj"), "assets/models/Fennik.obj") << "the source tree";
    EXPECT_EQ(fennik::core::fontPath(), "assets/fonts/OpenSans-SemiBold.ttf") << "the set-up's copy";
    const fennik::test::TempDirectory installed{"fennik_installed"};
    fennik::core::setDataDirectory(installed.path().string());
    EXPECT_EQ(fennik::core::dataPath("shader/skybox.vert"), installed.path().string() + "/shader/skybox.vert");
    EXPECT_EQ(fennik::core::fontPath(), "/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf");
    fennik::core::setDataDirectory("assets");
}
