#include "core/Progress.hpp"

#include "core/Files.hpp"
#include "core/Replay.hpp"

#include <ini.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

namespace fennik::core {

static_assert(Progress::levelCount == std::size(runLevels));

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Sections and keys match without regard to case, as in the settings.
struct Parse {
    Progress progress;
    bool sawFurthest = false;
    bool sawFinished = false;
    std::string problem;
};

int onValue(void* user, const char* section, const char* name, const char* value)
{
    Parse& parse = *static_cast<Parse*>(user);
    if (!parse.problem.empty())
        return 1;
    const std::string_view text(value);
    if (sameName(section, "progress") && sameName(name, "furthest")) {
        parse.progress.furthest = runLevelIndex(text);
        parse.sawFurthest = true;
        if (parse.progress.furthest < 0)
            parse.problem = "an unknown level '" + std::string(text) + "'";
    } else if (sameName(section, "progress") && sameName(name, "finished")) {
        parse.sawFinished = true;
        if (text == "true" || text == "false")
            parse.progress.finished = text == "true";
        else
            parse.problem = "finished is '" + std::string(text) + "', not true or false";
    } else if (sameName(section, "best")) {
        const int level = runLevelIndex(name);
        std::uint32_t ticks = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ticks);
        if (level < 0)
            parse.problem = "a best time for an unknown level '" + std::string(name) + "'";
        else if (error != std::errc() || end != text.data() + text.size() || ticks == 0)
            parse.problem = "a best time '" + std::string(text) + "' that is not a positive whole number of ticks";
        else
            parse.progress.best[static_cast<std::size_t>(level)] = ticks;
    }
    return 1;
}

} // namespace

int runLevelIndex(std::string_view level)
{
    for (std::size_t index = 0; index < std::size(runLevels); ++index)
        if (sameName(level, runLevels[index]))
            return static_cast<int>(index);
    return -1;
}

std::string encodeProgress(const Progress& progress)
{
    std::ostringstream text;
    // The times first and the finished flag last: a file cut anywhere short of its end
    // then lacks the flag or holds half of it, and is refused rather than misread.
    text << "; Fennik's Zavororor: how far you got, written by the game.\n[best]\n";
    for (std::size_t index = 0; index < progress.best.size(); ++index)
        if (progress.best[index] > 0)
            text << runLevels[index] << " = " << progress.best[index] << "\n";
    text << "\n[progress]\nfurthest = " << (progress.any() ? runLevels[progress.furthest] : "")
         << "\nfinished = " << (progress.finished ? "true" : "false") << "\n";
    return text.str();
}

std::optional<Progress> decodeProgress(std::string_view text, std::string& why)
{
    Parse parse;
    const std::string terminated(text);
    if (terminated.find('\0') != std::string::npos) {
        why = "not a text file";
        return std::nullopt;
    }
    if (const int line = ini_parse_string(terminated.c_str(), onValue, &parse); line != 0)
        why = "line " + std::to_string(line) + " is not a setting";
    else if (!parse.problem.empty())
        why = parse.problem;
    else if (!parse.sawFurthest || !parse.sawFinished)
        why = "no furthest level or finished flag (empty or cut short)";
    else if (parse.progress.finished && parse.progress.furthest + 1 != static_cast<int>(Progress::levelCount))
        why = "finished before the last level";
    else if (std::any_of(parse.progress.best.begin() + parse.progress.furthest + 1, parse.progress.best.end(),
                         [](std::uint32_t ticks) { return ticks > 0; }))
        why = "a best time for a level beyond the furthest";
    else
        return parse.progress;
    return std::nullopt;
}

std::string progressPath()
{
    const std::string folder = playerFolder("XDG_DATA_HOME", ".local/share");
    return folder.empty() ? folder : folder + "/progress.ini";
}

} // namespace fennik::core
