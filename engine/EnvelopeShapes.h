#pragma once
// The fixed envelope shapes behind the "attack type" and "release type"
// menus. Level and time constants other than 0, 0.25, 0.5 and 1 are
// single-precision values widened to double, as the shapes were always
// stored; the tables write them that way so the widening stays visible.

#include "base/SettingVocabulary.h"
#include "engine/Envelope.h"

namespace kettrix::engine {

struct EnvelopeShape {
    const EnvelopePoint* points;
    int count;
    bool loops;  // LFO shapes restart while a "Hold" pair is held
};

// Ids 0..7 in every table, in the order of the settings' names.
inline constexpr int kEnvelopeShapeCount = 8;
static_assert(kEnvelopeShapeCount == settings::kAttackShapeVolume.count() &&
              kEnvelopeShapeCount == settings::kAttackShapeModulation.count() &&
              kEnvelopeShapeCount == settings::kReleaseShape.count());

// Each returns shape 0 ("Linear") for an id outside 0..7.
const EnvelopeShape& volumeAttackShape(int id) noexcept;      // volume envelopes
const EnvelopeShape& modulationAttackShape(int id) noexcept;  // modulation and filter envelopes
const EnvelopeShape& releaseShape(int id) noexcept;           // every release

}  // namespace kettrix::engine
