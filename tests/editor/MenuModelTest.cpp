// The pop-up menu's item store, value numbering, layout and click rules.
#include <gtest/gtest.h>

#include "editor/MenuContents.h"
#include "editor/MenuModel.h"

namespace kettrix::editor {
namespace {

MenuModel fed(Menu menu) {
    MenuModel m;
    const std::vector<std::string> strings = menuStrings(menu);
    m.feed(strings);
    return m;
}

int entries(Menu menu) {
    int n = 0;
    for (const std::string& s : menuStrings(menu)) n += isCountedMenuString(s) ? 1 : 0;
    return n;
}

TEST(MenuContents, EveryMenuNumbersItsValuesLikeItsSetting) {
    EXPECT_TRUE(menuStrings(Menu::None).empty());
    for (Menu m : {Menu::OscillatorType, Menu::FilterType, Menu::HitType, Menu::NoiseType, Menu::EnvelopeMode,
                   Menu::AttackShapeVolume, Menu::AttackShapeModulation, Menu::ReleaseShape, Menu::EffectType,
                   Menu::OutputChannel, Menu::Choke, Menu::KeyboardMode, Menu::Patch}) {
        ASSERT_NE(settingOf(m), nullptr);
        EXPECT_EQ(entries(m), settingOf(m)->count());
        EXPECT_EQ(fed(m).valueCount(), entries(m));
    }
}

TEST(MenuModel, EntriesAndSeparatorsShareTheNumbering) {
    const MenuModel patch = fed(Menu::Patch);
    // Load 1, Save 2, Copy 4, Paste 5, Randomize 7 and 8: the separators use 0, 3 and 6.
    std::vector<int> ids;
    for (int i = 0; i < patch.itemCount(); ++i) ids.push_back(patch.item(i).valueId);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 4, 5, 7, 8}));
    EXPECT_TRUE(patch.item(0).closes);
    EXPECT_EQ(patch.item(0).text, "Load");
    EXPECT_FALSE(patch.item(4).closes);
    EXPECT_DOUBLE_EQ(patch.normalizedValue(4), 0.5);

    const MenuModel hit = fed(Menu::HitType);
    const MenuItem& last = hit.item(hit.itemCount() - 1);
    EXPECT_EQ(last.text, "Hit Generator");
    EXPECT_EQ(last.valueId, 18);
    EXPECT_EQ(last.parentId, 0) << "\"</SUB>\" returns to the top level";
    EXPECT_TRUE(hit.hasSubmenus());
    EXPECT_EQ(hit.item(1).text, "Analog");
    EXPECT_TRUE(hit.item(1).isHeader);
    EXPECT_EQ(hit.item(1).parentId, 1);
    EXPECT_EQ(hit.item(2).parentId, 1);
}

TEST(MenuModel, NoSeparatorLineOnTheFirstTwoRecords) {
    // Patch: the pending separator lands on "Load", record 0: no line. "Copy"
    // (record 2) and "Randomize (All)" (record 4) get one.
    const std::vector<MenuRow> patch = fed(Menu::Patch).column(0);
    ASSERT_EQ(patch.size(), 6u);
    EXPECT_TRUE(fed(Menu::Patch).item(0).separatorBefore);
    EXPECT_FALSE(patch[0].separatorLine);
    EXPECT_FALSE(patch[1].separatorLine);
    EXPECT_TRUE(patch[2].separatorLine);
    EXPECT_FALSE(patch[3].separatorLine);
    EXPECT_TRUE(patch[4].separatorLine);
    // Keyboard Mode: "Set to GM Drum Map" is record 2 and gets its line.
    const std::vector<MenuRow> keyboard = fed(Menu::KeyboardMode).column(0);
    ASSERT_EQ(keyboard.size(), 4u);
    EXPECT_TRUE(keyboard[2].separatorLine);
    EXPECT_FALSE(keyboard[1].separatorLine);
}

