#pragma once
// Breakpoint envelopes. Every envelope of a voice is an EnvelopePair: an
// attack Envelope played from the trigger, followed by a release Envelope.
// An Envelope is a shape of up to twelve points on a normalised time axis
// (0 to 1) that the attack or release time stretches. Shapes come from the
// fixed tables in EnvelopeShapes.h, chosen by the "attack type" and
// "release type" parameters.
//
// Threads: everything here runs on the audio thread, or on the parameter
// path under the plug-in lock. The editor draws with envelopes of its own.
// Nothing allocates after construction.

#include <cstdint>
#include "base/SettingVocabulary.h"

#include "engine/EngineLimits.h"

namespace kettrix::engine {

// One breakpoint. curve names the curve of the segment that starts here:
// 0 linear, 1 fast start, 2 slow start; -1 marks an unused slot.
struct EnvelopePoint {
    std::int32_t curve = -1;
    double time = 1.0;   // 0 to 1, non-decreasing along the shape
    double level = 0.0;  // 0 to 1
};

// Curves of a segment. The engine plays sixth powers; the editor draws cubes.
enum EnvelopeCurve : std::int32_t {
    kCurveLinear = 0,
    kCurveFastStart = 1,
    kCurveSlowStart = 2,
};

// Envelope modes as the engine writes them into EnvelopePair::mode.
enum EnvelopeMode : std::int32_t {
    kModeTrigger = 0,  // attack once, release at once
    kModeHold = 1,     // held while the gate is held; LFO shapes repeat
    kModeHihat = 2,    // like Trigger, release time scaled by the key
};
static_assert(kModeHihat + 1 == settings::kEnvelopeMode.count());

struct Envelope {
    static constexpr std::int32_t kCapacity = 12;

    explicit Envelope(double sampleRate);

    // Shape loaders (parameter path). Volume envelopes take the volume attack
    // shapes, modulation and filter envelopes the modulation ones; every
    // release envelope takes the release shapes. Ids outside 1..7 load
    // shape 0. Reloading the current id does nothing.
    void setAttackShapeVolume(int id);
    void setAttackShapeModulation(int id);
    void setReleaseShape(int id);

    // Makes segment i current, skipping zero-length segments (and every
    // segment when skip is set). Past the last point the envelope stands on
    // the last level: running stays 1 for that one sample, then drops to 0.
    void startSegment(int i) noexcept;

    // Value of the shape at x (0 to 100 percent of its time) with the
    // editor's cubic curves. Changes the segment state, so callers use an
    // envelope of their own for drawing.
    double evaluateForDisplay(double x);

    // Fields in the order the engine's documentation lists them.
    std::uint8_t loops = 0;    // 1 for the LFO shapes
    double position = 0.0;     // progress within the segment, >= 1 when over
    double step = 0.0;         // position increment per sample
    double baseStep = 0.0;     // 1 / (whole shape time x sample rate)
    double duration = 0.0;     // time span of the current segment
    double delta = 0.0;        // scaled level difference of the segment
    double levelFactor = 1.0;  // a pair starts only when this is above 0
    double scale = 1.0;        // levelFactor x unityFactor x depth
    double unityFactor = 1.0;
    double depth = 1.0;     // amount, set at every start
    std::uint8_t skip = 0;  // time <= 0: stand on the last point at once
    double displayValue = 0.0;
    double displayPosition = 0.0;
    std::uint8_t running = 0;  // 0 once the envelope has run past its last point
    std::int32_t segment = kCapacity;
    std::int32_t lastIndex = 1;
    std::int32_t capacity = kCapacity;
    std::int32_t attackShapeId = 0;
    std::int32_t releaseShapeId = -1;
    double sampleRate = kReferenceRate;
    EnvelopePoint points[kCapacity];
    std::int32_t startCurve = 0;
    double startTime = 0.0;
    double startLevel = 0.0;  // already multiplied by scale
    std::int32_t endCurve = 0;
    double endTime = 0.0;
    double endLevel = 0.0;

private:
    // Loads points from a table (count entries, the rest unused).
    void loadShape(const EnvelopePoint* shape, int count, bool isLoop) noexcept;
};

struct EnvelopePair {
    explicit EnvelopePair(double sampleRate);

    // Trigger: times in seconds (<= 0 skips that part), keyValue is the key's
    // offset in its sound, (note - lowest key) / 120, used by "Hihat" mode.
    // checkDepth is true for modulation and filter envelopes: with depth <= 0
    // they stay off for the note.
    void start(double attackTime, double releaseTime, double keyValue, double depth, bool checkDepth) noexcept;

    // RT: one sample; returns output. Returns 0 when idle.
    double tick() noexcept;
    // RT: the next `frames` samples into out, the same values and the same
    // state afterwards as that many ticks.
    void render(double* out, int frames) noexcept;

    void stop() noexcept;

    // Once per block: active = attack or release still running.
    std::uint8_t updateActive() noexcept;

    std::int32_t mode = kModeTrigger;
    // 0 idle; 1..3 attack with curve 0..2; 4..6 release with curve 0..2.
    std::int32_t stage = 0;
    std::uint8_t active = 0;
    Envelope attack;
    Envelope release;
    double output = 0.0;
    double curveInput = 0.0;  // curve argument of the last sample

private:
    // After the current segment ran to its end: the next segment, or the
    // release after the attack, or the loop of a held LFO shape.
    void nextSegment(bool inAttack) noexcept;
    // Samples of the current segment until it ends or out is full; returns
    // the index after the last sample written.
    template <int Curve>
    int renderSegment(Envelope& env, double* out, int k, int frames) noexcept;
};

// One segment's values over a run of n positions, in place: each becomes
// startLevel + curve(min(position, 1)) x delta, what tick() computes from it.
// Packed works two samples per vector, the plain form one double at a time;
// both give the same bits. Instantiated for the three curves (Packed only
// where KETTRIX_PACKED_LANES is set).
template <bool Packed, int Curve>
void renderCurveRun(double* v, int n, double startLevel, double delta) noexcept;
// The same values for the n positions position + step, + step, ... summed
// one after the other, written to v; returns the last position. For runs
// whose positions all stay below 1: the curve is read without the clamp.
template <bool Packed, int Curve>
double renderCurveSteps(double* v, int n, double position, double step, double startLevel, double delta) noexcept;

// The filter cutoff of each sample of a run: the smoothed cutoff plus the
// key offset plus the filter envelope. While the envelope is not running its
// last output (`held`) stands in for it; a running envelope updates `held`.
inline void renderCutoffRun(EnvelopePair& filterEnv, double& held, const double* cutoff, double cutoffKey, int frames,
                            double* out) noexcept {
    if (filterEnv.active) {
        filterEnv.render(out, frames);
        held = out[frames - 1];
        for (int k = 0; k < frames; ++k) out[k] = (cutoff[k] + cutoffKey) + out[k];
    } else {
        for (int k = 0; k < frames; ++k) out[k] = (cutoff[k] + cutoffKey) + held;
    }
}

}  // namespace kettrix::engine
