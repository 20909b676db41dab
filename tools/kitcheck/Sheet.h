// The spectrogram sheet of a kit: ten panels, sounds 1-5 on the top row and
// 6-10 below, each the first two seconds of the sound at velocity 127 on a
// logarithmic frequency scale (30 Hz to 20 kHz), each scaled to its own peak.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace kettrix::kitcheck {

struct MonoHit {
    std::vector<double> samples;  // empty for a silent sound
};

bool writeKitSheet(const std::string& path, const std::array<MonoHit, 10>& hits, double sampleRate);

}  // namespace kettrix::kitcheck
