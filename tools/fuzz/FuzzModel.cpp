// OBJ and MTL through the game's model import (ImportedModel, what Model uploads).
// The input up to its first NUL byte is a material library, written under every
// plain file name the OBJ's "mtllib" lines give; the rest is the OBJ file. The
// library comes first so that a long model cut short by the fuzzer's length limit
// still brings its materials.
#include "ScratchFiles.hpp"

#include "render/ImportedModel.hpp"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

// Names inside the scratch folder only: no folders, no "." or "..".
bool plainFileName(const std::string& name)
{
    return !name.empty() && name.size() <= 64 && name[0] != '.' && name != "model.obj" &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) {
               return std::isalnum(c) || c == '.' || c == '_' || c == '-';
           });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace fennik;
    fuzz::clearScratch();
    const std::uint8_t* end = data + size;
    const std::uint8_t* split = std::find(data, end, std::uint8_t{0});
    const std::uint8_t* objStart = split == end ? data : split + 1;
    const std::string obj(objStart, end);
    if (split != end) {
        std::istringstream lines(obj);
        std::string line;
        int written = 0;
        while (std::getline(lines, line) && written < 4) {
            std::istringstream words(line);
            std::string word;
            if (!(words >> word) || word != "mtllib")
                continue;
            while (words >> word && written < 4) {
                if (plainFileName(word)) {
                    fuzz::writeScratch(word, data, static_cast<std::size_t>(split - data));
                    ++written;
                }
            }
        }
    }
    const std::string path = fuzz::writeScratch("model.obj", objStart, obj.size());
    render::ImportedModel::read(path);
    return 0;
}
