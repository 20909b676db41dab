#include "SampleCatalog.h"

#include "NoiseRecipes.h"
#include "base/SettingVocabulary.h"

#include <array>
#include <cctype>

namespace kettrix::samplegen {

namespace {

using C = Colour;

// A row of the library, named as its setting names the type.
constexpr SampleRecipe noise(int type, int resourceId, int length, Colour colour, Buffer (*make)(std::size_t)) {
    return {type, settings::kNoiseType[type].name, resourceId, length, colour, false, make};
}
constexpr SampleRecipe hit(int type, int resourceId, int length, Colour colour, Buffer (*make)(std::size_t)) {
    return {type, settings::kHitType[type].name, resourceId, length, colour, true, make};
}

// Noise types 3..39: resource ids and lengths are fixed by the instrument.
constexpr std::array<SampleRecipe, 37> kNoise{{
    noise(3, 205, 22050, C::Broad, noiseWhite),     noise(4, 206, 21855, C::Low, noiseLowPass),
    noise(5, 207, 21895, C::Mid, noiseBandPass),    noise(6, 208, 21924, C::High, noiseHighPass),
    noise(7, 209, 21895, C::Broad, noiseDistorted), noise(8, 210, 22050, C::Broad, noiseCrushed),
    noise(9, 224, 10031, C::Mid, snare808),         noise(10, 225, 12900, C::Mid, snare909),
    noise(11, 226, 9396, C::Mid, snareAcoustic1),   noise(12, 227, 13211, C::Mid, snareAcoustic2),
    noise(13, 228, 10099, C::Mid, snareAcoustic3),  noise(14, 229, 11696, C::Mid, snareAcoustic4),
    noise(15, 230, 12047, C::Mid, snareAcoustic5),  noise(16, 240, 8668, C::Mid, agogo),
    noise(17, 242, 13389, C::Mid, clave),           noise(18, 246, 15656, C::Mid, wood),
    noise(19, 223, 9369, C::High, tambourine),      noise(20, 219, 10949, C::Mid, bells),
    noise(21, 211, 16566, C::High, hat505),         noise(22, 212, 12002, C::High, hat606),
    noise(23, 213, 19218, C::High, hat808),         noise(24, 214, 10120, C::High, hat909),
    noise(25, 216, 12024, C::High, cymbal808),      noise(26, 217, 10714, C::High, cymbal909),
    noise(27, 218, 7534, C::High, crash),           noise(28, 231, 11211, C::Mid, clap1),
    noise(29, 232, 13089, C::Mid, clap2),           noise(30, 233, 14278, C::Mid, clap3),
    noise(31, 234, 12749, C::Mid, clap4),           noise(32, 235, 11220, C::Mid, clap5),
    noise(33, 236, 51083, C::Broad, vinylCrackle),  noise(34, 237, 42646, C::Broad, vinylHiss),
    noise(35, 238, 15289, C::Low, rumble1),         noise(36, 239, 12783, C::Low, rumble2),
    noise(37, 247, 17566, C::Mid, springReverb),    noise(38, 248, 17301, C::Mid, octave1),
    noise(39, 249, 18733, C::Mid, octave2),
}};

// Hit types 1..17.
constexpr std::array<SampleRecipe, 17> kHits{{
    hit(1, 250, 7, C::Broad, hitAnalog1),
    hit(2, 251, 15, C::Broad, hitAnalog2),
    hit(3, 253, 62, C::Low, hitTom808),
    hit(4, 254, 48, C::Low, hitKick808),
    hit(5, 255, 71, C::Low, hitKick909),
    hit(6, 256, 454, C::Broad, hitAcoustic1),
    hit(7, 257, 2379, C::Low, hitAcoustic2),
    hit(8, 258, 5600, C::Mid, hitAcoustic3),
    hit(9, 259, 4806, C::Mid, hitAcoustic4),
    hit(10, 260, 4658, C::Low, hitAcoustic5),
    hit(11, 261, 2309, C::Mid, hitMetal1),
    hit(12, 262, 2906, C::Mid, hitMetal2),
    hit(13, 263, 4437, C::Mid, hitMetal3),
    hit(14, 264, 1090, C::Mid, hitWood1),
    hit(15, 265, 1492, C::Mid, hitWood2),
    hit(16, 266, 1415, C::Mid, hitWood3),
    hit(17, 267, 1496, C::Mid, hitWood4),
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
