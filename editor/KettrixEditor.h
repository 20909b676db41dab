// The drum machine's editor: builds every control of the ten sounds and the
// global controls on a graphics object, keeps which sound, page and envelope
// views are shown, and answers the kit model through its editor seam.
//
// Every control exists for the whole life of the plug-in object, with or
// without a window: values reach the controls either way; drawing happens
// only when a window (or the off-screen editor) draws. Every operation runs
// under the plug-in lock.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "editor/ControlGroup.h"
#include "editor/EditorLayout.h"
#include "editor/IFileControl.h"
#include "kit/EditorSeam.h"
#include "kit/KitModel.h"
#include "kit/ParameterStore.h"

namespace kettrix {

class IGraphics;
class IGraphicsPlug;
class SV_ContextMenu;
class IPopupControl;
class TextEntry;
class K4_GEnvelope;
class ITextControl;
class IKeyboardControlK4;
class KeyboardHost;

namespace editor {

class LiveActivity;

// The three sections that have envelope views.
enum class Section { Oscillator = 0, Noise1 = 1, Noise2 = 2 };

class KettrixEditor final : public kit::EditorSeam {
public:
    // Attaches every control to `graphics` (which must be empty) and hides
    // every sound's sections. `store` gives the plain values the controls start from.
    KettrixEditor(IGraphics& graphics, kit::KitModel& kit, kit::ParameterStore& store);
    ~KettrixEditor() override;

    // --- Operations ----------------------------------------------------------
    void HideSoundSections(int s);
    void ShowSoundSections(int s);
    void SelectPage(int s, int page);
    void SelectEnvelopeView(Section section, int s, int view);
    // Hides the selected control of the list and shows the others in their
    // off frame; their parameters are reset to 0, the selected one's set to
    // `selectedValue`.
    void SetTabSelection(int selected, std::span<const int> controls, double selectedValue = 0.0);
    // Moves a selector control's parameter one entry back or on, wrapping at
    // both ends.
    void StepSelectorControl(int controlIndex, double direction);

    // Hands a parameter's value to its controls (plain values are mapped to
    // normalised with the parameter's range and shape). Same result as the
    // graphics object's own delivery, through an index built once instead of
    // a walk over every control: a kit load delivers all 1393 values.
    void ShowValue(int paramIdx, double value, bool normalized);

    // The read-out line: the parameter under the mouse, or the idle hint.
    void ShowParamInfo(int paramIdx);
    void ClearParamInfo();
    const char* ReadOutText() const;

    // --- Editor seam (the kit model's view of the editor) --------------------
    int currentSound() const override { return currentSound_; }
    // Shows sound `sound`'s sections and tab in place of the current one's.
    void selectSound(int sound) override;
    // Shows the current sound's page, envelope view and sound tabs as selected.
    void refreshTabs() override;
    void showSoundName(int sound, std::string_view name) override;
    void setChokeMenuEntries(const std::vector<std::string>& entries) override;
    void stepSelector(int sound, int off, int direction) override;
    void showParameterValue(int index, double plain) override;
    void soundParameterChanged(int sound, int off, double plain) override;
    bool controlKeyHeld() const override { return false; }
    std::string promptForSoundFile(bool save) override;

    // --- State and places ---------------------------------------------------
    int Page(int s) const { return sounds_[static_cast<std::size_t>(s)].page; }
    int EnvelopeView(Section section, int s) const {
        return sounds_[static_cast<std::size_t>(s)].views[static_cast<std::size_t>(section)];
    }
    const ControlGroup& SectionGroup(int s, editor::Group g) const {
        return sounds_[static_cast<std::size_t>(s)].groups[static_cast<std::size_t>(g)];
    }
    // The control of offset `off` of sound `s` (the first one bound to it), -1 for none.
    int ControlOf(int s, int off) const {
        return sounds_[static_cast<std::size_t>(s)].controlOfOffset[static_cast<std::size_t>(off)];
    }
    int MenuControl() const { return menuControl_; }
    // The zoom switch's index: after the fixed control list.
    int ZoomSwitchControl() const { return zoomSwitch_; }
    SV_ContextMenu* Menu() const;
    IFileControl* FileControl() const;
    TextEntry* NameField(int s) const;
    K4_GEnvelope* EnvelopeEditor(int kind) const;
    std::span<const int> HitPanelControls(int s) const { return sounds_[static_cast<std::size_t>(s)].hitPanel; }
    IKeyboardControlK4* Keyboard() const;
    // Joins the keyboard and the "Sound On" lamps to the plug-in: the
    // keyboard's engine side, and the flags the engine sets while it plays.
    void AttachLive(KeyboardHost& keyboard, LiveActivity& activity);
    // Replaces the file dialog (tests script one).
    void SetFileDialog(SoundFileDialog& dialog);
    IGraphics& Graphics() const { return graphics_; }

private:
    struct SoundPlaces {
        int page = 0;
        std::array<int, 3> views{};  // per Section
        std::array<ControlGroup, kGroupCount> groups;
        std::array<int, kit::kSoundBlockSize> controlOfOffset{};
        std::array<int, 2> pageTabs{};     // mixer (effects) tab, velocity tab
        std::array<int, 3> oscViewTabs{};  // volume, modulation, filter
        std::array<int, 2> noise1ViewTabs{};
        std::array<int, 2> noise2ViewTabs{};
        std::array<int, 4> hitPanel{};
    };

    void BuildControls();
    void AttachEntry(const ControlEntry& entry);
    void BindGroups();
    void IndexControlsByParam();
    void SelectSoundTab(int s);
    std::span<const int> ViewTabs(int s, Section section) const;
    void GreyHitPanel(int s, double hitType);
    // Envelope editors: their selectors and shape family, the setters from
    // the sound's parameters and the copy of their edits into them.
    void SetUpEnvelopeEditors();
    void EnvelopeParameterChanged(int sound, int off, double plain);
    void CopyEnvelopeEdit(K4_GEnvelope& editor, const EnvelopeEntry& entry);
    void SetFromEnvelopeEditor(int s, int off, double plain);
    bool ValidSound(int s) const { return s >= 0 && s < kit::kSoundCount; }

    IGraphics& graphics_;
    IGraphicsPlug* plug_;
    kit::KitModel& kit_;
    kit::ParameterStore& store_;
    std::unique_ptr<SoundFileDialog> graphicsDialog_;
    SoundFileDialog* dialog_;
    int currentSound_ = -1;
    int menuControl_ = -1;
    int zoomSwitch_ = -1;
    std::array<SoundPlaces, kit::kSoundCount> sounds_;
    std::array<int, kit::kSoundCount> soundTabs_{};
    // Controls bound to each parameter; a parameter that some control also
    // carries as an auxiliary binding goes the graphics object's way.
    std::vector<std::vector<int>> controlsOfParam_;
    std::vector<bool> paramHasAux_;
};

}  // namespace editor
}  // namespace kettrix
