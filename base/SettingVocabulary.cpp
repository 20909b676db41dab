#include "base/SettingVocabulary.h"

#include <array>

namespace kettrix::settings {
namespace {

constexpr std::array<const Setting*, 13> kAll = {
    &kOscillatorType,
    &kFilterType,
    &kHitType,
    &kNoiseType,
    &kEnvelopeMode,
    &kAttackShapeVolume,
    &kAttackShapeModulation,
    &kReleaseShape,
    &kEffectType,
    &kOutput,
    &kChoke,
    &kKeyboardMode,
    &kPatch,
};

}  // namespace

std::span<const Setting* const> allSettings() { return kAll; }

std::string_view frameText(const Setting& setting, int frame) {
    int n = 0;
    for (const Entry& e : setting.entries) {
        if (!setting.hasFrame(e)) continue;
        if (n++ == frame) return e.label != nullptr ? e.label : e.name;
    }
    return {};
}

std::string_view valueName(const Setting& setting, int value) {
    if (value < 0 || value >= setting.count()) return {};
    return setting[value].name;
}

}  // namespace kettrix::settings
