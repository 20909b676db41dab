#include "SampleCatalog.h"

#include "NoiseRecipes.h"
#include "base/SettingVocabulary.h"
#include "engine/SampleBank.h"

#include <array>
#include <cctype>

namespace kettrix::samplegen {

namespace {

using C = Colour;

// A row of the library, named as its setting names the type and stored
// under the resource id the engine loads that type from.
constexpr SampleRecipe noise(int type, int length, Colour colour, Buffer (*make)(std::size_t)) {
    const int resourceId = engine::kNoiseSampleIds[static_cast<std::size_t>(type - engine::kFirstSampleNoiseType)];
    return {type, settings::kNoiseType[type].name, resourceId, length, colour, false, make};
}
constexpr SampleRecipe hit(int type, int length, Colour colour, Buffer (*make)(std::size_t)) {
    const int resourceId = engine::kHitSampleIds[static_cast<std::size_t>(type - engine::kFirstHitType)];
    return {type, settings::kHitType[type].name, resourceId, length, colour, true, make};
}

// Noise types 3..39: the lengths are fixed by the instrument.
constexpr std::array<SampleRecipe, 37> kNoise{{
    noise(3, 22050, C::Broad, noiseWhite),     noise(4, 21855, C::Low, noiseLowPass),
    noise(5, 21895, C::Mid, noiseBandPass),    noise(6, 21924, C::High, noiseHighPass),
    noise(7, 21895, C::Broad, noiseDistorted), noise(8, 22050, C::Broad, noiseCrushed),
    noise(9, 10031, C::Mid, snare808),         noise(10, 12900, C::Mid, snare909),
    noise(11, 9396, C::Mid, snareAcoustic1),   noise(12, 13211, C::Mid, snareAcoustic2),
    noise(13, 10099, C::Mid, snareAcoustic3),  noise(14, 11696, C::Mid, snareAcoustic4),
    noise(15, 12047, C::Mid, snareAcoustic5),  noise(16, 8668, C::Mid, agogo),
    noise(17, 13389, C::Mid, clave),           noise(18, 15656, C::Mid, wood),
    noise(19, 9369, C::High, tambourine),      noise(20, 10949, C::Mid, bells),
    noise(21, 16566, C::High, hat505),         noise(22, 12002, C::High, hat606),
    noise(23, 19218, C::High, hat808),         noise(24, 10120, C::High, hat909),
    noise(25, 12024, C::High, cymbal808),      noise(26, 10714, C::High, cymbal909),
    noise(27, 7534, C::High, crash),           noise(28, 11211, C::Mid, clap1),
    noise(29, 13089, C::Mid, clap2),           noise(30, 14278, C::Mid, clap3),
    noise(31, 12749, C::Mid, clap4),           noise(32, 11220, C::Mid, clap5),
    noise(33, 51083, C::Broad, vinylCrackle),  noise(34, 42646, C::Broad, vinylHiss),
    noise(35, 15289, C::Low, rumble1),         noise(36, 12783, C::Low, rumble2),
    noise(37, 17566, C::Mid, springReverb),    noise(38, 17301, C::Mid, octave1),
    noise(39, 18733, C::Mid, octave2),
}};

// Hit types 1..17.
constexpr std::array<SampleRecipe, 17> kHits{{
    hit(1, 7, C::Broad, hitAnalog1),
    hit(2, 15, C::Broad, hitAnalog2),
    hit(3, 62, C::Low, hitTom808),
    hit(4, 48, C::Low, hitKick808),
    hit(5, 71, C::Low, hitKick909),
    hit(6, 454, C::Broad, hitAcoustic1),
    hit(7, 2379, C::Low, hitAcoustic2),
    hit(8, 5600, C::Mid, hitAcoustic3),
    hit(9, 4806, C::Mid, hitAcoustic4),
    hit(10, 4658, C::Low, hitAcoustic5),
    hit(11, 2309, C::Mid, hitMetal1),
    hit(12, 2906, C::Mid, hitMetal2),
    hit(13, 4437, C::Mid, hitMetal3),
    hit(14, 1090, C::Mid, hitWood1),
    hit(15, 1492, C::Mid, hitWood2),
    hit(16, 1415, C::Mid, hitWood3),
    hit(17, 1496, C::Mid, hitWood4),
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
