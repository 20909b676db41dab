#pragma once
// Capacities and fixed facts of the sound engine. Every engine object is
// sized from these at construction; nothing grows on the audio path. The
// parameter layout (counts, offsets, global indices) is the base layer's.

#include "base/ParameterLayout.h"
#include "base/SettingVocabulary.h"

namespace kettrix::engine {

using layout::kFirstGlobalIndex;
using layout::kParameterCount;
using layout::kSoundBlockSize;
using layout::kSoundCount;
using layout::soundIndex;
namespace offset = layout::offset;
namespace global = layout::global;

inline constexpr int kVoicesPerSound = 2;  // round-robin voices of every generator
inline constexpr int kOutputPairs = 6;
static_assert(kOutputPairs == settings::kOutput.count(), "a sound's \"Channel\" picks one output pair");
inline constexpr int kOutputCount = kOutputPairs * 2;  // twelve channels
inline constexpr int kMidiNoteCount = 128;
inline constexpr int kHighestKey = 120;  // top of the key parameters' range
// Longest run of samples rendered sound by sound between two MIDI events.
inline constexpr int kMaxRun = 64;

// The rate the tuning constants were made for: per-sample increments and
// coefficients are scaled by kReferenceRate / sampleRate.
inline constexpr double kReferenceRate = 44100.0;

// Pitch scale: a pitch value p (0 to 1) is the note index p * kPitchSteps, so
// 1 / kPitchSteps is one semitone. Cutoffs and key offsets use the same scale.
inline constexpr double kPitchSteps = 120.0;

// Default key range of sound i: six keys from 36 + 6 i.
constexpr int defaultKeyLo(int sound) { return 36 + 6 * sound; }
constexpr int defaultKeyHi(int sound) { return 41 + 6 * sound; }

}  // namespace kettrix::engine
