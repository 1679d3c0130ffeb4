// The progress file: what the keeper saves as play goes on, what comes back, and every
// broken, interrupted or unwritable case leaving the player's last good file alone.

#include "core/Files.hpp"
#include "core/ProgressKeeper.hpp"

#include "support/CountingLevel.hpp"
#include "support/LogCapture.hpp"
#include "support/TempDirectory.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fennik::core;
using fennik::test::CountingLevel;
using fennik::test::LogCapture;

namespace {

struct Room : CountingLevel {
    using CountingLevel::CountingLevel;
    bool runComplete() const override { return complete; }
    bool complete = false;
};

std::string fileText(const std::string& path)
{
    return readWholeFile(path, 1 << 16).value_or("(none)");
}

// Runs `write` in a child process, as a game that stops or fails in the middle.
int inChild(const std::function<int()>& write)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(write());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Progress, TheKeeperSavesFurtherLevelsBetterTimesAndTheEndButNothingAReplayDoes)
{
    const fennik::test::TempDirectory home("fennik_progress");
    const std::string path = (home / "fennik/progress.ini").string();
    Room menu("StartMenu"), test("TestLevel"), tutorial("TutorialLevel"), boss("LevelBoss");
    ProgressKeeper keeper;
    keeper.load(path);
    EXPECT_FALSE(keeper.progress().any());
    const auto play = [&](int ticks) { for (int tick = 0; tick < ticks; ++tick) keeper.countTick(); };

    keeper.levelSwitched(&menu, test, false);
    EXPECT_NE(fileText(path).find("furthest = TestLevel\n"), std::string::npos) << fileText(path);
    play(100);
    keeper.levelSwitched(&test, tutorial, false);
    play(40);
    keeper.levelSwitched(&tutorial, tutorial, false); // a restart: a new attempt
    EXPECT_EQ(keeper.levelTicks(), 0u);
    EXPECT_EQ(keeper.runTicks(), 140u);
    play(30);
    keeper.levelSwitched(&tutorial, test, false); // back, not finished
    play(60);
    keeper.levelSwitched(&test, tutorial, false);
    const std::string afterBetter = fileText(path);
    play(80);
    keeper.levelSwitched(&test, tutorial, false); // slower: nothing to save
    EXPECT_EQ(fileText(path), afterBetter);
    // A replay reaches the boss and beats it; the switch that ends it is no finish either.
    keeper.levelSwitched(&tutorial, boss, true);
    play(10);
    boss.complete = true;
    keeper.levelSwitched(&boss, menu, false);
    EXPECT_EQ(fileText(path), afterBetter);

    Progress expected;
    expected.furthest = 1;
    expected.best[0] = 60;
    keeper.load(path);
    EXPECT_EQ(keeper.progress(), expected);

    // The boss beaten in play: finished, with its time.
    keeper.levelSwitched(&menu, boss, false);
    play(300);
    keeper.levelSwitched(&boss, menu, false);
    expected.furthest = 4;
    expected.finished = true;
    expected.best[4] = 300;
    keeper.load(path);
    EXPECT_EQ(keeper.progress(), expected);
    EXPECT_NE(fileText(path).find("[progress]\nfurthest = LevelBoss\nfinished = true\n"), std::string::npos);
}

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
    std::string why;
    ASSERT_EQ(decodeProgress(text, why), good) << why;

    std::vector<std::string> broken = {"\x7f\x45LF\x02\x01\x01garbage\n==[", "",
                                       "[progress]\nfurthest = LevelNine\nfinished = false\n",
                                       "[best]\nTestLevel = -5\n[progress]\nfurthest = LevelOne\nfinished = false\n",
                                       "[best]\nTestLevel = 0\n[progress]\nfurthest = LevelOne\nfinished = false\n",
                                       "[best]\nTestLevel = 12.5\n[progress]\nfurthest = LevelOne\nfinished = false\n",
                                       "[best]\nLevelSix = 12\n[progress]\nfurthest = LevelOne\nfinished = false\n",
                                       "[best]\nLevelTwo = 12\n[progress]\nfurthest = LevelOne\nfinished = false\n"};
    for (std::size_t length = 1; length + 1 < text.size(); ++length)
        broken.push_back(text.substr(0, length));
    ProgressKeeper keeper;
    for (const std::string& file : broken) {
        const std::string path = home.write("progress.ini", file).string();
        LogCapture log;
        keeper.load(path);
        EXPECT_FALSE(keeper.progress().any()) << file;
        EXPECT_EQ(log.count("[WARN]: Your progress in '" + path + "' cannot be used"), 1u) << file;
    }
    LogCapture log;
    keeper.load((home / "").string());
    EXPECT_FALSE(keeper.progress().any());
    EXPECT_EQ(log.count("[WARN]: Your progress in '"), 1u) << "a folder cannot be read as one";
}

TEST(Progress, AnInterruptedOrFailedSaveLeavesTheOldFileAndAnUnwritableFolderWarnsOnce)
{
    const fennik::test::TempDirectory home("fennik_progress_saves");
    const std::string path = (home / "progress.ini").string();
    Progress old;
    old.furthest = 2;
    ASSERT_EQ(writeAtomically(path, encodeProgress(old)), "");
    Progress further = old;
    further.furthest = 3;
    further.best[2] = 2000;

    // Stopped between the write and the rename: the new file is whole beside the old one.
    EXPECT_EQ(inChild([&] { writeAtomically(path, encodeProgress(further), [] { ::_exit(7); }); return 0; }), 7);
    EXPECT_EQ(fileText(path), encodeProgress(old));
    EXPECT_EQ(fileText(path + ".tmp"), encodeProgress(further));
    // A full disk: no room for the new file.
    EXPECT_EQ(inChild([&] {
                  const rlimit room{16, 16};
                  ::setrlimit(RLIMIT_FSIZE, &room);
                  std::signal(SIGXFSZ, SIG_IGN);
                  return writeAtomically(path, encodeProgress(further)).empty() ? 1 : 0;
              }),
              0);
    EXPECT_EQ(fileText(path), encodeProgress(old));
    ProgressKeeper keeper;
    keeper.load(path);
    EXPECT_EQ(keeper.progress(), old);

    // A folder that cannot be made (a file has its name; root writes anywhere else).
    const std::string unwritable = home.write("file", "").string() + "/progress.ini";
    Room menu("StartMenu"), test("TestLevel"), tutorial("TutorialLevel");
    LogCapture log;
    keeper.load(unwritable);
    keeper.levelSwitched(&menu, test, false);
    keeper.countTick();
    keeper.levelSwitched(&test, tutorial, false);
    EXPECT_EQ(log.count("[WARN]: Your progress cannot be saved to '" + unwritable + "'"), 1u);
    EXPECT_EQ(keeper.progress().furthest, 1) << "the game goes on with it";
}
