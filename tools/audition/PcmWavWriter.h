#pragma once
// 16-bit PCM WAV files (RIFF), interleaved channels (named apart from the
// render host's float writer, whose folder shares the include path).

#include <string>
#include <vector>

namespace kettrix::audition {

// Writes `channels` (all the same length) clipped to -1..1. Returns false on
// an I/O error.
bool writeWav(const std::string& path, const std::vector<std::vector<double>>& channels, int sampleRate);

}  // namespace kettrix::audition
