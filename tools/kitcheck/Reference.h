// Recordings of real drums measured with the same code as the kits: a
// folder of Hydrogen drum kits (drumkit.xml beside its FLAC, WAV or AIFF
// samples), each instrument given the role its name names, and the ranges of
// every measure per role set beside the factory kits' own.
#pragma once

#include "KitChecks.h"
#include "Measures.h"

#include <string>
#include <vector>

namespace kettrix::kitcheck {

// The roles by sound slot, as the reference tables name them.
inline constexpr const char* kRoleNames[kSounds] = {"kick",     "perc",    "snare",    "clap",  "closed hat",
                                                    "open hat", "low tom", "high tom", "crash", "ride"};

// The slot of the role an instrument's name names ("Kick Hard 2" kick,
// "Hi-Hat Open (14\")" open hat, "Floor Tom" low tom, "Ride Bell" none); -1
// when it names none or is ambiguous.
int roleFromName(const std::string& instrumentName);

struct DrumkitLayer {
    std::string file;  // relative to the kit's folder
    double min = 0.0, max = 1.0, gain = 1.0;
};
struct DrumkitInstrument {
    std::string name;
    std::vector<DrumkitLayer> layers;
};
struct Drumkit {
    std::string name;
    std::vector<DrumkitInstrument> instruments;
};
// The elements of a drumkit.xml text the measurements need.
Drumkit parseDrumkit(const std::string& xml);

struct RecordedSound {
    std::string kit, instrument;
    int role = -1;
    HitMeasures loud;  // the layer of the hardest hits
    HitMeasures soft;  // the layer velocity 30 plays, when another one
    bool hasSoftLayer = false;
};

// Every instrument with a role of every kit in `dir` (a kit folder itself
// or a folder of them); false with `error` when nothing could be read.
bool measureRecordings(const std::string& dir, std::vector<RecordedSound>& out, std::string& error);

// A sound file as two channels (a mono file in both); false when it cannot
// be read.
bool readAudio(const std::string& path, std::vector<double>& left, std::vector<double>& right, double& rate);

// Per role, every measure's 10th percentile, median and 90th percentile
// over the recordings beside the same over the kits' sounds of that slot
// (velocity 127, and 30 for the velocity measures), as Markdown; then the
// distances between recorded kits.
std::string referenceTable(const std::vector<RecordedSound>& recordings, const std::vector<KitResult>& kits);

// The 10th, 50th and 90th percentile (linear between ranks).
struct Range {
    double p10 = 0, median = 0, p90 = 0;
    std::size_t count = 0;
};
Range rangeOf(std::vector<double> values);

}  // namespace kettrix::kitcheck
