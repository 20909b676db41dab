// The sample library: every noise texture and hit sample with its resource
// id, its length and the recipe that synthesizes it.
#pragma once

#include "SampleDsp.h"

#include <span>
#include <string>

namespace kettrix::samplegen {

// Broad spectral family, used to check that a recipe sounds like its name.
enum class Colour {
    Low,    // rumbles, kick and tom attacks, low-passed noise
    Mid,    // snares, claps, wood, bells, reverb textures
    High,   // hi-hats, cymbals, tambourine, high-passed noise
    Broad,  // white-ish noise and clicks whose energy spans the band
};

struct SampleRecipe {
    int type;          // noise type (3..39) or hit type (1..17)
    const char* name;  // the menu name
    int resourceId;
    int length;  // samples
    Colour colour;
    bool isHit;
    Buffer (*make)(std::size_t length);
};

std::span<const SampleRecipe> noiseRecipes();
std::span<const SampleRecipe> hitRecipes();

// File name under resources/samples/, e.g. "205-noise.raw".
std::string fileNameFor(const SampleRecipe& recipe);

// Runs the recipe and returns the finished 16-bit bytes.
std::vector<unsigned char> render(const SampleRecipe& recipe);

}  // namespace kettrix::samplegen
