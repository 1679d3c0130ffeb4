// Replays the inputs the fuzzers once failed on through the same entry point, in the
// normal build: each must load without a crash, and within a time limit.
//   <replay program> <folder of inputs>...
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
            inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        std::cerr << "replaying " << input.string() << '\n';
        // A hang is a fault too: the default action of the alarm ends the process.
        ::alarm(20);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ::alarm(0);
    }
    std::cerr << inputs.size() << " inputs replayed\n";
    return inputs.empty() ? 1 : 0;
}
