// The layout tables: counts, list indices and bindings that the editor's
// operations and other code rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "editor/EditorImages.h"
#include "editor/EditorLayout.h"
#include "kit/ParameterTable.h"

namespace kettrix::editor {
namespace {

int countIn(const std::vector<ControlEntry>& entries, Group g) {
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(), [g](const ControlEntry& c) { return c.group == g; }));
}

TEST(EditorLayout, ListHasTheMenuAtIndex1205AndEverySoundContributes112Controls) {
    const std::vector<ControlEntry> all = editorControls();
    ASSERT_EQ(static_cast<int>(all.size()), kControlCount);
    EXPECT_EQ(kMenuControlIndex, 1205);
    EXPECT_EQ(all.front().kind, ControlKind::Background);
    EXPECT_EQ(all[kMenuControlIndex].kind, ControlKind::PopupMenu);
    EXPECT_EQ(all[kMenuControlIndex].param, 1386);
    for (int s = 0; s < kit::kSoundCount; ++s) {
        const std::vector<ControlEntry> sound = soundControls(s);
        ASSERT_EQ(static_cast<int>(sound.size()), kControlsPerSound) << s;
        // Section sizes: oscillator 22 + 3 envelope groups, noise 12 + 2 groups each.
        EXPECT_EQ(countIn(sound, Group::Oscillator), 22);
        EXPECT_EQ(countIn(sound, Group::Noise1), 12);
        EXPECT_EQ(countIn(sound, Group::Noise2), 12);
        EXPECT_EQ(countIn(sound, Group::Mixer), 12);
        EXPECT_EQ(countIn(sound, Group::Velocity), 9);
        EXPECT_EQ(countIn(sound, Group::PageTabs), 3);
        EXPECT_EQ(countIn(sound, Group::Unused), 0);
        for (Group g : {Group::OscVolume, Group::OscModulation, Group::OscFilter, Group::Noise1Volume,
                        Group::Noise1Filter, Group::Noise2Volume, Group::Noise2Filter})
            EXPECT_EQ(countIn(sound, g), 6);
        for (const ControlEntry& c : sound) {
            EXPECT_EQ(c.param / kit::kSoundBlockSize, s) << "every per-sound control is bound into its own block";
            EXPECT_EQ(c.sound, s);
        }
        // The sound's controls sit in the list where the list says they do.
        for (int k = 0; k < kControlsPerSound; ++k)
            EXPECT_EQ(all[static_cast<std::size_t>(kFirstSoundControl + s * kControlsPerSound + k)].param,
                      sound[static_cast<std::size_t>(k)].param);
    }
}

TEST(EditorLayout, CreationOrderIsOscillatorNoise2Noise1MixerVelocityTabs) {
    const std::vector<ControlEntry> sound = soundControls(3);
    std::vector<Group> sections;
    for (const ControlEntry& c : sound) {
        Group g = c.group;
        // Envelope detail groups sit inside their section.
        if (g == Group::OscVolume || g == Group::OscModulation || g == Group::OscFilter) g = Group::Oscillator;
        if (g == Group::Noise1Volume || g == Group::Noise1Filter) g = Group::Noise1;
        if (g == Group::Noise2Volume || g == Group::Noise2Filter) g = Group::Noise2;
        if (sections.empty() || sections.back() != g) sections.push_back(g);
    }
    EXPECT_EQ(sections, (std::vector<Group>{Group::Oscillator, Group::Noise2, Group::Noise1, Group::Mixer,
                                            Group::Velocity, Group::PageTabs}));
    // "Hit type" is the oscillator section's last control, after its envelope groups.
    EXPECT_EQ(sound[39].param, kit::soundIndex(3, 19));
    EXPECT_EQ(sound[39].menu, Menu::HitType);
}

TEST(EditorLayout, GlobalControlsSitWhereTheEditorLooksForThem) {
    const std::vector<ControlEntry> all = editorControls();
    for (int i = 0; i < kit::kSoundCount; ++i) {
        const ControlEntry& tab = all[static_cast<std::size_t>(global_control::soundTab(i))];
        EXPECT_EQ(tab.param, 1321 + i);
        EXPECT_EQ(tab.rect.left, 35 + 77 * i);
        EXPECT_EQ(all[static_cast<std::size_t>(global_control::soundTab(i) + 1)].param, 1361 + i);
        EXPECT_EQ(all[static_cast<std::size_t>(global_control::soundTab(i) + 2)].param, 1331 + i);
        EXPECT_EQ(all[static_cast<std::size_t>(global_control::soundTab(i) + 3)].param, 1351 + i);
        EXPECT_EQ(all[static_cast<std::size_t>(global_control::soundTab(i) + 4)].param, 1341 + i);
        const ControlEntry& name = all[static_cast<std::size_t>(global_control::nameField(i))];
        EXPECT_EQ(name.kind, ControlKind::NameField);
        EXPECT_EQ(name.rect, (Rect{35 + 77 * i, 18, 110 + 77 * i, 30}));
    }
    EXPECT_EQ(all[global_control::kReadOut].kind, ControlKind::ReadOut);
    EXPECT_EQ(all[global_control::kKeyboardModeMenu].param, 1371);
    EXPECT_EQ(all[global_control::kFileCommands].kind, ControlKind::FileCommands);
    EXPECT_EQ(all[global_control::kPatchMenu].param, 125);
    EXPECT_EQ(all[global_control::kPatchMenu].menu, Menu::Patch);
    const int editorParams[] = {1, 2, 3, 57, 58, 83, 84};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(all[static_cast<std::size_t>(global_control::kFirstEnvelopeEditor + k)].param, editorParams[k]);
    std::set<int> buttons;
    for (int k = 0; k < 12; ++k) {
        const ControlEntry& b = all[static_cast<std::size_t>(global_control::kFirstPrevNext + k)];
        EXPECT_EQ(b.kind, ControlKind::Contact);
        buttons.insert(b.param);
    }
    EXPECT_EQ(buttons.size(), 12u);
    EXPECT_EQ(*buttons.begin(), 1373);
    EXPECT_EQ(*buttons.rbegin(), 1384);
    EXPECT_EQ(all[global_control::kKeyboard].param, 1372);
}

