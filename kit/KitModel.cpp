#include "kit/KitModel.h"

#include <cmath>
#include <ctime>

#include "base/SettingVocabulary.h"
#include "kit/ParameterTable.h"

namespace kettrix::kit {
namespace {

// The offsets that applying a sound record leaves alone: the sound's place in
// the kit (view tabs, pan, volume, output, key ranges, choke, section
// switches) and reserved slots.
bool skippedWhenApplying(int off) {
    return (off >= offset::kOscVolTab && off <= offset::kNoise2FilterTab) ||
           (off >= offset::kPan && off <= offset::kVelocityPage) || off == offset::kShowMixer ||
           off == offset::kShowVelocity || (off >= offset::kReservedBeforeKeys && off <= offset::kKeyHi) ||
           (off >= offset::kPatch && off <= offset::kNoise1On);
}

}  // namespace

KitModel::KitModel(ParameterStore& store, SoundParameterSink& engine, EditorSeam& editor)
    : store_(store), engine_(&engine), editor_(&editor), draws_(static_cast<std::uint32_t>(std::time(nullptr))) {}

// ---------------------------------------------------------------------------
// Dispatch

void KitModel::parameterChanged(int index) {
    if (!ready_ || index < 0) return;
    if (isSoundParameter(index)) {
        const int sound = index / kSoundBlockSize;
        const int off = index % kSoundBlockSize;
        const double value = store_.value(index);
        engine_->applySoundParameter(sound, off, value);
        editor_->soundParameterChanged(sound, off, value);
        return;
    }
    dispatchGlobal(index, index < kParameterCount ? store_.value(index) : 0.0);
}

void KitModel::dispatchGlobal(int index, double value) {
    auto inRow = [index](int first) { return index >= first && index < first + kSoundCount; };
    if (index == global::kSoundNameEdited) {
        rebuildChokeMenus();
    } else if (inRow(global::kMute)) {
        engine_->setMute(index - global::kMute, value == 1.0);
    } else if (inRow(global::kSolo)) {
        engine_->setSolo(index - global::kSolo, value == 1.0);
    } else if (inRow(global::kSoundVolume)) {
        engine_->setSoundVolume(index - global::kSoundVolume, value);
    } else if (index == global::kKeyboardMode) {
        engine_->keyboardModeChanged(value);
    } else if (index == global::kKeyboard) {
        if (hasCurrentSound()) engine_->applyKeyboardEdit(editor_->currentSound());
    } else if (index >= global::kFirstSelectorButton && index <= global::kLastSelectorButton) {
        // Buttons send 1 when pressed and 0 when released; only the press steps.
        if (value > 0.0 && hasCurrentSound()) {
            const int button = index - global::kFirstSelectorButton;
            editor_->stepSelector(editor_->currentSound(), layout::kSteppedSelectors[button / 2],
                                  button % 2 == 0 ? -1 : 1);
        }
    } else if (inRow(global::kShowSound)) {
        if (!programChanging_ && value > 0.0) editor_->selectSound(index - global::kShowSound);
    }
    // 1320, "Sound On", the read-out and the reserved indices have no action.
}

void KitModel::beforeProgramChange() {
    store_.storeCurrentPreset();
    rememberedUserLock_ = engine_->userKeyLocked();
    for (int s = 0; s < kSoundCount; ++s) {
        const auto index = static_cast<std::size_t>(s);
        rememberedUserLo_[index] = static_cast<int>(store_.value(soundIndex(s, offset::kUserKeyLo)));
        rememberedUserHi_[index] = static_cast<int>(store_.value(soundIndex(s, offset::kUserKeyHi)));
        engine_->stopSound(s);
    }
    programChanging_ = true;
}

void KitModel::programChanged() {
    programChanging_ = false;
    editor_->refreshTabs();
    if (!rememberedUserLock_) {
        setControlValue(global::kKeyboardMode, 0.0);
    } else {
        // The user's key layout and the lock survive whatever the new kit stores.
        setControlValue(global::kKeyboardMode, 1.0);
        for (int s = 0; s < kSoundCount; ++s) {
            const auto index = static_cast<std::size_t>(s);
            engine_->setKeyRange(s, rememberedUserLo_[index], rememberedUserHi_[index]);
        }
    }
    rebuildChokeMenus();
    engine_->settleSmoothing();
}

void KitModel::rebuildChokeMenus() {
    std::vector<std::string> entries;
    entries.reserve(kSoundCount + 1);
    // Choke value 0 is "no choke", values 1..10 the sounds.
    static_assert(kSoundCount + 1 == settings::kChoke.count());
    entries.emplace_back(settings::kChoke[0].name);
    entries.insert(entries.end(), names_.begin(), names_.end());
    editor_->setChokeMenuEntries(entries);
}

void KitModel::setControlValue(int index, double plain) {
    if (index < 0 || index >= kParameterCount) return;
    editor_->showParameterValue(index, plain);
    if (store_.value(index) != plain) {
        store_.setValue(index, clampToRange(index, plain));
        store_.notifyChanged(index);
    }
}

// ---------------------------------------------------------------------------
// Names and chunk

const std::string& KitModel::soundName(int sound) const {
    static const std::string kNone;
    if (sound < 0 || sound >= kSoundCount) return kNone;
    return names_[static_cast<std::size_t>(sound)];
}

void KitModel::setSoundName(int sound, std::string_view name) {
    if (sound < 0 || sound >= kSoundCount) return;
    names_[static_cast<std::size_t>(sound)] = std::string(name);
    editor_->showSoundName(sound, name);
    store_.notifyChanged(global::kSoundNameEdited);
}

void KitModel::appendSoundNames(std::vector<std::uint8_t>& out) const {
    for (const std::string& name : names_) {
        appendInt32(out, static_cast<std::int32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
    }
}

int KitModel::readSoundNames(std::span<const std::uint8_t> chunk, int start) {
    SoundNames read = names_;
    const int position = kit::readSoundNames(chunk, start, read);
    for (int s = 0; s < kSoundCount; ++s) setSoundName(s, read[static_cast<std::size_t>(s)]);
    return position;
}

// ---------------------------------------------------------------------------
// Single sounds

bool KitModel::hasCurrentSound() const {
    const int sound = editor_->currentSound();
    return sound >= 0 && sound < kSoundCount;
}

SoundRecord KitModel::captureSound() const {
    SoundRecord record;
    if (!hasCurrentSound()) return record;
    const int sound = editor_->currentSound();
    record.setVersion(SoundRecord::kCurrentVersion);
    record.setName(soundName(sound));
    for (int off = 0; off < SoundRecord::kValueCount; ++off) record.setValue(off, store_.value(soundIndex(sound, off)));
    return record;
}

void KitModel::applySound(const SoundRecord& record) {
    if (!hasCurrentSound()) return;
    const int sound = editor_->currentSound();
    const bool current = record.version() == SoundRecord::kCurrentVersion;
    if (current) setSoundName(sound, record.name());
    for (int off = 0; off < SoundRecord::kValueCount; ++off) {
        if (skippedWhenApplying(off)) continue;
        double v = record.value(off);
        // Records of the earlier form lack the noise type inserted at 2.
        if (!current && (off == offset::kNoiseType || off == offset::kNoise2Type) && v > 1.0) v += 1.0;
        const int index = soundIndex(sound, off);
        v = clampToRange(index, v);
        editor_->showParameterValue(index, v);
        store_.setValue(index, v);
        store_.notifyChanged(index);
    }
    engine_->settleSmoothing();
}

bool KitModel::loadSoundFile(const std::string& path) {
    SoundRecord record;
    if (!hasCurrentSound() || !readSoundFile(path, record)) return false;
    applySound(record);
    return true;
}

bool KitModel::saveSoundFile(const std::string& path) {
    if (!hasCurrentSound()) return false;
    return writeSoundFile(path, captureSound());
}

void KitModel::copySound() {
    if (!hasCurrentSound()) return;
    clipboard_ = captureSound();
    clipboardFull_ = true;
}

void KitModel::pasteSound() {
    if (!clipboardFull_) return;
    const SoundRecord copy = clipboard_;  // applying may re-enter and copy again
    applySound(copy);
}

void KitModel::randomizeSound(bool keepEnvelopes) {
    if (!hasCurrentSound()) return;
    const int sound = editor_->currentSound();
    const SoundRecord record = makeRandomRecord(draws_, sound, keepEnvelopes, soundName(sound),
                                                [&](int off) { return store_.value(soundIndex(sound, off)); });
    applySound(record);
}

void KitModel::runPatchCommand(PatchCommand command) {
    switch (command) {
        case PatchCommand::Load: {
            const std::string path = editor_->promptForSoundFile(false);
            if (!path.empty()) loadSoundFile(path);
            break;
        }
        case PatchCommand::Save: {
            const std::string path = editor_->promptForSoundFile(true);
            if (!path.empty()) saveSoundFile(path);
            if (editor_->controlKeyHeld()) store_.dumpPresetSource();
            break;
        }
        case PatchCommand::Copy:
            copySound();
            break;
        case PatchCommand::Paste:
            pasteSound();
            break;
        case PatchCommand::RandomizeAll:
            randomizeSound(false);
            break;
        case PatchCommand::RandomizeKeepEnvelopes:
            randomizeSound(true);
            break;
    }
}

}  // namespace kettrix::kit
