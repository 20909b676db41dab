#pragma once
// Capacities and fixed layout facts of the sound engine. Every engine object
// is sized from these at construction; nothing grows on the audio path.

namespace kettrix::engine {

inline constexpr int kSoundCount = 10;                                  // sounds in a kit
inline constexpr int kVoicesPerSound = 2;                               // round-robin voices of every generator
inline constexpr int kParamsPerSound = 132;                             // one block of parameters per sound
inline constexpr int kSoundParamCount = kSoundCount * kParamsPerSound;  // 1320
inline constexpr int kParamCount = 1393;                                // per-sound blocks plus globals
inline constexpr int kOutputPairs = 6;
inline constexpr int kOutputCount = kOutputPairs * 2;  // twelve channels
inline constexpr int kMidiNoteCount = 128;
inline constexpr int kHighestKey = 120;  // top of the key parameters' range
// Longest run of samples rendered sound by sound between two MIDI events.
inline constexpr int kMaxRun = 64;

// Default key range of sound i: six keys from 36 + 6 i.
constexpr int defaultKeyLo(int sound) { return 36 + 6 * sound; }
constexpr int defaultKeyHi(int sound) { return 41 + 6 * sound; }

// Index of the parameter at `offset` of `sound`'s block.
constexpr int soundParamIndex(int sound, int offset) { return sound * kParamsPerSound + offset; }

// Global parameters the engine reads or writes.
namespace globals {
inline constexpr int kSoundOnFirst = 1331;   // activity lamp of sound i: 1331 + i
inline constexpr int kMuteFirst = 1341;      // mute switch of sound i
inline constexpr int kSoloFirst = 1351;      // solo switch of sound i
inline constexpr int kSoundVolFirst = 1361;  // mixer fader of sound i
inline constexpr int kKeyboardMode = 1371;
}  // namespace globals

}  // namespace kettrix::engine