TEST(EditorLayout, EveryBitmapControlUsesALoadedImageAndSelectorsHaveAMenu) {
    for (const ControlEntry& c : editorControls()) {
        if (c.image != 0) {
            EXPECT_NE(findImage(c.image), nullptr) << c.image;
        }
        EXPECT_EQ(c.kind == ControlKind::Selector, c.menu != Menu::None) << c.param;
        EXPECT_LE(c.param, kMenuParam);
    }
    // Frame heights are whole for the images with the sizes of the table.
    const ImageEntry* noise = findImage(image::kNoiseType);
    ASSERT_NE(noise, nullptr);
    EXPECT_EQ(noise->height / noise->frames, 17);
    EXPECT_EQ(findImage(image::kSoundVolumeSlider)->frames, 71);
    EXPECT_EQ(findImage(image::kSoundVolumeSlider69)->frames, 69);
    EXPECT_EQ(findImage(131), nullptr);
}

TEST(EditorLayout, NoiseTwoIsNoiseOneMovedDown113Pixels) {
    const std::vector<ControlEntry> sound = soundControls(0);
    std::vector<ControlEntry> n1, n2;
    for (const ControlEntry& c : sound) {
        if (c.group == Group::Noise1) n1.push_back(c);
        if (c.group == Group::Noise2) n2.push_back(c);
    }
    ASSERT_EQ(n1.size(), n2.size());
    for (std::size_t k = 0; k < n1.size(); ++k) {
        EXPECT_EQ(n2[k].rect.left, n1[k].rect.left);
        EXPECT_EQ(n2[k].rect.top, n1[k].rect.top + 113);
        EXPECT_EQ(n2[k].kind, n1[k].kind);
    }
}

TEST(EditorLayout, EnvelopeShapeSelectorsSitOutsideTheWindow) {
    int outside = 0;
    for (const ControlEntry& c : soundControls(7)) {
        if (c.rect.top >= 0) continue;
        ++outside;
        EXPECT_EQ(c.kind, ControlKind::Selector);
        EXPECT_TRUE(c.menu == Menu::ReleaseShape || c.menu == Menu::AttackShapeVolume ||
                    c.menu == Menu::AttackShapeModulation);
    }
    EXPECT_EQ(outside, 14);
}

// The read-out takes a parameter's format from the first control showing it,
// so every control of one parameter must state the same one.
TEST(EditorLayout, ControlsOfOneParameterStateOneReadOutFormat) {
    std::map<int, ReadOutFormat> stated;
    for (const ControlEntry& c : editorControls()) {
        if (c.param < 0) continue;
        const auto [it, first] = stated.emplace(c.param, c.readOut);
        EXPECT_TRUE(first || it->second == c.readOut) << "parameter " << c.param;
    }
    // Every sound shows its parameters alike.
    for (int s = 1; s < kit::kSoundCount; ++s)
        for (int off = 0; off < kit::kSoundBlockSize; ++off) {
            const auto mine = stated.find(kit::soundIndex(s, off)), first = stated.find(kit::soundIndex(0, off));
            if (mine != stated.end() && first != stated.end()) {
                EXPECT_EQ(mine->second, first->second) << s << "/" << off;
            }
        }
}

// Each previous/next pair sits just left of and above the selector it steps,
// on every row: the pairing of buttons and selectors is the layout's.
TEST(EditorLayout, PreviousNextButtonsSitBesideTheSelectorTheyStep) {
    const std::vector<ControlEntry> all = editorControls();
    const auto find = [&all](int param, ControlKind kind) -> const ControlEntry* {
        for (const ControlEntry& c : all)
            if (c.param == param && c.kind == kind) return &c;
        return nullptr;
    };
    for (int k = 0; k < layout::kSteppedSelectorCount; ++k) {
        const int off = layout::kSteppedSelectors[k];
        const ControlEntry* selector = find(kit::soundIndex(0, off), ControlKind::Selector);
        const ControlEntry* previous = find(layout::previousButtonOf(off), ControlKind::Contact);
        const ControlEntry* next = find(layout::previousButtonOf(off) + 1, ControlKind::Contact);
        ASSERT_TRUE(selector && previous && next) << off;
        EXPECT_EQ(selector->rect.left - previous->rect.left, 27) << off;
        EXPECT_EQ(selector->rect.top - previous->rect.top, 4) << off;
        EXPECT_EQ(next->rect.left - previous->rect.left, 13) << off;
        EXPECT_TRUE(selector->menu == Menu::HitType || selector->menu == Menu::FilterType ||
                    selector->menu == Menu::NoiseType)
            << off;
    }
}

}  // namespace
}  // namespace kettrix::editor
