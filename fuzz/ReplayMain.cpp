// Runs a fuzz target's checks over saved inputs without libFuzzer: every
// file named, and every file inside every folder named. The regression tests
// of the normal suite replay the committed inputs this way.
//
// The inputs run twice, in name order and then in the reverse order, and
// each must hand out the same results (ResultDigest) both times: the target
// reuses one plug-in instance, so a difference means an earlier input left
// something behind that the reset between inputs missed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FuzzHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

struct Input {
    fs::path path;
    std::vector<std::uint8_t> bytes;
    std::uint64_t digest = 0;
};

std::uint64_t Run(const Input& input) {
    std::fprintf(stderr, "%s\n", input.path.string().c_str());
    kettrix::fuzz::ResultDigest::take();
    LLVMFuzzerTestOneInput(input.bytes.data(), input.bytes.size());
    return kettrix::fuzz::ResultDigest::take();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> paths;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        if (fs::is_directory(path)) {
            for (const auto& entry : fs::directory_iterator(path))
                if (entry.is_regular_file()) paths.push_back(entry.path());
        } else if (fs::is_regular_file(path)) {
            paths.push_back(path);
        } else {
            // A target without past findings has no regression folder.
            std::fprintf(stderr, "no inputs at %s\n", argv[i]);
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<Input> inputs;
    for (const fs::path& path : paths) {
        std::ifstream in(path, std::ios::binary);
        inputs.push_back({path, std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {})});
    }

    for (Input& input : inputs) input.digest = Run(input);
    int differing = 0;
    for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) {
        if (Run(*it) != it->digest) {
            std::fprintf(stderr, "different results after other inputs: %s\n", it->path.string().c_str());
            ++differing;
        }
    }
    if (differing > 0) {
        std::printf("%d of %zu inputs depend on the inputs before them\n", differing, inputs.size());
        return 1;
    }
    std::printf("%zu inputs passed, twice, in two orders\n", inputs.size());
    return 0;
}
