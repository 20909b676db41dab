#pragma once
// The hit: the short attack transient of a drum sound, played with the
// oscillator section. "Hit type" 1..17 plays a hit sample once
// (HitSamplePlayer), 18 synthesizes a click (HitGenerator), 0 is off.
//
// Each drum sound has two hit voices used in turn with its other voices;
// only the current one is rendered. The oscillator section reads
// oscillatorGateOpen() to know whether it may sound yet.
//
// Threads: audio thread; setters on the parameter path under the plug-in
// lock. Nothing allocates after construction.

#include "base/SettingVocabulary.h"
#include "engine/HitGenerator.h"
#include "engine/HitSamplePlayer.h"

#include <cstdint>

namespace kettrix::engine {

enum HitMode : std::int32_t {
    kHitModeNone = 0,
    kHitModeSample = 1,
    kHitModeGenerator = 2,
};

inline constexpr std::int32_t kHitTypeOff = 0;
inline constexpr std::int32_t kHitTypeGenerator = settings::kHitType.valueOf("Hit Generator");
static_assert(kHitTypeGenerator == settings::kHitType.maxValue(), "the generator is the last hit type");

struct HitVoice {
    explicit HitVoice(double sampleRate);

    // Type 0 off, 1..17 a sample (its hit-bank buffer and length), 18 the
    // generator. Other values count as off.
    void setType(std::int32_t type, const double* buffer, std::int32_t length) noexcept;
    // Fixes the mode from the type; also run at every trigger.
    void selectMode() noexcept;
    // Trigger (after selectMode): takes the hit volume for this hit and
    // starts the player or the generator.
    void start() noexcept;
    // RT: one sample of the hit.
    double tick() noexcept;
    // Once per block.
    std::uint8_t updateActive() noexcept;

    void setVolume(double v) noexcept { volume = v; }
    void setLevel(double l) noexcept { level = l; }  // low-pass cutoff / modulation amount
    void setDecay(double d) noexcept { generator.decay = d; }
    void setGeneratorDepth(double d) noexcept { generator.envDepth = d; }
    void setGeneratorTables(const WavetableSet& set) noexcept { generator.setTableSet(set); }
    bool oscillatorGateOpen() const noexcept { return player.gateOpen != 0; }

    std::uint8_t enabled = 0;
    std::uint8_t playing = 0;
    double volume = 0.0;
    std::int32_t mode = kHitModeNone;
    HitSamplePlayer player;
    HitGenerator generator;
    std::uint8_t useGenerator = 0;
    double capturedVolume = 0.0;
    double level = 0.0;
};

}  // namespace kettrix::engine
