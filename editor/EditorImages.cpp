#include "editor/EditorImages.h"

#include "base/SettingVocabulary.h"
#include "editor/EditorLayout.h"
#include "resources/Zoom.h"

#include <array>

namespace kettrix::editor {
namespace {

// A selector's strip: one frame of `frameHeight` per frame of its setting.
constexpr ImageEntry selector(int id, const char* path, int width, int frameHeight, const settings::Setting& setting) {
    return {id, path, width, frameHeight * setting.frames(), setting.frames()};
}

// A switch's strip: one frame per offered zoom, each as large as `rect`.
constexpr ImageEntry zoomStrip(int id, const char* path, const Rect& rect) {
    constexpr int frames = static_cast<int>(zoom::kPercents.size());
    return {id, path, rect.right - rect.left, (rect.bottom - rect.top) * frames, frames};
}

constexpr std::array<ImageEntry, 41> kImages = {{
    {image::kBackground, "resources/img/bg.png", 839, 556, 1},
    {image::kKnob, "resources/img/knob.png", 21, 2100, 100},
    {image::kKnobSmall, "resources/img/knob-small.png", 29, 2900, 100},
    {image::kEnvelopeSlider, "resources/img/slider-y-small.png", 12, 4761, 69},
    {image::kSoundVolumeSlider, "resources/img/slider-x-small.png", 71, 426, 71},
    {image::kSoundVolumeSlider69, "resources/img/slider-x-small.png", 71, 426, 69},
    {image::kEffectAmountSlider, "resources/img/slider-x-small-fx.png", 67, 402, 67},
    {image::kSnap, "resources/img/b-snap.png", 18, 36, 2},
    selector(image::kChoke, "resources/img/b-choke.png", 29, 17, settings::kChoke),
    {image::kSoundTab, "resources/img/b-sound1.png", 75, 106, 2},
    {image::kMenuLarge, "resources/img/bg-menu-large.png", 521, 372, 1},
    {image::kMenuItem, "resources/img/bg-menu-item.png", 217, 108, 4},
    {image::kMenuSmall, "resources/img/bg-menu-small.png", 287, 372, 1},
    {image::kSoundOn, "resources/img/sound-on.png", 4, 8, 2},
    {image::kButton, "resources/img/button.png", 29, 44, 2},
    {image::kSectionMute, "resources/img/b-mute-part.png", 29, 44, 2},
    {image::kMute, "resources/img/b-mute.png", 36, 36, 2},
    {image::kSolo, "resources/img/b-solo.png", 36, 36, 2},
    {image::kEnvelopeVolumeTab, "resources/img/b-env-vol.png", 43, 36, 2},
    {image::kEnvelopeModulationTab, "resources/img/b-env-mod.png", 43, 36, 2},
    {image::kEnvelopeFilterTab, "resources/img/b-env-fil.png", 43, 36, 2},
    {image::kVelocityTab, "resources/img/b-velocity.png", 47, 36, 2},
    {image::kEffectsTab, "resources/img/b-effects.png", 47, 36, 2},
    {image::kKeytrack, "resources/img/b-keyboard.png", 29, 44, 2},
    {image::kWhiteKey, "resources/img/wk.png", 14, 322, 7},
    {image::kBlackKey, "resources/img/bk.png", 9, 93, 3},
    {image::kHitPanel, "resources/img/bg-hit.png", 93, 63, 1},
    {image::kVelocityBackdrop, "resources/img/bg-velocity.png", 94, 337, 1},
    {image::kPrevNext, "resources/img/b-prev-next.png", 15, 50, 2},
    selector(image::kOscillatorType, "resources/img/b-osc.png", 29, 25, settings::kOscillatorType),
    selector(image::kFilterType, "resources/img/b-filter.png", 91, 17, settings::kFilterType),
    selector(image::kHitType, "resources/img/b-hit.png", 46, 17, settings::kHitType),
    selector(image::kAttackVolume, "resources/img/b-attack-vol.png", 101, 21, settings::kAttackShapeVolume),
    selector(image::kAttackModulation, "resources/img/b-attack-mod.png", 101, 21, settings::kAttackShapeModulation),
    selector(image::kRelease, "resources/img/b-release.png", 101, 21, settings::kReleaseShape),
    selector(image::kOutput, "resources/img/b-out.png", 29, 17, settings::kOutput),
    selector(image::kEnvelopeMode, "resources/img/b-envelope-mode.png", 45, 17, settings::kEnvelopeMode),
    selector(image::kNoiseType, "resources/img/b-noise-type.png", 101, 17, settings::kNoiseType),
    selector(image::kEffectType, "resources/img/b-effect-type.png", 70, 17, settings::kEffectType),
    selector(image::kLock, "resources/img/b-lock.png", 122, 17, settings::kKeyboardMode),
    zoomStrip(image::kZoom, "resources/img/b-zoom.png", kZoomSwitchRect),
}};

constexpr std::span<const ImageEntry> kLoaded{kImages};

}  // namespace

std::span<const ImageEntry> editorImages() { return kLoaded; }

const ImageEntry* findImage(int id) {
    for (const ImageEntry& entry : kLoaded)
        if (entry.id == id) return &entry;
    return nullptr;
}

}  // namespace kettrix::editor
