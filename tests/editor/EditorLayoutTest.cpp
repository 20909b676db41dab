// The editor inside the plug-in: construction, sound selection, pages,
// envelope views, the hit generator panel and the previous/next buttons,
// driven by clicks at the editor's pixel positions.
#include <algorithm>
#include <cmath>

#include "EditorFixture.h"

namespace kettrix::test {
namespace {

using editor::Group;
using editor::Section;
using kit::soundIndex;

bool groupShown(editor::KettrixEditor& ed, int s, Group g) {
    const ControlGroup& group = ed.SectionGroup(s, g);
    return !group.IsHidden();
}

using EditorLayout = EditorFixture;

TEST_F(EditorLayout, ConstructionAttachesEveryControlHiddenAndEffOpenSelectsSoundZero) {
    ASSERT_NE(effect, nullptr);
    EXPECT_NE(effect->flags & effFlagsHasEditor, 0);
    // The fixed list of 1206 (the menu last, at 1205), then the zoom switch.
    EXPECT_EQ(plug().Graphics().NControls(), 1207);
    EXPECT_EQ(ed().MenuControl(), 1205);
    EXPECT_EQ(ed().ZoomSwitchControl(), 1206);
    EXPECT_TRUE(control(1205)->IsHidden());
    EXPECT_EQ(ed().currentSound(), -1);
    for (int s = 0; s < kit::kSoundCount; ++s)
        for (int g = 0; g < editor::kGroupCount; ++g) {
            EXPECT_TRUE(ed().SectionGroup(s, static_cast<Group>(g)).IsHidden()) << s << " " << g;
            for (int index : ed().SectionGroup(s, static_cast<Group>(g)).Controls())
                EXPECT_TRUE(control(index)->IsHidden()) << index;
        }
    // Each sound's sections hold its 112 controls (the first sound's also the
    // seven envelope editors and the file control bound to its offset 0).
    int sound3 = 0;
    for (int g = 0; g < editor::kGroupCount; ++g)
        sound3 += static_cast<int>(ed().SectionGroup(3, static_cast<Group>(g)).Controls().size());
    EXPECT_EQ(sound3, 112);

    open();
    EXPECT_EQ(ed().currentSound(), 0);
    for (Group g : {Group::Oscillator, Group::Noise1, Group::Noise2, Group::Mixer, Group::OscVolume,
                    Group::Noise1Volume, Group::Noise2Volume})
        EXPECT_TRUE(groupShown(ed(), 0, g));
    for (Group g : {Group::Velocity, Group::OscModulation, Group::OscFilter, Group::Noise1Filter, Group::Noise2Filter})
        EXPECT_FALSE(groupShown(ed(), 0, g));
    EXPECT_TRUE(control(editor::global_control::soundTab(0))->IsHidden());
    EXPECT_FALSE(control(editor::global_control::soundTab(1))->IsHidden());
    EXPECT_FALSE(ed().EnvelopeEditor(0)->IsHidden());
    EXPECT_TRUE(ed().EnvelopeEditor(1)->IsHidden());
    EXPECT_EQ(plain(kit::global::kShowSound), 1.0) << "the shown sound keeps its \"Show Sound\" on";
}

TEST_F(EditorLayout, TabClicksSwitchSoundsAndTheCurrentTabDoesNothing) {
    open();
    clickSoundTab(3);
    EXPECT_EQ(ed().currentSound(), 3);
    EXPECT_TRUE(groupShown(ed(), 3, Group::Oscillator));
    EXPECT_FALSE(groupShown(ed(), 0, Group::Oscillator));
    EXPECT_TRUE(control(editor::global_control::soundTab(3))->IsHidden());
    EXPECT_FALSE(control(editor::global_control::soundTab(0))->IsHidden());
    EXPECT_EQ(plain(kit::global::kShowSound + 0), 0.0);
    EXPECT_EQ(plain(kit::global::kShowSound + 3), 1.0);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(ed().EnvelopeEditor(k)->Sound(), 3);
    // The hidden tab takes no click: the press lands on the background.
    clickSoundTab(3);
    EXPECT_EQ(ed().currentSound(), 3);
    EXPECT_TRUE(control(editor::global_control::soundTab(3))->IsHidden());
    // While a program change is being applied, "Show Sound" does not switch.
    plug().Kit().setProgramChanging(true);
    effect->setParameter(effect, kit::global::kShowSound + 7, 1.0f);
    EXPECT_EQ(ed().currentSound(), 3);
    plug().Kit().setProgramChanging(false);
    clickSoundTab(8);
    EXPECT_EQ(ed().currentSound(), 8);
}

TEST_F(EditorLayout, PagesAndEnvelopeViewsAreRememberedPerSound) {
    open();
    clickSoundTab(2);
    click(757 + 10, 93 + 5);   // velocity page tab
    click(489 + 10, 93 + 5);   // oscillator filter envelope
    click(446 + 10, 206 + 5);  // noise 1 filter envelope
    EXPECT_EQ(ed().Page(2), 1);
    EXPECT_EQ(ed().EnvelopeView(Section::Oscillator, 2), 2);
    EXPECT_EQ(ed().EnvelopeView(Section::Noise1, 2), 1);
    EXPECT_EQ(plain(soundIndex(2, 116)), 0.0) << "the tab's parameter is reset after the selection";
    clickSoundTab(5);
    EXPECT_EQ(ed().Page(5), 0);
    EXPECT_TRUE(groupShown(ed(), 5, Group::Mixer));
    EXPECT_FALSE(ed().EnvelopeEditor(2)->IsHidden() && ed().EnvelopeEditor(0)->IsHidden());
    EXPECT_FALSE(ed().EnvelopeEditor(0)->IsHidden());
    clickSoundTab(2);
    EXPECT_TRUE(groupShown(ed(), 2, Group::Velocity));
    EXPECT_FALSE(groupShown(ed(), 2, Group::Mixer));
    EXPECT_TRUE(groupShown(ed(), 2, Group::OscFilter));
    EXPECT_FALSE(groupShown(ed(), 2, Group::OscVolume));
    EXPECT_TRUE(groupShown(ed(), 2, Group::Noise1Filter));
    EXPECT_TRUE(groupShown(ed(), 2, Group::Noise2Volume));
    EXPECT_TRUE(ed().EnvelopeEditor(0)->IsHidden());
    EXPECT_FALSE(ed().EnvelopeEditor(2)->IsHidden());
    EXPECT_FALSE(ed().EnvelopeEditor(4)->IsHidden());
    // The selected tabs are hidden, the others shown in their off frame.
    EXPECT_TRUE(controlOf(2, 116)->IsHidden());
    EXPECT_FALSE(controlOf(2, 115)->IsHidden());
    EXPECT_TRUE(controlOf(2, 6)->IsHidden());
    EXPECT_FALSE(controlOf(2, 4)->IsHidden());
    EXPECT_EQ(controlOf(2, 4)->GetValue(), 0.0);
    // A program change re-applies the shown sound's tabs.
    Dispatch(effect, effSetProgram, 0, 3);
    EXPECT_EQ(ed().currentSound(), 2);
    EXPECT_TRUE(controlOf(2, 116)->IsHidden());
    EXPECT_TRUE(control(editor::global_control::soundTab(2))->IsHidden());
}

TEST_F(EditorLayout, HitGeneratorPanelIsGreyedForEveryHitTypeButTheGenerator) {
    open();
    const int decay = soundIndex(0, 118);  // "Hit Modulation Decay"
    for (int type = 0; type <= 18; ++type) {
        effect->setParameter(effect, soundIndex(0, 19), static_cast<float>(type / 18.0));
        for (int index : ed().HitPanelControls(0)) EXPECT_EQ(control(index)->IsGrayed(), type != 18) << type;
        // A greyed knob takes no drag.
        const double before = plain(decay);
        gui().Drag(237 + 10, 130 + 10, 237 + 10, 130 - 30, 4);
        EXPECT_EQ(plain(decay) != before, type == 18) << type;
    }
    // Another sound's panel follows its own "Hit type".
    for (int index : ed().HitPanelControls(4)) EXPECT_TRUE(control(index)->IsGrayed());
}

TEST_F(EditorLayout, PreviousAndNextStepOncePerClickAndWrap) {
    open();
    const int noise1Type = soundIndex(0, 46);
    effect->setParameter(effect, noise1Type, 0.0f);
    click(45 + 5, 287 + 5);  // "Noise 1 Type: Previous" wraps to the last type
    EXPECT_EQ(plain(noise1Type), 39.0);
    EXPECT_EQ(plain(kit::global::kFirstSelectorButton), 0.0) << "released";
    click(58 + 5, 287 + 5);  // next wraps to the first
    EXPECT_EQ(plain(noise1Type), 0.0);
    click(58 + 5, 287 + 5);
    EXPECT_EQ(plain(noise1Type), 1.0);
    EXPECT_DOUBLE_EQ(controlOf(0, 46)->GetValue(), 1.0 / 39.0);
    // A release alone (value 0) does not step.
    effect->setParameter(effect, kit::global::kFirstSelectorButton + 1, 0.0f);
    EXPECT_EQ(plain(noise1Type), 1.0);
    // Oscillator filter type, on the current sound only.
    clickSoundTab(6);
    effect->setParameter(effect, soundIndex(6, 40), 1.0f);
    click(292 + 5, 174 + 5);
    EXPECT_EQ(plain(soundIndex(6, 40)), 0.0);
    EXPECT_EQ(plain(soundIndex(0, 40)), 0.0);
    click(279 + 5, 174 + 5);
    EXPECT_EQ(plain(soundIndex(6, 40)), 12.0);
}

TEST_F(EditorLayout, ReadOutFollowsTheMouse) {
    open();
    EXPECT_STREQ(ed().ReadOutText(), "Sorvane Kettrix 4");
    gui().OnMouseOver(46 + 14, 122 + 14, IMouseMod());  // oscillator 1 pitch
    EXPECT_EQ(std::string(ed().ReadOutText()),
              kit::parameterInfo(11).name + ": " +
                  std::to_string(static_cast<int>(440.0 * std::pow(2.0, (120.0 * plain(11) - 60.0) / 12.0))) + " Hz");
    gui().OnMouseOver(5, 300, IMouseMod());  // the background has no parameter
    EXPECT_STREQ(ed().ReadOutText(), "Mouse over the controls for more info...");
}

TEST_F(EditorLayout, HostHearsAGestureAroundAClickOnASwitch) {
    open();
    RecordingHost::Instance().calls.clear();
    click(53 + 5, 93 + 5);  // oscillator 1 snap
    std::vector<int> opcodes;
    for (const HostCall& call : RecordingHost::Instance().calls)
        if (call.index == 0) opcodes.push_back(call.opcode);
    EXPECT_EQ(opcodes, (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));
    EXPECT_EQ(effect->getParameter(effect, 0), 1.0f);
    EXPECT_EQ(controlOf(0, 0)->GetValue(), 1.0);
}

}  // namespace
}  // namespace kettrix::test
