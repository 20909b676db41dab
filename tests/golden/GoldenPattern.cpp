#include "GoldenPattern.h"

#include "GoldenKits.h"

#include "engine/EngineLimits.h"
#include "kit/ParameterTable.h"

#include <algorithm>
#include <array>

namespace kettrix::golden {

namespace o = engine::offset;

namespace {

// Per-sound parameters the automation moves: the smoothed pitches and
// filters, levels, mixing, and a few type switches on sounding notes.
constexpr std::array<int, 20> kAutomated{o::kOsc1Pitch,
                                         o::kOsc2Pitch,
                                         o::kOscFm,
                                         o::kOscCutoff,
                                         o::kOscResonance,
                                         o::kNoiseCutoff,
                                         o::kNoiseResonance,
                                         o::kNoiseCutoff + o::kNoise2Shift,
                                         o::kNoiseResonance + o::kNoise2Shift,
                                         o::kOscMix,
                                         o::kPan,
                                         o::kVolume,
                                         o::kEffectAmount,
                                         o::kNoisePitch,
                                         o::kNoiseStereo,
                                         o::kOscModDepth,
                                         o::kHitVolume,
                                         o::kOsc1Type,
                                         o::kOscFilterType,
                                         o::kNoiseFilterType + o::kNoise2Shift};

}  // namespace

std::vector<TimedEvent> makePattern(std::uint32_t seed, double sampleRate, double seconds, int firstProgram,
                                    int secondProgram) {
    Lcg random{seed};
    const long total = static_cast<long>(seconds * sampleRate);
    std::vector<TimedEvent> events;
    auto midi = [&](long frame, int status, int data1, int data2) {
        TimedEvent e;
        e.frame = std::min(frame, total - 1);
        e.bytes[0] = static_cast<std::uint8_t>(status);
        e.bytes[1] = static_cast<std::uint8_t>(data1);
        e.bytes[2] = static_cast<std::uint8_t>(data2);
        events.push_back(e);
    };

    // Hits roughly every 60 ms with jitter, up to three at one frame.
    for (long frame = 3; frame < total; frame += static_cast<long>(sampleRate * (0.03 + 0.06 * random.unit())) | 1) {
        for (int n = 1 + random.below(3); n > 0; --n) {
            const int sound = random.below(engine::kSoundCount);
            const int note = soundKey(sound) + random.below(3);
            midi(frame, 0x90, note, 1 + random.below(127));
            if (random.below(3) != 0) midi(frame + 1 + random.below(static_cast<int>(sampleRate * 0.2)), 0x80, note, 0);
        }
    }
    // Parameter automation on every sound, at any frame.
    for (int n = 0; n < 60; ++n) {
        TimedEvent e;
        e.kind = TimedEvent::Kind::Parameter;
        e.frame = random.below(static_cast<int>(total));
        e.index = engine::soundIndex(random.below(engine::kSoundCount),
                                     kAutomated[static_cast<unsigned>(random.below(kAutomated.size()))]);
        e.value = static_cast<float>(random.unit());
        events.push_back(e);
    }
    // The sound volumes of the mixer too.
    for (int n = 0; n < 6; ++n) {
        TimedEvent e;
        e.kind = TimedEvent::Kind::Parameter;
        e.frame = random.below(static_cast<int>(total));
        e.index = kit::global::kSoundVolume + random.below(engine::kSoundCount);
        e.value = static_cast<float>(0.3 + 0.7 * random.unit());
        events.push_back(e);
    }
    // Program changes between the two kits while notes ring.
    for (auto [at, program] : {std::pair{0.45, secondProgram}, std::pair{0.8, firstProgram}}) {
        TimedEvent e;
        e.kind = TimedEvent::Kind::Program;
        e.frame = static_cast<long>(at * static_cast<double>(total)) | 1;
        e.index = program;
        events.push_back(e);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
    return events;
}

}  // namespace kettrix::golden
