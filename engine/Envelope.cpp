#include "engine/Envelope.h"

#include "engine/EnvelopeShapes.h"
#include "engine/LanePair.h"

#include <algorithm>
#include <iterator>

namespace kettrix::engine {
namespace {

// A time of 0 plays the whole shape in one sample; anything positive lasts
// at least this long.
constexpr double kShortestTime = 0.0001;

// An envelope that is never given a time spans 2.2 s (single precision).
constexpr double kDefaultShapeTime = double(2.2f);

constexpr EnvelopePoint kUnusedPoint{-1, 1.0, 0.0};

template <typename T>
T pow6(T x) noexcept {
    const T x2 = x * x;
    return x2 * x2 * x2;
}

double pow3(double x) noexcept { return x * x * x; }

// Sixth-power curves of the sound engine.
double engineCurve(int curve, double x) noexcept {
    switch (curve) {
        case kCurveFastStart:
            return 1.0 - pow6(1.0 - x);
        case kCurveSlowStart:
            return pow6(x);
        default:
            return x;
    }
}

// engineCurve for a curve known at compile time, on doubles or lane pairs.
template <int Curve, typename T>
T engineCurveOf(T x, T one) noexcept {
    if constexpr (Curve == kCurveFastStart) {
        return one - pow6(one - x);
    } else if constexpr (Curve == kCurveSlowStart) {
        return pow6(x);
    } else {
        return x;
    }
}

// The editor draws the same shapes with cubes.
double displayCurve(int curve, double x) noexcept {
    switch (curve) {
        case kCurveFastStart:
            return 1.0 - pow3(1.0 - x);
        case kCurveSlowStart:
            return pow3(x);
        default:
            return x;
    }
}

double stepFor(double seconds, double sampleRate) noexcept {
    return seconds > 0.0 ? 1.0 / std::max(seconds, kShortestTime) / sampleRate : 1.0;
}

}  // namespace

Envelope::Envelope(double rate) : baseStep(1.0 / kDefaultShapeTime / rate), sampleRate(rate) {
    std::fill(std::begin(points), std::end(points), kUnusedPoint);
    points[0] = {kCurveLinear, 0.0, 0.0};
    points[1] = {kCurveLinear, 1.0, 1.0};
}

void Envelope::loadShape(const EnvelopePoint* shape, int count, bool isLoop) noexcept {
    loops = 0;
    std::fill(std::begin(points), std::end(points), kUnusedPoint);
    std::copy(shape, shape + std::min(count, static_cast<int>(kCapacity)), points);
    loops = isLoop ? 1 : 0;
    position = 0.0;
    int used = 0;
    while (used < capacity && points[used].curve != -1) ++used;
    lastIndex = used - 1;
    segment = capacity;
    running = 0;
}

void Envelope::setAttackShapeVolume(int id) {
    if (id == attackShapeId) return;
    attackShapeId = id;
    const EnvelopeShape& s = volumeAttackShape(id);
    loadShape(s.points, s.count, s.loops);
}

void Envelope::setAttackShapeModulation(int id) {
    if (id == attackShapeId) return;
    attackShapeId = id;
    const EnvelopeShape& s = modulationAttackShape(id);
    loadShape(s.points, s.count, s.loops);
}

void Envelope::setReleaseShape(int id) {
    loops = 0;
    if (id == releaseShapeId) return;
    releaseShapeId = id;
    const EnvelopeShape& s = releaseShape(id);
    loadShape(s.points, s.count, s.loops);
}

void Envelope::startSegment(int i) noexcept {
    if (i < 0) i = 0;
    segment = i;
    while (i < lastIndex) {
        scale = depth * unityFactor * levelFactor;
        position = 0.0;
        running = 1;
        startCurve = points[i].curve;
        startTime = points[i].time;
        startLevel = points[i].level;
        endCurve = points[i + 1].curve;
        endTime = points[i + 1].time;
        endLevel = points[i + 1].level;
        duration = endTime - startTime;
        delta = (endLevel - startLevel) * scale;
        startLevel *= scale;
        if (duration > 0.0 && skip == 0) {
            step = baseStep / duration;
            return;
        }
        ++i;
        segment = i;
    }
    // No playable segment left: stand on the last point. running stays 1 for
    // the one sample on which the last point is reached.
    startCurve = points[lastIndex].curve;
    startTime = points[lastIndex].time;
    startLevel = points[lastIndex].level * scale;
    delta = 0.0;
    position = 1.0;
    running = (segment == lastIndex) ? 1 : 0;
}

double Envelope::evaluateForDisplay(double x) {
    const double t = x * 0.01;
    if (lastIndex < 1) return 0.0;
    int i = 0;
    while (i < lastIndex && !(points[i].time <= t && t < points[i + 1].time)) ++i;
    if (i == lastIndex) return 0.0;
    const double segmentTime = points[i].time;
    startSegment(i);
    if (duration == 0.0) duration = 1e-6;
    const double u = (t - segmentTime) / duration;
    displayPosition = (startCurve == kCurveFastStart) ? 1.0 - u : u;
    displayValue = startLevel + displayCurve(startCurve, u) * delta;
    return displayValue;
}

EnvelopePair::EnvelopePair(double sampleRate) : attack(sampleRate), release(sampleRate) {
    attack.setAttackShapeVolume(1);
    release.setReleaseShape(1);
}

void EnvelopePair::start(double attackTime, double releaseTime, double keyValue, double depth,
                         bool checkDepth) noexcept {
    attack.skip = attackTime <= 0.0 ? 1 : 0;
    attack.baseStep = stepFor(attackTime, attack.sampleRate);

    // "Hihat": the lowest key releases in 0.05 of the time, each key above
    // adds 1/12 of it.
    const double r = (mode == kModeHihat) ? (keyValue * 10.0 + 0.05) * releaseTime : releaseTime;
    release.skip = r <= 0.0 ? 1 : 0;
    release.baseStep = stepFor(r, release.sampleRate);

    attack.depth = release.depth = depth;
    attack.unityFactor = release.unityFactor = 1.0;

    if (checkDepth && depth <= 0.0) {
        stop();
    } else if (attack.levelFactor > 0.0) {
        active = 1;
        // The first segment always runs linear, whatever its point names.
        stage = 1;
        attack.startSegment(0);
    } else {
        active = 0;
    }
    output = 0.0;
}

double EnvelopePair::tick() noexcept {
    if (stage < 1 || stage > 6) return 0.0;

    const bool inAttack = stage <= 3;
    Envelope& env = inAttack ? attack : release;
    if (!inAttack && mode == kModeHold) return output;  // held until the gate falls

    const int curve = inAttack ? stage - 1 : stage - 4;
    env.position += env.step;
    // A segment shorter than one sample overshoots its end; the curve is read
    // no further than the end point so the output never leaves the segment.
    const double x = std::min(env.position, 1.0);
    curveInput = (curve == kCurveFastStart) ? 1.0 - x : x;
    output = env.startLevel + engineCurve(curve, x) * env.delta;

    if (env.position >= 1.0) nextSegment(inAttack);
    return output;
}

void EnvelopePair::nextSegment(bool inAttack) noexcept {
    Envelope& env = inAttack ? attack : release;
    env.startSegment(env.segment + 1);
    if (inAttack) {
        stage = attack.startCurve + 1;
        if (attack.running == 0) {
            if (attack.loops == 1 && mode == kModeHold) {
                attack.startSegment(0);
                stage = attack.startCurve + 1;
            } else {
                release.startSegment(0);
                stage = release.startCurve + 4;
            }
        }
    } else {
        stage = release.startCurve + 4;
    }
}

template <bool Packed, int Curve>
void renderCurveRun(double* v, int n, double startLevel, double delta) noexcept {
    using Pair = LanePair<Packed>;
    const Pair one = Pair::splat(1.0);
    const Pair start = Pair::splat(startLevel);
    const Pair scale = Pair::splat(delta);
    int i = 0;
    for (; i + 2 <= n; i += 2) {
        const Pair x = min(Pair::load(v + i), one);
        (start + engineCurveOf<Curve>(x, one) * scale).store(v + i);
    }
    if (i < n) {
        const double x = std::min(v[i], 1.0);
        v[i] = startLevel + engineCurveOf<Curve>(x, 1.0) * delta;
    }
}

template <bool Packed, int Curve>
double renderCurveSteps(double* v, int n, double position, double step, double startLevel, double delta) noexcept {
    using Pair = LanePair<Packed>;
    const Pair one = Pair::splat(1.0);
    const Pair start = Pair::splat(startLevel);
    const Pair scale = Pair::splat(delta);
    int i = 0;
    // Every position is below 1, where min(position, 1) is the position.
    for (; i + 2 <= n; i += 2) {
        const double a = position + step;
        position = a + step;
        (start + engineCurveOf<Curve>(Pair(a, position), one) * scale).store(v + i);
    }
    if (i < n) {
        position += step;
        v[i] = startLevel + engineCurveOf<Curve>(position, 1.0) * delta;
    }
    return position;
}

template void renderCurveRun<false, kCurveLinear>(double*, int, double, double) noexcept;
template void renderCurveRun<false, kCurveFastStart>(double*, int, double, double) noexcept;
template void renderCurveRun<false, kCurveSlowStart>(double*, int, double, double) noexcept;
template double renderCurveSteps<false, kCurveLinear>(double*, int, double, double, double, double) noexcept;
template double renderCurveSteps<false, kCurveFastStart>(double*, int, double, double, double, double) noexcept;
template double renderCurveSteps<false, kCurveSlowStart>(double*, int, double, double, double, double) noexcept;
#if KETTRIX_PACKED_LANES
template void renderCurveRun<true, kCurveLinear>(double*, int, double, double) noexcept;
template void renderCurveRun<true, kCurveFastStart>(double*, int, double, double) noexcept;
template void renderCurveRun<true, kCurveSlowStart>(double*, int, double, double) noexcept;
template double renderCurveSteps<true, kCurveLinear>(double*, int, double, double, double, double) noexcept;
template double renderCurveSteps<true, kCurveFastStart>(double*, int, double, double, double, double) noexcept;
template double renderCurveSteps<true, kCurveSlowStart>(double*, int, double, double, double, double) noexcept;
#endif

template <int Curve>
int EnvelopePair::renderSegment(Envelope& env, double* out, int k, int frames) noexcept {
    // The positions are a running sum, added up one after the other as
    // tick() does; the curve values depend on nothing but their own position
    // and are worked two at a time.
    constexpr bool kPacked = KETTRIX_PACKED_LANES != 0;
    double position = env.position;
    const double step = env.step;
    int end = frames;
    // Neither positions nor steps are negative, and each sum below 1 rounds
    // up by at most 2^-54, so the n sums stay below position + n x (step +
    // 2^-54). The test allows 2^-50 a step, more than covering its own
    // rounding: a run that passes it stays below 1 to its last sample, needs
    // no end check and no clamp, and the values follow the sums in one loop.
    if (position + (frames - k) * (step + 0x1p-50) < 1.0) {
        position = renderCurveSteps<kPacked, Curve>(out + k, frames - k, position, step, env.startLevel, env.delta);
    } else {
        // Two passes: the sums, parked in out, up to the sample on which the
        // segment ends, then the values over them.
        end = k;
        while (end < frames) {
            position += step;
            out[end++] = position;
            if (position >= 1.0) break;
        }
        renderCurveRun<kPacked, Curve>(out + k, end - k, env.startLevel, env.delta);
    }
    const double x = std::min(position, 1.0);
    env.position = position;
    curveInput = (Curve == kCurveFastStart) ? 1.0 - x : x;
    output = out[end - 1];
    return end;
}

void EnvelopePair::render(double* out, int frames) noexcept {
    int k = 0;
    while (k < frames) {
        if (stage < 1 || stage > 6) {
            std::fill(out + k, out + frames, 0.0);
            return;
        }
        const bool inAttack = stage <= 3;
        Envelope& env = inAttack ? attack : release;
        if (!inAttack && mode == kModeHold) {
            std::fill(out + k, out + frames, output);
            return;
        }
        switch (inAttack ? stage - 1 : stage - 4) {
            case kCurveFastStart:
                k = renderSegment<kCurveFastStart>(env, out, k, frames);
                break;
            case kCurveSlowStart:
                k = renderSegment<kCurveSlowStart>(env, out, k, frames);
                break;
            default:
                k = renderSegment<kCurveLinear>(env, out, k, frames);
                break;
        }
        if (env.position >= 1.0) nextSegment(inAttack);
    }
}

void EnvelopePair::stop() noexcept {
    active = 0;
    stage = 0;
    attack.running = 0;
    release.running = 0;
}

std::uint8_t EnvelopePair::updateActive() noexcept {
    active = (attack.running != 0 || release.running != 0) ? 1 : 0;
    return active;
}

}  // namespace kettrix::engine
