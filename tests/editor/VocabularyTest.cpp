// The enumerated settings against everything that shows or stores them:
// every selector of the editor offers its setting's values in its menu,
// numbers them as its parameter's range does and has an image frame for
// each, and the lists themselves are well formed.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "base/SettingVocabulary.h"
#include "editor/EditorImages.h"
#include "editor/EditorLayout.h"
#include "editor/MenuContents.h"
#include "editor/MenuModel.h"
#include "kit/ParameterTable.h"

namespace kettrix::editor {
namespace {

using settings::EntryKind;
using settings::Setting;

// The menu texts of a menu's numbered entries, markers taken off.
std::vector<std::string> numberedTexts(Menu menu) {
    std::vector<std::string> texts;
    for (const std::string& s : menuStrings(menu)) {
        if (!isCountedMenuString(s)) continue;
        std::string_view text = s;
        if (text.starts_with(marker::kCloses)) text.remove_prefix(marker::kCloses.size());
        texts.emplace_back(text);
    }
    return texts;
}

std::string nameOf(const settings::Entry& e) { return e.kind == EntryKind::Separator ? "<->" : e.name; }

TEST(SettingVocabulary, EverySelectorAgreesWithItsMenuParameterAndImage) {
    std::set<const Setting*> used;
    int selectors = 0;
    for (const ControlEntry& c : editorControls()) {
        if (c.kind != ControlKind::Selector) continue;
        ++selectors;
        const Setting* setting = settingOf(c.menu);
        ASSERT_NE(setting, nullptr) << "selector of parameter " << c.param << " has no setting";
        used.insert(setting);
        SCOPED_TRACE(std::string(setting->title) + ", parameter " + std::to_string(c.param));

        // The menu: one numbered entry per value, in the setting's order.
        const std::vector<std::string> texts = numberedTexts(c.menu);
        ASSERT_EQ(static_cast<int>(texts.size()), setting->count());
        for (int v = 0; v < setting->count(); ++v)
            EXPECT_EQ(texts[static_cast<std::size_t>(v)], nameOf((*setting)[v])) << "value " << v;

        // The parameter: 0 to the last value, so that value v is v / max normalised,
        // which is where the menu puts entry v.
        const kit::ParamInfo& info = kit::parameterInfo(c.param);
        EXPECT_EQ(info.min, 0.0);
        EXPECT_EQ(info.max, setting->maxValue());
        MenuModel model;
        model.feed(menuStrings(c.menu));
        EXPECT_EQ(model.valueCount(), setting->count());
        for (int v = 0; v < setting->count(); ++v)
            EXPECT_DOUBLE_EQ(model.normalizedValue(v), v / info.max) << "value " << v;

        // The image: a frame for every value the face can show.
        if (!setting->hasImage) continue;
        const ImageEntry* image = findImage(c.image);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->frames, setting->frames()) << image->name;
        EXPECT_EQ(image->height % image->frames, 0) << image->name;
    }
    EXPECT_GT(selectors, 0);
    // Every setting of the vocabulary has a selector; none is a dead copy.
    for (const Setting* s : settings::allSettings()) EXPECT_TRUE(used.count(s)) << s->title << " has no selector";
}

TEST(SettingVocabulary, ListsAreWellFormed) {
    for (const Setting* s : settings::allSettings()) {
        SCOPED_TRACE(s->title);
        ASSERT_GT(s->count(), 1);
        std::set<std::string> names, frames, closedSubmenus;
        std::string open;
        for (const settings::Entry& e : s->entries) {
            ASSERT_NE(e.name, nullptr);
            EXPECT_FALSE(std::string_view(e.name).empty());
            if (e.kind != EntryKind::Separator) {
                EXPECT_TRUE(names.insert(e.name).second) << "twice: " << e.name;
            }
            // A submenu is one run of entries: a header that came back would
            // show as a second submenu of the same name.
            const std::string submenu = e.submenu != nullptr ? e.submenu : "";
            if (submenu != open) {
                if (!open.empty()) closedSubmenus.insert(open);
                EXPECT_FALSE(closedSubmenus.count(submenu)) << "submenu split: " << submenu;
                open = submenu;
            }
        }
        // Frame texts: one per frame, none empty, none repeated (a face
        // must tell its values apart).
        for (int f = 0; f < s->frames(); ++f) {
            const std::string text(settings::frameText(*s, f));
            EXPECT_FALSE(text.empty()) << "frame " << f;
            EXPECT_TRUE(frames.insert(text).second) << "frame text twice: " << text;
        }
        EXPECT_TRUE(settings::frameText(*s, s->frames()).empty());
        EXPECT_EQ(settings::valueName(*s, 0), s->entries.front().name);
        EXPECT_TRUE(settings::valueName(*s, s->count()).empty());
        EXPECT_TRUE(settings::valueName(*s, -1).empty());
    }
}

TEST(SettingVocabulary, ValuesWithAFrameAreTheOnesAFaceShows) {
    // Every kept value has a frame; of the commands only the key-map one
    // (its face while a map is laid out); the patch selector shows nothing.
    EXPECT_EQ(settings::kFilterType.frames(), settings::kFilterType.count());
    EXPECT_EQ(settings::kNoiseType.frames(), settings::kNoiseType.count());
    EXPECT_EQ(settings::kHitType.frames(), settings::kHitType.count());
    EXPECT_EQ(settings::kKeyboardMode.frames(), 3);
    EXPECT_EQ(settings::frameText(settings::kKeyboardMode, 2), "Set Key Map");
    EXPECT_EQ(settings::kPatch.frames(), 0);
}

}  // namespace
}  // namespace kettrix::editor
