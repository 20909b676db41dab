#pragma once
// Renders noise and hit types through the engine's real voices, set up as a
// drum sound would set them up for one note.

#include <vector>

namespace kettrix::audition {

struct StereoBuffer {
    std::vector<double> left, right;
};

struct NoiseSettings {
    int type = 3;
    double pitch = 0.5;
    double stereo = 0.0;
    double seconds = 1.5;
    double sampleRate = 44100.0;
};

struct HitSettings {
    int type = 1;
    double level = 1.0;  // "Hit lowpass filter" after velocity
    double decay = 0.5;  // "Hit Modulation Decay" (generator)
    double seconds = 0.25;
    double sampleRate = 44100.0;
};

// One note: 5 ms attack, 1.2 s release, filter off, colour 0.5.
StereoBuffer renderNoise(const NoiseSettings& settings);
// One hit at full volume.
std::vector<double> renderHit(const HitSettings& settings);

const char* noiseTypeName(int type);  // 1..39
const char* hitTypeName(int type);    // 1..18

}  // namespace kettrix::audition
