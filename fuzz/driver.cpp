// Replays a fuzz target without libFuzzer: every file named on the command
// line, then N seeded random inputs (argument 1, default 10000) shaped like
// the target's usual input, mutated by flipping, inserting and cutting bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Each target may provide seeds; weak so that a target without them links.
extern "C" __attribute__((weak)) std::size_t TarmiskFuzzSeedCount() { return 0; }
extern "C" __attribute__((weak)) std::vector<std::uint8_t> TarmiskFuzzSeed(std::size_t) { return {}; }

int main(int argc, char** argv)
{
    long runs = 10000;
    int first = 1;
    if (argc > 1 && std::strtol(argv[1], nullptr, 10) > 0) {
        runs = std::strtol(argv[1], nullptr, 10);
        first = 2;
    }
    for (int i = first; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::mt19937 rng(12345);
    const std::size_t seeds = TarmiskFuzzSeedCount();
    for (long r = 0; r < runs; ++r) {
        std::vector<std::uint8_t> data;
        if (seeds > 0)
            data = TarmiskFuzzSeed(rng() % seeds);
        const int edits = 1 + int(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            switch (rng() % 4) {
            case 0:
                if (!data.empty())
                    data[rng() % data.size()] ^= std::uint8_t(1u << (rng() % 8));
                break;
            case 1:
                data.insert(data.begin() + (data.empty() ? 0 : rng() % (data.size() + 1)), std::uint8_t(rng()));
                break;
            case 2:
                if (!data.empty())
                    data.erase(data.begin() + rng() % data.size());
                break;
            default:
                if (!data.empty())
                    data.resize(rng() % (data.size() + 1));
                break;
            }
        }
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("%ld random inputs and %d files ran clean\n", runs, argc - first);
    return 0;
}
