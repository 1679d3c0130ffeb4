// The progress file: every broken, interrupted or unwritable case leaves the player's
// last good file alone. What is saved as play goes on is the level scenarios' concern.

#include "core/Files.hpp"
#include "core/ProgressKeeper.hpp"

#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fennik::core;
using fennik::test::LogCapture;

namespace {

std::string fileText(const std::string& path)
{
    return readWholeFile(path, 1 << 16).value_or("");
}

// The exit status of `write` run in a child process, as a game that stops or fails in it.
template <typename Write>
int inChild(Write write)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(write());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Any cut of a good file (as a crash of a plain write would leave), garbage, an unknown
// level, a time that is not a positive whole number, or a folder in the file's place.
TEST(Progress, EveryBrokenFileIsNamedInOneWarningAndCountsAsNoProgress)
{
    const fennik::test::TempDirectory home("fennik_progress_broken");
    Progress good;
    good.furthest = 4;
    good.finished = true;
    good.best = {912, 1480, 2210, 1931, 1208};
    const std::string text = encodeProgress(good);
    const std::string rest = "\n[progress]\nfurthest = LevelOne\nfinished = false\n";
    std::vector<std::string> broken = {"\x7f\x45LF\x02\x01garbage\n==[", "", "[progress]\nfurthest = LevelNine\n",
                                       "[best]\nTestLevel = -5" + rest, "[best]\nTestLevel = 0" + rest,
                                       "[best]\nTestLevel = 12.5" + rest, "[best]\nLevelSix = 12" + rest,
                                       "[best]\nLevelTwo = 12" + rest, "/"};
    for (std::size_t length = 1; length + 1 < text.size(); ++length)
        broken.push_back(text.substr(0, length));
    ProgressKeeper keeper;
    for (const std::string& file : broken) {
        const std::string path = file == "/" ? home.path().string() : home.write("progress.ini", file).string();
        LogCapture log;
        keeper.load(path);
        EXPECT_FALSE(keeper.progress().any()) << file;
        EXPECT_EQ(log.count("[WARN]: Your progress in '" + path + "' cannot be used"), 1u) << file;
    }
    keeper.load(home.write("progress.ini", text).string());
    EXPECT_EQ(keeper.progress(), good);
}

TEST(Progress, AnInterruptedOrFailedSaveLeavesTheOldFileAndAnUnwritableFolderWarnsOnce)
{
    const fennik::test::TempDirectory home("fennik_progress_saves");
    const std::string path = (home / "progress.ini").string();
    const std::string old = "[progress]\nfurthest = LevelOne\nfinished = false\n";
    home.write("progress.ini", old);
    const std::string further(300, '\n');
    // Stopped between the write and the rename: the new file is whole beside the old one.
    EXPECT_EQ(inChild([&] { writeAtomically(path, further, [] { ::_exit(7); }); return 0; }), 7);
    EXPECT_EQ(fileText(path), old);
    EXPECT_EQ(fileText(path + ".tmp"), further);
    // A full disk: no room for the new file.
    EXPECT_EQ(inChild([&] {
                  const rlimit room{16, 16};
                  ::setrlimit(RLIMIT_FSIZE, &room);
                  std::signal(SIGXFSZ, SIG_IGN);
                  return writeAtomically(path, further).empty() ? 1 : 0;
              }),
              0);
    EXPECT_EQ(fileText(path), old);

    // A folder that cannot be made (a file has its name; root writes anywhere else).
    const std::string unwritable = home.write("file", "").string() + "/progress.ini";
    fennik::test::CountingLevel menu("StartMenu"), test("TestLevel"), tutorial("TutorialLevel");
    ProgressKeeper keeper;
    LogCapture log;
    keeper.load(unwritable);
    keeper.levelSwitched(&menu, test, false);
    keeper.levelSwitched(&test, tutorial, false);
    EXPECT_EQ(log.count("[WARN]: Your progress cannot be saved to '" + unwritable + "'"), 1u);
    EXPECT_EQ(keeper.progress().furthest, 1) << "the game goes on with it";
}
