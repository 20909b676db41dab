#include "SampleCatalog.h"

#include "NoiseRecipes.h"

#include <array>
#include <cctype>

namespace kettrix::samplegen {

namespace {

using C = Colour;

// Noise types 3..39: resource ids and lengths are fixed by the instrument.
constexpr std::array<SampleRecipe, 37> kNoise{{
    {3, "Noise", 205, 22050, C::Broad, false, noiseWhite},
    {4, "LP Noise", 206, 21855, C::Low, false, noiseLowPass},
    {5, "BP Noise", 207, 21895, C::Mid, false, noiseBandPass},
    {6, "HP Noise", 208, 21924, C::High, false, noiseHighPass},
    {7, "Noise Distorted", 209, 21895, C::Broad, false, noiseDistorted},
    {8, "Noise Crushed", 210, 22050, C::Broad, false, noiseCrushed},
    {9, "Snare 808", 224, 10031, C::Mid, false, snare808},
    {10, "Snare 909", 225, 12900, C::Mid, false, snare909},
    {11, "Snare Acoustic 1", 226, 9396, C::Mid, false, snareAcoustic1},
    {12, "Snare Acoustic 2", 227, 13211, C::Mid, false, snareAcoustic2},
    {13, "Snare Acoustic 3", 228, 10099, C::Mid, false, snareAcoustic3},
    {14, "Snare Acoustic 4", 229, 11696, C::Mid, false, snareAcoustic4},
    {15, "Snare Acoustic 5", 230, 12047, C::Mid, false, snareAcoustic5},
    {16, "Agogo", 240, 8668, C::Mid, false, agogo},
    {17, "Clave", 242, 13389, C::Mid, false, clave},
    {18, "Wood", 246, 15656, C::Mid, false, wood},
    {19, "Tamb", 223, 9369, C::High, false, tambourine},
    {20, "Bells", 219, 10949, C::Mid, false, bells},
    {21, "505", 211, 16566, C::High, false, hat505},
    {22, "606", 212, 12002, C::High, false, hat606},
    {23, "808", 213, 19218, C::High, false, hat808},
    {24, "909", 214, 10120, C::High, false, hat909},
    {25, "808 CYM", 216, 12024, C::High, false, cymbal808},
    {26, "909 CYM", 217, 10714, C::High, false, cymbal909},
    {27, "Crash", 218, 7534, C::High, false, crash},
    {28, "Clap 1", 231, 11211, C::Mid, false, clap1},
    {29, "Clap 2", 232, 13089, C::Mid, false, clap2},
    {30, "Clap 3", 233, 14278, C::Mid, false, clap3},
    {31, "Clap 4", 234, 12749, C::Mid, false, clap4},
    {32, "Clap 5", 235, 11220, C::Mid, false, clap5},
    {33, "Vinyl 1", 236, 51083, C::Broad, false, vinylCrackle},
    {34, "Vinyl 2", 237, 42646, C::Broad, false, vinylHiss},
    {35, "Rumble 1", 238, 15289, C::Low, false, rumble1},
    {36, "Rumble 2", 239, 12783, C::Low, false, rumble2},
    {37, "Spring Reverb", 247, 17566, C::Mid, false, springReverb},
    {38, "Octave 1", 248, 17301, C::Mid, false, octave1},
    {39, "Octave 2", 249, 18733, C::Mid, false, octave2},
}};

// Hit types 1..17.
constexpr std::array<SampleRecipe, 17> kHits{{
    {1, "Analog 1", 250, 7, C::Broad, true, hitAnalog1},
    {2, "Analog 2", 251, 15, C::Broad, true, hitAnalog2},
    {3, "808 TM", 253, 62, C::Low, true, hitTom808},
    {4, "808 BD", 254, 48, C::Low, true, hitKick808},
    {5, "909 BD", 255, 71, C::Low, true, hitKick909},
    {6, "Acoustic 1", 256, 454, C::Broad, true, hitAcoustic1},
    {7, "Acoustic 2", 257, 2379, C::Low, true, hitAcoustic2},
    {8, "Acoustic 3", 258, 5600, C::Mid, true, hitAcoustic3},
    {9, "Acoustic 4", 259, 4806, C::Mid, true, hitAcoustic4},
    {10, "Acoustic 5", 260, 4658, C::Low, true, hitAcoustic5},
    {11, "Metal 1", 261, 2309, C::Mid, true, hitMetal1},
    {12, "Metal 2", 262, 2906, C::Mid, true, hitMetal2},
    {13, "Metal 3", 263, 4437, C::Mid, true, hitMetal3},
    {14, "Wood 1", 264, 1090, C::Mid, true, hitWood1},
    {15, "Wood 2", 265, 1492, C::Mid, true, hitWood2},
    {16, "Wood 3", 266, 1415, C::Mid, true, hitWood3},
    {17, "Wood 4", 267, 1496, C::Mid, true, hitWood4},
}};

}  // namespace

std::span<const SampleRecipe> noiseRecipes() { return kNoise; }
std::span<const SampleRecipe> hitRecipes() { return kHits; }

std::string fileNameFor(const SampleRecipe& recipe) {
    std::string slug;
    for (const char* c = recipe.name; *c != '\0'; ++c) {
        const auto ch = static_cast<unsigned char>(*c);
        if (std::isalnum(ch))
            slug += static_cast<char>(std::tolower(ch));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    return std::to_string(recipe.resourceId) + (recipe.isHit ? "-hit-" : "-") + slug + ".raw";
}

std::vector<unsigned char> render(const SampleRecipe& recipe) {
    const auto length = static_cast<std::size_t>(recipe.length);
    if (recipe.isHit) {
        Buffer signal = recipe.make(length);
        signal.resize(length, 0.0);
        // The longer hits fade over their last fifth; the few-sample clicks
        // are drawn to end near rest and keep every sample.
        finishOneShot(signal, length > 100 ? 0.2 : 0.0);
        return toPcm16(signal);
    }
    // The texture player wraps a read position past the last index back by
    // length - 1, so the last sample stands for the first: a texture is built
    // as a loop of length - 1 samples and its first sample is repeated at the end.
    Buffer signal = recipe.make(length - 1);
    signal.resize(length - 1, 0.0);
    finishTexture(signal);
    signal.push_back(signal.front());
    return toPcm16(signal);
}

}  // namespace kettrix::samplegen
