#include "editor/KettrixEditor.h"

#include <algorithm>
#include <cassert>

#include "editor/EditorImages.h"
#include "editor/IKeyboardControlK4.h"
#include "editor/IPopupControl.h"
#include "editor/K4_GEnvelope.h"
#include "editor/MenuContents.h"
#include "editor/ReadOut.h"
#include "editor/ReadOutLine.h"
#include "editor/SV_ContextMenu.h"
#include "editor/SoundLampControl.h"
#include "editor/TextEntry.h"
#include "editor/TextStyles.h"
#include "editor/ZoomSwitch.h"
#include "graphics/IGraphics.h"

namespace kettrix::editor {
namespace {

using kit::soundIndex;

constexpr IColor kReadOutColor{255, 180, 180, 180};
constexpr IColor kNameColor{255, 83, 211, 246};

constexpr std::array<Group, 3> kOscViewGroups = {Group::OscVolume, Group::OscModulation, Group::OscFilter};
constexpr std::array<Group, 2> kNoise1ViewGroups = {Group::Noise1Volume, Group::Noise1Filter};
constexpr std::array<Group, 2> kNoise2ViewGroups = {Group::Noise2Volume, Group::Noise2Filter};
// First envelope editor kind of each section.
constexpr std::array<int, 3> kFirstEditorKind = {0, 3, 5};

std::span<const Group> viewGroups(Section section) {
    switch (section) {
        case Section::Oscillator:
            return kOscViewGroups;
        case Section::Noise1:
            return kNoise1ViewGroups;
        case Section::Noise2:
            break;
    }
    return kNoise2ViewGroups;
}

IBitmap load(IGraphics& graphics, int id) {
    const ImageEntry* entry = findImage(id);
    if (entry == nullptr) return {};
    IBitmap bitmap = graphics.LoadBitmap(entry->id, entry->name, entry->frames);
    // A missing image draws nothing, but its control keeps the size of the
    // table so that it still takes its clicks where it belongs.
    if (bitmap.data_ == nullptr) bitmap = IBitmap(nullptr, entry->width, entry->height, entry->frames);
    return bitmap;
}

}  // namespace

KettrixEditor::KettrixEditor(IGraphics& graphics, kit::KitModel& kit, kit::ParameterStore& store)
    : graphics_(graphics),
      plug_(graphics.GetPlug()),
      kit_(kit),
      store_(store),
      graphicsDialog_(std::make_unique<GraphicsFileDialog>(graphics)),
      dialog_(graphicsDialog_.get()) {
    for (SoundPlaces& places : sounds_) places.controlOfOffset.fill(-1);
    BuildControls();
}

KettrixEditor::~KettrixEditor() = default;

// ---------------------------------------------------------------------------
// Construction

void KettrixEditor::BuildControls() {
    // Every image is decoded once per process; loading them all up front
    // keeps the first frame free of decoding.
    for (const ImageEntry& entry : editorImages()) graphics_.LoadBitmap(entry.id, entry.name, entry.frames);
    for (const ControlEntry& entry : editorControls()) AttachEntry(entry);
    assert(graphics_.NControls() == kControlCount);
    // The zoom switch is the user's, not the kit's: it comes after the
    // fixed list, whose indices stay as they are.
    const IRECT zoomRect(kZoomSwitchRect.left, kZoomSwitchRect.top, kZoomSwitchRect.right, kZoomSwitchRect.bottom);
    zoomSwitch_ = graphics_.AttachControl(new ZoomSwitch(plug_, zoomRect, load(graphics_, image::kZoom), *Menu()));

    // Each envelope editor joins the first sound's detail group of its envelope.
    for (std::size_t k = 0; k < envelopes().size(); ++k) {
        const EnvelopeEntry& e = envelopes()[k];
        sounds_[0].groups[static_cast<std::size_t>(e.group)].AddParam(e.editorParam);
    }
    BindGroups();
    IndexControlsByParam();
    SetUpEnvelopeEditors();
    // The read-out line follows the mouse.
    graphics_.HandleMouseOver(true);
    for (int s = 0; s < kit::kSoundCount; ++s) {
        HideSoundSections(s);
        GreyHitPanel(s, store_.value(soundIndex(s, kit::offset::kHitType)));
    }
}

void KettrixEditor::AttachEntry(const ControlEntry& entry) {
    const int x = entry.rect.left, y = entry.rect.top;
    const IRECT rect(entry.rect.left, entry.rect.top, entry.rect.right, entry.rect.bottom);
    const int expected = graphics_.NControls();
    IControl* control = nullptr;
    switch (entry.kind) {
        case ControlKind::Background:
            graphics_.AttachBackground(entry.image, findImage(entry.image)->name);
            return;
        case ControlKind::Image:
            control = new IBitmapControl(plug_, x, y, entry.param, load(graphics_, entry.image));
            break;
        case ControlKind::Switch:
            if (entry.image == image::kSoundOn)
                control = new SoundLampControl(plug_, x, y, entry.param, load(graphics_, entry.image), entry.sound);
            else
                control = new ISwitchControl(plug_, x, y, entry.param, load(graphics_, entry.image));
            break;
        case ControlKind::Contact:
            control = new IContactControl(plug_, x, y, entry.param, load(graphics_, entry.image));
            break;
        case ControlKind::Knob:
            control = new IKnobMultiControl(plug_, x, y, entry.param, load(graphics_, entry.image),
                                            IKnobMultiControl::kVertical);
            break;
        case ControlKind::HSlider:
            control = new IKnobMultiControl(plug_, x, y, entry.param, load(graphics_, entry.image),
                                            IKnobMultiControl::kHorizontal);
            break;
        case ControlKind::Selector: {
            // The menu comes last; its index is known before it exists.
            auto* selector =
                new IPopupControl(plug_, x, y, entry.param, load(graphics_, entry.image), kMenuControlIndex);
            selector->SetMenuItems(menuStrings(entry.menu));
            if (entry.menu == Menu::Patch) selector->SetNotifyTarget(global_control::kFileCommands);
            control = selector;
            break;
        }
        case ControlKind::ReadOut:
            control = new ReadOutLine(plug_, rect,
                                      makeTextStyle(14, kReadOutColor, "Arial", IText::kStyleNormal, IText::kAlignNear),
                                      kReadOutStartText);
            break;
        case ControlKind::FileCommands:
            control = new IFileControl(plug_, rect, entry.param, kit_, *dialog_);
            break;
        case ControlKind::NameField: {
            const int s = entry.sound;
            control = new TextEntry(plug_, rect,
                                    makeTextStyle(12, kNameColor, "Arial", IText::kStyleBold, IText::kAlignCenter),
                                    global_control::soundTab(s), global_control::kPatchMenu, kit_.soundName(s).c_str(),
                                    [this, s](const std::string& name) { kit_.setSoundName(s, name); });
            break;
        }
        case ControlKind::EnvelopeEditor:
            control = new K4_GEnvelope(plug_, rect, entry.param, expected - global_control::kFirstEnvelopeEditor);
            break;
        case ControlKind::Keyboard:
            control = new IKeyboardControlK4(plug_, rect, entry.param, load(graphics_, image::kWhiteKey),
                                             load(graphics_, image::kBlackKey));
            break;
        case ControlKind::PopupMenu: {
            const SV_ContextMenu::Images images{load(graphics_, image::kMenuLarge), load(graphics_, image::kMenuSmall),
                                                load(graphics_, image::kMenuItem)};
            control = new SV_ContextMenu(plug_, entry.param, images);
            break;
        }
    }
    const int index = graphics_.AttachControl(control);
    assert(index == expected);
    (void)expected;

    if (entry.kind == ControlKind::PopupMenu) {
        menuControl_ = index;
        control->Hide(true);
    }
    if (entry.group == Group::None) {
        if (entry.param >= kit::global::kShowSound && entry.param < kit::global::kShowSound + kit::kSoundCount)
            soundTabs_[static_cast<std::size_t>(entry.param - kit::global::kShowSound)] = index;
        return;
    }
    SoundPlaces& places = sounds_[static_cast<std::size_t>(entry.sound)];
    const int off = entry.param - soundIndex(entry.sound, 0);
    places.groups[static_cast<std::size_t>(entry.group)].AddParam(entry.param);
    if (places.controlOfOffset[static_cast<std::size_t>(off)] < 0)
        places.controlOfOffset[static_cast<std::size_t>(off)] = index;
    namespace o = kit::offset;
    switch (off) {
        case o::kShowMixer:
            places.pageTabs[0] = index;
            break;
        case o::kShowVelocity:
            places.pageTabs[1] = index;
            break;
        case o::kOscVolTab:
        case o::kOscModTab:
        case o::kOscFilterTab:
            places.oscViewTabs[static_cast<std::size_t>(off - o::kOscVolTab)] = index;
            break;
        case o::kNoise1VolTab:
        case o::kNoise1FilterTab:
            places.noise1ViewTabs[static_cast<std::size_t>(off - o::kNoise1VolTab)] = index;
            break;
        case o::kNoise2VolTab:
        case o::kNoise2FilterTab:
            places.noise2ViewTabs[static_cast<std::size_t>(off - o::kNoise2VolTab)] = index;
            break;
        default:
            break;
    }
    for (std::size_t k = 0; k < kHitPanelOffsets.size(); ++k) {
        if (off == kHitPanelOffsets[k]) {
            places.hitPanel[k] = index;
            control->Hide(true);
        }
    }
}

void KettrixEditor::BindGroups() {
    for (SoundPlaces& places : sounds_)
        for (ControlGroup& group : places.groups) group.Bind(graphics_);
}

void KettrixEditor::IndexControlsByParam() {
    controlsOfParam_.assign(kMenuParam + 1, {});
    paramHasAux_.assign(kMenuParam + 1, false);
    for (int i = 0; i < graphics_.NControls(); ++i) {
        IControl* control = graphics_.GetControl(i);
        const int param = control->ParamIdx();
        if (param >= 0 && param <= kMenuParam) controlsOfParam_[static_cast<std::size_t>(param)].push_back(i);
        for (int a = 0; a < control->NAuxParams(); ++a) {
            const int aux = control->GetAuxParam(a)->paramIdx_;
            if (aux >= 0 && aux <= kMenuParam) paramHasAux_[static_cast<std::size_t>(aux)] = true;
        }
    }
}

void KettrixEditor::ShowValue(int paramIdx, double value, bool normalized) {
    if (paramIdx < 0 || paramIdx > kMenuParam || paramHasAux_[static_cast<std::size_t>(paramIdx)]) {
        graphics_.SetParameterFromPlug(paramIdx, value, normalized);
        return;
    }
    if (!normalized && (plug_ == nullptr || !plug_->NormalizedFromPlain(paramIdx, value, &value))) return;
    for (int index : controlsOfParam_[static_cast<std::size_t>(paramIdx)])
        graphics_.GetControl(index)->SetValueFromPlug(value);
}

// ---------------------------------------------------------------------------
// Operations

void KettrixEditor::HideSoundSections(int s) {
    if (!ValidSound(s)) return;
    for (ControlGroup& group : sounds_[static_cast<std::size_t>(s)].groups) group.SetHidden(true, true);
}

void KettrixEditor::selectSound(int s) {
    if (!ValidSound(s) || s == currentSound_ || kit_.programChanging()) return;
    HideSoundSections(currentSound_);
    currentSound_ = s;
    ShowSoundSections(s);
    for (int k = 0; k < 7; ++k)
        if (K4_GEnvelope* editor = EnvelopeEditor(k)) editor->SetSound(s);
    SelectSoundTab(s);
    if (IControl* keyboard = graphics_.GetControl(global_control::kKeyboard)) keyboard->SetDirty(false);
}

void KettrixEditor::ShowSoundSections(int s) {
    if (s != currentSound_ || !ValidSound(s)) return;
    SoundPlaces& places = sounds_[static_cast<std::size_t>(s)];
    places.groups[static_cast<std::size_t>(Group::Oscillator)].SetHidden(false);
    places.groups[static_cast<std::size_t>(Group::Noise1)].SetHidden(false);
    places.groups[static_cast<std::size_t>(Group::Noise2)].SetHidden(false);
    SelectPage(s, places.page);
    SelectEnvelopeView(Section::Oscillator, s, places.views[0]);
    SelectEnvelopeView(Section::Noise1, s, places.views[1]);
    SelectEnvelopeView(Section::Noise2, s, places.views[2]);
    // Re-delivered so that the envelope editors take the sound's envelopes:
    // the noise types, then per envelope attack, release, attack shape,
    // release shape, mode and depth.
    store_.notifyChanged(soundIndex(s, kit::offset::kNoiseType));
    store_.notifyChanged(soundIndex(s, kit::offset::kNoise2Type));
    for (const EnvelopeEntry& e : envelopes())
        for (int off : {e.attack, e.release, e.attackShape, e.releaseShape, e.mode, e.depth})
            store_.notifyChanged(soundIndex(s, off));
}

void KettrixEditor::SelectPage(int s, int page) {
    if (!ValidSound(s)) return;
    SoundPlaces& places = sounds_[static_cast<std::size_t>(s)];
    places.page = page;
    if (s != currentSound_) return;
    places.groups[static_cast<std::size_t>(Group::Mixer)].SetHidden(page != 0);
    places.groups[static_cast<std::size_t>(Group::Velocity)].SetHidden(page != 1);
    SetTabSelection(page, places.pageTabs);
}

void KettrixEditor::SelectEnvelopeView(Section section, int s, int view) {
    if (!ValidSound(s)) return;
    SoundPlaces& places = sounds_[static_cast<std::size_t>(s)];
    places.views[static_cast<std::size_t>(section)] = view;
    if (s != currentSound_) return;
    const std::span<const Group> groups = viewGroups(section);
    const int firstKind = kFirstEditorKind[static_cast<std::size_t>(section)];
    for (std::size_t v = 0; v < groups.size(); ++v) {
        places.groups[static_cast<std::size_t>(groups[v])].SetHidden(true);
        if (K4_GEnvelope* editor = EnvelopeEditor(firstKind + static_cast<int>(v))) editor->Hide(true);
    }
    if (view >= 0 && view < static_cast<int>(groups.size())) {
        places.groups[static_cast<std::size_t>(groups[static_cast<std::size_t>(view)])].SetHidden(false);
        if (K4_GEnvelope* editor = EnvelopeEditor(firstKind + view)) editor->Hide(false);
    }
    SetTabSelection(view, ViewTabs(s, section));
}

void KettrixEditor::SetTabSelection(int selected, std::span<const int> controls, double selectedValue) {
    for (std::size_t k = 0; k < controls.size(); ++k) {
        IControl* control = graphics_.GetControl(controls[k]);
        if (control == nullptr) continue;
        const bool isSelected = static_cast<int>(k) == selected;
        control->Hide(isSelected);
        kit_.setControlValue(control->ParamIdx(), isSelected ? selectedValue : 0.0);
    }
}

// The shown sound keeps "Show Sound" on, so a saved state reopens on the
// sound it was saved with (a state with every "Show Sound" off would open
// with no sound shown at all).
void KettrixEditor::SelectSoundTab(int s) { SetTabSelection(s, soundTabs_, 1.0); }

void KettrixEditor::refreshTabs() {
    const int s = currentSound_;
    if (!ValidSound(s)) return;
    const SoundPlaces& places = sounds_[static_cast<std::size_t>(s)];
    SetTabSelection(places.page, places.pageTabs);
    SetTabSelection(places.views[0], places.oscViewTabs);
    SetTabSelection(places.views[1], places.noise1ViewTabs);
    SetTabSelection(places.views[2], places.noise2ViewTabs);
    SelectSoundTab(s);
}

void KettrixEditor::StepSelectorControl(int controlIndex, double direction) {
    const IControl* control = graphics_.GetControl(controlIndex);
    if (control == nullptr || control->ParamIdx() < 0) return;
    const int index = control->ParamIdx();
    const kit::ParamInfo& info = kit::parameterInfo(index);
    double value = store_.value(index) + direction;
    if (value > info.max) value = info.min;
    if (value < info.min) value = info.max;
    kit_.setControlValue(index, value);
}

std::span<const int> KettrixEditor::ViewTabs(int s, Section section) const {
    const SoundPlaces& places = sounds_[static_cast<std::size_t>(s)];
    switch (section) {
        case Section::Oscillator:
            return places.oscViewTabs;
        case Section::Noise1:
            return places.noise1ViewTabs;
        case Section::Noise2:
            break;
    }
    return places.noise2ViewTabs;
}

void KettrixEditor::GreyHitPanel(int s, double hitType) {
    const bool generator = hitType == kHitGeneratorType;
    for (int index : sounds_[static_cast<std::size_t>(s)].hitPanel)
        if (IControl* control = graphics_.GetControl(index)) control->GrayOut(!generator);
}

// ---------------------------------------------------------------------------
// Read-out line

void KettrixEditor::ShowParamInfo(int paramIdx) {
    if (paramIdx < 0 || paramIdx >= kit::kParameterCount) return;
    const kit::ParamInfo& info = kit::parameterInfo(paramIdx);
    const std::optional<std::string> text = readOutText(paramIdx, store_.value(paramIdx), info.name, info.max);
    if (!text || text->empty()) return;
    if (auto* line = dynamic_cast<ITextControl*>(graphics_.GetControl(global_control::kReadOut)))
        line->SetTextFromPlug(text->c_str());
}

void KettrixEditor::ClearParamInfo() {
    if (auto* line = dynamic_cast<ITextControl*>(graphics_.GetControl(global_control::kReadOut)))
        line->SetTextFromPlug(kReadOutIdleText);
}

const char* KettrixEditor::ReadOutText() const {
    const auto* line = dynamic_cast<const ITextControl*>(graphics_.GetControl(global_control::kReadOut));
    return line ? line->GetTextForPlug() : "";
}

// ---------------------------------------------------------------------------
// Editor seam

void KettrixEditor::showSoundName(int sound, std::string_view name) {
    if (TextEntry* field = NameField(sound)) field->SetText(name);
}

void KettrixEditor::setChokeMenuEntries(const std::vector<std::string>& entries) {
    for (int s = 0; s < kit::kSoundCount; ++s) {
        if (auto* choke = dynamic_cast<IPopupControl*>(graphics_.GetControl(ControlOf(s, kit::offset::kChoke))))
            choke->SetLiteralMenuItems(entries);
    }
}

void KettrixEditor::stepSelector(int sound, int off, int direction) {
    if (!ValidSound(sound) || off < 0 || off >= kit::kSoundBlockSize) return;
    StepSelectorControl(ControlOf(sound, off), direction);
}

void KettrixEditor::showParameterValue(int index, double plain) { ShowValue(index, plain, false); }

void KettrixEditor::soundParameterChanged(int sound, int off, double plain) {
    if (!ValidSound(sound)) return;
    EnvelopeParameterChanged(sound, off, plain);
    if (off == kit::offset::kHitType) {
        GreyHitPanel(sound, plain);
        return;
    }
    // The tabs send 1 when clicked and are reset to 0 by the selection; only the click selects.
    if (plain <= 0.0) return;
    namespace o = kit::offset;
    switch (off) {
        case o::kShowMixer:
            SelectPage(sound, 0);
            break;
        case o::kShowVelocity:
            SelectPage(sound, 1);
            break;
        case o::kOscVolTab:
        case o::kOscModTab:
        case o::kOscFilterTab:
            SelectEnvelopeView(Section::Oscillator, sound, off - o::kOscVolTab);
            break;
        case o::kNoise1VolTab:
        case o::kNoise1FilterTab:
            SelectEnvelopeView(Section::Noise1, sound, off - o::kNoise1VolTab);
            break;
        case o::kNoise2VolTab:
        case o::kNoise2FilterTab:
            SelectEnvelopeView(Section::Noise2, sound, off - o::kNoise2VolTab);
            break;
        default:
            break;
    }
}

std::string KettrixEditor::promptForSoundFile(bool save) {
    const IFileControl* files = FileControl();
    return dialog_->AskForSoundFile(save, files ? files->LastFolder() : std::string());
}

// ---------------------------------------------------------------------------
// Places

SV_ContextMenu* KettrixEditor::Menu() const {
    return dynamic_cast<SV_ContextMenu*>(graphics_.GetControl(menuControl_));
}

IFileControl* KettrixEditor::FileControl() const {
    return dynamic_cast<IFileControl*>(graphics_.GetControl(global_control::kFileCommands));
}

TextEntry* KettrixEditor::NameField(int s) const {
    return ValidSound(s) ? dynamic_cast<TextEntry*>(graphics_.GetControl(global_control::nameField(s))) : nullptr;
}

K4_GEnvelope* KettrixEditor::EnvelopeEditor(int kind) const {
    if (kind < 0 || kind >= static_cast<int>(envelopes().size())) return nullptr;
    return dynamic_cast<K4_GEnvelope*>(graphics_.GetControl(global_control::kFirstEnvelopeEditor + kind));
}

IKeyboardControlK4* KettrixEditor::Keyboard() const {
    return dynamic_cast<IKeyboardControlK4*>(graphics_.GetControl(global_control::kKeyboard));
}

void KettrixEditor::AttachLive(KeyboardHost& keyboard, LiveActivity& activity) {
    if (IKeyboardControlK4* control = Keyboard()) control->SetHost(&keyboard, &activity);
    for (int s = 0; s < kit::kSoundCount; ++s)
        if (auto* lamp = dynamic_cast<SoundLampControl*>(graphics_.GetControl(global_control::soundLamp(s))))
            lamp->SetActivity(&activity);
}

void KettrixEditor::SetFileDialog(SoundFileDialog& dialog) {
    dialog_ = &dialog;
    if (IFileControl* files = FileControl()) files->SetDialog(dialog);
}

// ---------------------------------------------------------------------------
// Envelope editors

void KettrixEditor::SetUpEnvelopeEditors() {
    for (std::size_t k = 0; k < envelopes().size(); ++k) {
        const EnvelopeEntry& e = envelopes()[k];
        K4_GEnvelope* editor = EnvelopeEditor(static_cast<int>(k));
        if (editor == nullptr) continue;
        K4_GEnvelope::SelectorTable attackShapes{}, releaseShapes{};
        for (int s = 0; s < kit::kSoundCount; ++s) {
            const auto i = static_cast<std::size_t>(s);
            attackShapes[i] = dynamic_cast<IPopupControl*>(graphics_.GetControl(ControlOf(s, e.attackShape)));
            releaseShapes[i] = dynamic_cast<IPopupControl*>(graphics_.GetControl(ControlOf(s, e.releaseShape)));
        }
        editor->SetAttackShapeSelectors(attackShapes);
        editor->SetReleaseShapeSelectors(releaseShapes);
        editor->SetModulationShapes(e.attackMenu == Menu::AttackShapeModulation ? 1 : 0);
    }
}

void KettrixEditor::EnvelopeParameterChanged(int sound, int off, double plain) {
    for (std::size_t k = 0; k < envelopes().size(); ++k) {
        const EnvelopeEntry& e = envelopes()[k];
        // The editor's own parameter (a sound-0 offset) carries its edits.
        const bool edit = sound == 0 && off == e.editorParam;
        const bool shown = sound == currentSound_ && (off == e.attack || off == e.release || off == e.depth ||
                                                      off == e.attackShape || off == e.releaseShape);
        // Looked up only when it is concerned: a kit load passes every
        // parameter through here.
        if (!edit && !shown) continue;
        K4_GEnvelope* editor = EnvelopeEditor(static_cast<int>(k));
        if (editor == nullptr) continue;
        if (edit) {
            CopyEnvelopeEdit(*editor, e);
            continue;
        }
        if (off == e.attack) editor->SetAttack(plain);
        if (off == e.release) editor->SetRelease(plain);
        if (off == e.depth) editor->SetDepth(plain);
        if (off == e.attackShape) editor->SetAttackShape(static_cast<int>(plain));
        if (off == e.releaseShape) editor->SetReleaseShape(static_cast<int>(plain));
    }
}

void KettrixEditor::CopyEnvelopeEdit(K4_GEnvelope& editor, const EnvelopeEntry& e) {
    if (!editor.Changed() || !ValidSound(currentSound_)) return;
    // Cleared first: the copies come back through the setters, and a depth
    // the parameter limits re-enters here.
    editor.ClearChanged();
    const double attack = editor.Attack(), release = editor.Release(), depth = editor.Depth();
    SetFromEnvelopeEditor(currentSound_, e.attack, attack);
    SetFromEnvelopeEditor(currentSound_, e.release, release);
    SetFromEnvelopeEditor(currentSound_, e.depth, depth);
}

// The value goes in as a move of the detail group's slider would: the
// parameter takes it within its range, the host hears of it and its change
// runs. An unchanged value does nothing.
void KettrixEditor::SetFromEnvelopeEditor(int s, int off, double plain) {
    const int index = soundIndex(s, off);
    const double value = kit::clampToRange(index, plain);
    if (value == store_.value(index)) return;
    double normalized = 0.0;
    IControl* slider = graphics_.GetControl(ControlOf(s, off));
    if (slider == nullptr || plug_ == nullptr || !plug_->NormalizedFromPlain(index, value, &normalized)) {
        kit_.setControlValue(index, value);
        return;
    }
    slider->SetValue(normalized);
    slider->SetDirty(true);
}

}  // namespace kettrix::editor
