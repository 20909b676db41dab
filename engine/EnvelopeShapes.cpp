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
constexpr EnvelopeShape shape(const EnvelopePoint (&points)[N], bool loops = false) {
    return {points, static_cast<int>(N), loops};
}

const EnvelopeShape kVolumeAttack[kEnvelopeShapeCount] = {
    shape(kLinearRise), shape(kExponentialRise), shape(kInverseExponentialRise),
    shape(kSCurveRise), shape(kComp1),           shape(kComp2),
    shape(kClap1),      shape(kClap2),
};

const EnvelopeShape kModulationAttack[kEnvelopeShapeCount] = {
    shape(kLinearRise),        shape(kExponentialRise),  shape(kInverseExponentialRise), shape(kSCurveRise),
    shape(kTriangleLfo, true), shape(kLinearRise, true), shape(kRampDownLfo, true),      shape(kSquareLfo, true),
};

const EnvelopeShape kRelease[kEnvelopeShapeCount] = {
    shape(kLinearFall),
    shape(kExponentialFall),
    shape(kInverseExponentialFall),
    shape(kSCurveFall),
    shape(kPunch1),
    shape(kPunch2),
    shape(kPunch3),
    shape(kEcho),
};

const EnvelopeShape& pick(const EnvelopeShape (&table)[kEnvelopeShapeCount], int id) noexcept {
    return table[(id >= 0 && id < kEnvelopeShapeCount) ? id : 0];
}

}  // namespace

const EnvelopeShape& volumeAttackShape(int id) noexcept { return pick(kVolumeAttack, id); }
const EnvelopeShape& modulationAttackShape(int id) noexcept { return pick(kModulationAttack, id); }
const EnvelopeShape& releaseShape(int id) noexcept { return pick(kRelease, id); }

}  // namespace kettrix::engine
