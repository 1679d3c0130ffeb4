// The generator rebuilds the committed asset files byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class AssetGenerator : public ::testing::Test {
protected:
    void SetUp() override
    {
        output = fs::temp_directory_path() / ("fennik-assetgen-" + std::to_string(::getpid()));
        fs::remove_all(output);
    }
    void TearDown() override { fs::remove_all(output); }

    int run() const
    {
        std::string command = std::string("\"") + FENNIK_ASSETGEN + "\" \"" + output.string() + "\" > /dev/null";
        return std::system(command.c_str());
    }

    fs::path output;
};

TEST_F(AssetGenerator, RebuildsEveryCommittedFileByteForByte)
{
    ASSERT_EQ(run(), 0);
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(output)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        ++files;
        fs::path relative = fs::relative(entry.path(), output);
        fs::path committed = fs::path("assets") / relative;
        ASSERT_TRUE(fs::exists(committed)) << relative << " is generated but not committed";
        EXPECT_TRUE(contents(entry.path()) == contents(committed)) << relative << " differs from the committed file; run tools/generate-assets.sh";
    }
    EXPECT_GT(files, 50);
}

TEST_F(AssetGenerator, LeavesShadersFontsAndSettingsAlone)
{
    ASSERT_EQ(run(), 0);
    EXPECT_FALSE(fs::exists(output / "shader"));
    EXPECT_FALSE(fs::exists(output / "fonts"));
    EXPECT_FALSE(fs::exists(output / "settings.ini"));
}

TEST_F(AssetGenerator, FailsCleanlyWithoutItsFont)
{
    std::string command = std::string("\"") + FENNIK_ASSETGEN + "\" \"" + output.string() + "\" /nonexistent/font.ttf > /dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
}

} // namespace
