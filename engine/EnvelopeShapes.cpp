#include "engine/EnvelopeShapes.h"

namespace kettrix::engine {
namespace {

// Shorthand for a point. Constants written double(0.35f) are single-precision
// values widened to double, exactly as the shapes have always been stored.
constexpr EnvelopePoint p(std::int32_t curve, double time, double level) { return {curve, time, level}; }

constexpr EnvelopePoint kLinearRise[] = {p(0, 0, 0), p(0, 1, 1)};
constexpr EnvelopePoint kExponentialRise[] = {p(2, 0, 0), p(2, 1, 1)};
constexpr EnvelopePoint kInverseExponentialRise[] = {p(1, 0, 0), p(1, 1, 1)};
constexpr EnvelopePoint kSCurveRise[] = {p(1, 0, 0), p(2, 0.5, 0.5), p(2, 1, 1)};
constexpr EnvelopePoint kComp1[] = {p(1, 0, 1), p(2, double(0.35f), 0.5), p(2, 1, 1)};
constexpr EnvelopePoint kComp2[] = {p(1, 0, 1), p(2, double(0.45f), 0.25), p(2, 1, 1)};
// Hand claps: three (or two) fast bursts that fall back to silence.
constexpr EnvelopePoint kClap1[] = {p(0, 0, 0),
                                    p(1, double(0.01f), 1),
                                    p(0, double(0.32f), 0),
                                    p(1, double(0.33f), 1),
                                    p(0, double(0.65f), 0),
                                    p(1, double(0.66f), 1),
                                    p(0, double(0.99f), 0),
                                    p(0, 1, 1)};
constexpr EnvelopePoint kClap2[] = {p(0, 0, 0),   p(1, double(0.01f), 1), p(0, double(0.49f), 0),
                                    p(1, 0.5, 1), p(0, double(0.99f), 0), p(0, 1, 1)};

constexpr EnvelopePoint kTriangleLfo[] = {p(0, 0, 1), p(0, 0.5, 0), p(0, 1, 1)};
constexpr EnvelopePoint kRampDownLfo[] = {p(0, 0, 1), p(0, double(0.99f), 0), p(0, 1, 1)};
constexpr EnvelopePoint kSquareLfo[] = {p(0, 0, 1), p(0, double(0.49f), 1), p(0, 0.5, 0), p(0, double(0.99f), 0),
                                        p(0, 1, 1)};

constexpr EnvelopePoint kLinearFall[] = {p(0, 0, 1), p(0, 1, 0)};
constexpr EnvelopePoint kExponentialFall[] = {p(1, 0, 1), p(1, double(0.8f), double(0.05f)), p(0, 1, 0)};
constexpr EnvelopePoint kInverseExponentialFall[] = {p(2, 0, 1), p(2, 1, 0)};
constexpr EnvelopePoint kSCurveFall[] = {p(2, 0, 1), p(1, 0.5, 0.5), p(2, 1, 0)};
constexpr EnvelopePoint kPunch1[] = {p(1, 0, 1), p(0, 0.5, double(0.015f)), p(0, 1, 0)};
constexpr EnvelopePoint kPunch2[] = {p(0, 0, 1), p(1, double(0.05f), double(0.3f)), p(0, 1, 0)};
constexpr EnvelopePoint kPunch3[] = {p(1, 0, 1), p(1, double(0.05f), double(0.1f)), p(0, 1, 0)};
// Echo: bursts of 1, 0.5 and 0.2 at 0, 0.33 and 0.66 of the release time.
constexpr EnvelopePoint kEcho[] = {p(1, 0, 1),
                                   p(0, double(0.32f), 0),
                                   p(1, double(0.33f), 0.5),
                                   p(0, double(0.65f), 0),
                                   p(1, double(0.66f), double(0.2f)),
                                   p(0, 1, 0)};

template <std::size_t N>
constexpr EnvelopeShape shape(const EnvelopePoint (&points)[N], const char* name, bool loops = false) {
    return {points, static_cast<int>(N), loops, name};
}

const EnvelopeShape kVolumeAttack[kEnvelopeShapeCount] = {
    shape(kLinearRise, "Linear"),
    shape(kExponentialRise, "Exponential"),
    shape(kInverseExponentialRise, "Inverse exponential"),
    shape(kSCurveRise, "S Curve"),
    shape(kComp1, "Comp 1"),
    shape(kComp2, "Comp 2"),
    shape(kClap1, "Clap 1"),
    shape(kClap2, "Clap 2"),
};

const EnvelopeShape kModulationAttack[kEnvelopeShapeCount] = {
    shape(kLinearRise, "Linear"),
    shape(kExponentialRise, "Exponential"),
    shape(kInverseExponentialRise, "Inverse exponential"),
    shape(kSCurveRise, "S Curve"),
    shape(kTriangleLfo, "Triangle (LFO)", true),
    shape(kLinearRise, "Ramp Up (LFO)", true),
    shape(kRampDownLfo, "Ramp Down (LFO)", true),
    shape(kSquareLfo, "Square (LFO)", true),
};

const EnvelopeShape kRelease[kEnvelopeShapeCount] = {
    shape(kLinearFall, "Linear"),
    shape(kExponentialFall, "Exponential"),
    shape(kInverseExponentialFall, "Inverse exponential"),
    shape(kSCurveFall, "S Curve"),
    shape(kPunch1, "Punch 1"),
    shape(kPunch2, "Punch 2"),
    shape(kPunch3, "Punch 3"),
    shape(kEcho, "Echo"),
};

const EnvelopeShape& pick(const EnvelopeShape (&table)[kEnvelopeShapeCount], int id) noexcept {
    return table[(id >= 0 && id < kEnvelopeShapeCount) ? id : 0];
}

}  // namespace

const EnvelopeShape& volumeAttackShape(int id) noexcept { return pick(kVolumeAttack, id); }
const EnvelopeShape& modulationAttackShape(int id) noexcept { return pick(kModulationAttack, id); }
const EnvelopeShape& releaseShape(int id) noexcept { return pick(kRelease, id); }

}  // namespace kettrix::engine