TEST(MenuModel, LayoutCentresTheMenuAndMovesTheShapeMenus) {
    const Rect small = fed(Menu::EffectType).bounds();
    EXPECT_EQ(small, (Rect{419 - 143, 278 - 186, 419 - 143 + 287, 278 - 186 + 372}));
    const Rect large = fed(Menu::NoiseType).bounds();
    EXPECT_EQ(large.left, 419 - 260);
    EXPECT_EQ(large.right - large.left, 521);
    for (Menu shape : {Menu::AttackShapeVolume, Menu::AttackShapeModulation, Menu::ReleaseShape}) {
        const Rect moved = fed(shape).bounds();
        EXPECT_EQ(moved.left, small.left - 143);
        EXPECT_EQ(moved.top, small.top - 17);
    }
    // The envelope mode menu is not a shape menu.
    EXPECT_EQ(fed(Menu::EnvelopeMode).bounds(), small);
}

TEST(MenuModel, SelectingAValueInASubmenuShowsThatSubmenu) {
    MenuModel noise = fed(Menu::NoiseType);
    const double last = settings::kNoiseType.maxValue();
    noise.selectValue(10.0 / last);  // "Snare 909": the "Snare" submenu
    ASSERT_GE(noise.selectedItem(), 0);
    EXPECT_EQ(noise.item(noise.selectedItem()).text, "Snare 909");
    EXPECT_TRUE(noise.item(noise.selectedItem()).highlighted);
    ASSERT_GE(noise.selectedHeader(), 0);
    EXPECT_EQ(noise.item(noise.selectedHeader()).text, "Snare");
    const std::vector<MenuRow> second = noise.column(1);
    ASSERT_EQ(second.size(), 7u);
    EXPECT_EQ(second[0].cell.left - noise.column(0)[0].cell.left, 217 + 19);
    // Every value selects its own entry (no rounding down to the one before).
    for (int v = 0; v <= settings::kNoiseType.maxValue(); ++v) {
        noise.selectValue(v / last);
        ASSERT_GE(noise.selectedItem(), 0);
        EXPECT_EQ(noise.item(noise.selectedItem()).valueId, v);
    }
}

TEST(MenuModel, ClicksResolveByGridCell) {
    MenuModel noise = fed(Menu::NoiseType);
    noise.selectValue(0.0);
    const Rect b = noise.bounds();
    const int x0 = b.left + 26 + 5, y0 = b.top + 49 + 5;
    // Row 3 of the first column is the "Noise" header.
    MenuClick header = noise.click(x0, y0 + 3 * 27);
    EXPECT_EQ(header.kind, MenuClick::Kind::Header);
    EXPECT_EQ(noise.item(noise.selectedHeader()).text, "Noise");
    EXPECT_TRUE(noise.item(0).highlighted) << "a header click leaves the chosen entry highlighted";
    // Row 1 of the second column: "LP Noise".
    MenuClick entry = noise.click(x0 + 236, y0 + 27);
    EXPECT_EQ(entry.kind, MenuClick::Kind::Entry);
    EXPECT_EQ(entry.valueId, 4);
    EXPECT_FALSE(noise.item(0).highlighted);
    // A top-level entry closes the submenu column.
    MenuClick top = noise.click(x0, y0 + 27);
    EXPECT_EQ(top.valueId, 1);
    EXPECT_LT(noise.selectedHeader(), 0);
    EXPECT_TRUE(noise.column(1).empty());
    // Left of the items, above them, below the last row, beyond the second column: outside.
    EXPECT_EQ(noise.click(x0 - 10, y0).kind, MenuClick::Kind::Outside);
    EXPECT_EQ(noise.click(x0, y0 - 10).kind, MenuClick::Kind::Outside);
    EXPECT_EQ(noise.click(x0, y0 + 10 * 27).kind, MenuClick::Kind::Outside);
    EXPECT_EQ(noise.click(x0 + 2 * 236, y0).kind, MenuClick::Kind::Outside);
}

TEST(MenuModel, TextsAreBoundedAndTheStoreIsLimited) {
    MenuModel m;
    m.addTopItem(std::string(1000, 'x'));
    EXPECT_EQ(m.item(0).text.size(), MenuModel::kMaxTextLength);
    for (int i = 0; i < 2000; ++i) m.addTopItem("y");
    EXPECT_EQ(m.itemCount(), MenuModel::kMaxItems);
    m.clear();
    EXPECT_EQ(m.itemCount(), 0);
    EXPECT_EQ(m.valueCount(), 0);
    EXPECT_FALSE(m.hasSubmenus());
}

}  // namespace
}  // namespace kettrix::editor
