// The generator rebuilds every committed asset file byte for byte: the assets are
// reproducible, and a change to the generator shows up as a change to the files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(AssetGenerator, RebuildsEveryCommittedFileByteForByte)
{
    const fs::path output = fs::temp_directory_path() / ("fennik-assetgen-" + std::to_string(::getpid()));
    fs::remove_all(output);
    ASSERT_EQ(std::system(("\"" FENNIK_ASSETGEN "\" \"" + output.string() + "\" > /dev/null").c_str()), 0);
    const auto contents = [](const fs::path& path) {
        return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
    };
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(output)) {
        files += entry.is_regular_file();
        const fs::path relative = fs::relative(entry.path(), output);
        ASSERT_TRUE(fs::exists("assets" / relative)) << relative << " is generated but not committed";
        EXPECT_TRUE(entry.is_directory() || contents(entry.path()) == contents("assets" / relative))
            << relative << " differs; run tools/generate-assets.sh";
    }
    EXPECT_GT(files, 50);
    fs::remove_all(output);
}
