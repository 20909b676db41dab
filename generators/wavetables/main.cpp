// kettrix-wavetable-gen <output-dir>
// Writes the seven wavetable set files into <output-dir>.

#include <cstdio>
#include <string>

#include "generators/wavetables/WavetableRecipe.h"

using namespace kettrix::resources::generators;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-dir>\n", argv[0]);
        return 2;
    }
    for (const WavetableSetInfo& set : kWavetableSets) {
        const std::string path = std::string(argv[1]) + "/" + std::string(set.fileName);
        const auto bytes = encodeLittleEndian(makeWavetableSet(set.shape));
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) != 0 || !written) {
            std::fprintf(stderr, "write failed: %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
