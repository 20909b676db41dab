// kettrix-sample-gen <output directory>
// Writes every noise texture and hit sample as headerless signed 16-bit
// little-endian mono PCM, one file per resource id.
#include "SampleCatalog.h"

#include <cstdio>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    int failures = 0;
    for (const auto list : {kettrix::samplegen::noiseRecipes(), kettrix::samplegen::hitRecipes()}) {
        for (const auto& recipe : list) {
            const std::string path = directory + "/" + kettrix::samplegen::fileNameFor(recipe);
            if (!writeFile(path, kettrix::samplegen::render(recipe))) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
