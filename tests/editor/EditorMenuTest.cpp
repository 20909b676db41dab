// The shared pop-up menu opened from the selectors and name fields, clicked
// at its rows.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "EditorFixture.h"
#include "editor/IPopupControl.h"
#include "editor/TextEntry.h"

namespace kettrix::test {
namespace {

using kit::soundIndex;

class EditorMenu : public EditorFixture {
protected:
    EditorMenu() { open(); }

    // Centre of row `row` of column `column` of the open menu.
    void clickRow(int column, int row) {
        const IRECT& r = menuRect();
        click(r.L + 26 + column * 236 + 100, r.T + 49 + row * 27 + 13);
    }
    IRECT menuRect() {
        menu().Layout();
        return menu().MenuRect();
    }
    bool menuOpen() { return !menu().IsHidden(); }
    std::string highlighted() {
        const auto& m = menu().Model();
        return m.selectedItem() >= 0 ? m.item(m.selectedItem()).text : std::string();
    }
    std::string openHeader() {
        const auto& m = menu().Model();
        return m.selectedHeader() >= 0 ? m.item(m.selectedHeader()).text : std::string();
    }
    void openNoise1Type() { click(72 + 20, 291 + 5); }
};

TEST_F(EditorMenu, NoiseTypeFromASubmenuKeepsTheMenuOpenForAnotherTry) {
    const int noise1Type = soundIndex(0, 46);
    openNoise1Type();
    ASSERT_TRUE(menuOpen());
    EXPECT_EQ(menu().TargetParam(), noise1Type);
    EXPECT_EQ(menuRect().W(), 521) << "a menu with submenus uses the large background";
    EXPECT_EQ(highlighted(), "OFF");
    clickRow(0, 4);  // "Snare" header: opens its column, changes nothing
    EXPECT_EQ(openHeader(), "Snare");
    EXPECT_EQ(plain(noise1Type), 0.0);
    EXPECT_EQ(highlighted(), "OFF");
    clickRow(1, 1);  // "Snare 909"
    EXPECT_EQ(plain(noise1Type), 10.0);
    EXPECT_TRUE(menuOpen());
    EXPECT_EQ(highlighted(), "Snare 909");
    EXPECT_DOUBLE_EQ(controlOf(0, 46)->GetValue(), 10.0 / 39.0);
    clickRow(0, 7);  // "Clap"
    clickRow(1, 2);  // "Clap 3"
    EXPECT_EQ(plain(noise1Type), 30.0);
    EXPECT_EQ(highlighted(), "Clap 3");
    // A top-level entry closes the submenu column.
    clickRow(0, 1);
    EXPECT_EQ(plain(noise1Type), 1.0);
    EXPECT_EQ(openHeader(), "");
    EXPECT_TRUE(menuOpen());
    // A click outside the rows closes the menu and changes nothing.
    click(5, 5);
    EXPECT_FALSE(menuOpen());
    EXPECT_EQ(plain(noise1Type), 1.0);
    // The menu no longer takes clicks: the selector under it opens it again.
    openNoise1Type();
    EXPECT_TRUE(menuOpen());
}

TEST_F(EditorMenu, OpeningOnAValueInASubmenuShowsThatSubmenu) {
    effect->setParameter(effect, soundIndex(0, 46), 24.0f / 39.0f);  // "909", in "Hihats"
    openNoise1Type();
    EXPECT_EQ(openHeader(), "Hihats");
    EXPECT_EQ(highlighted(), "909");
    // The second column shows the submenu's rows with the entry highlighted.
    const auto rows = menu().Model().column(1);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_TRUE(menu().Model().item(rows[3].item).highlighted);
}

TEST_F(EditorMenu, PlainMenusUseTheSmallBackgroundAndShapeMenusSitNextToTheEnvelope) {
    click(722 + 10, 290 + 5);  // effect type
    ASSERT_TRUE(menuOpen());
    const IRECT centred = menuRect();
    EXPECT_EQ(centred, IRECT(419 - 143, 278 - 186, 419 - 143 + 287, 278 - 186 + 372));
    clickRow(0, 2);  // "Drive"
    EXPECT_EQ(plain(soundIndex(0, 124)), 2.0);
    EXPECT_TRUE(menuOpen());
    click(5, 5);
    // The envelope editor opens the hidden shape selectors (they sit outside the window).
    auto* attack = dynamic_cast<IPopupControl*>(controlOf(0, 28));
    ASSERT_NE(attack, nullptr);
    attack->OpenMenu();
    ASSERT_TRUE(menuOpen());
    EXPECT_EQ(menuRect().L, centred.L - 143);
    EXPECT_EQ(menuRect().T, centred.T - 17);
    clickRow(0, 3);  // "S Curve"
    EXPECT_EQ(plain(soundIndex(0, 28)), 3.0);
}

TEST_F(EditorMenu, NameFieldsSelectTheirSoundAndOpenThePatchMenu) {
    click(35 + 77 * 4 + 30, 24);  // the name of sound 4
    EXPECT_EQ(ed().currentSound(), 4);
    EXPECT_FALSE(menuOpen());
    rightClick(35 + 77 * 6 + 30, 24);
    EXPECT_EQ(ed().currentSound(), 6);
    ASSERT_TRUE(menuOpen());
    EXPECT_EQ(menu().TargetParam(), 125);
    EXPECT_EQ(menu().TargetControl(), editor::global_control::kFileCommands);
    EXPECT_EQ(menu().Model().item(0).text, "Load");
    // "Load" sets the value and closes; the dialog is cancelled here.
    clickRow(0, 0);
    EXPECT_FALSE(menuOpen());
    EXPECT_DOUBLE_EQ(plain(125), 1.0);
}

TEST_F(EditorMenu, RenamingASoundRenamesItsChokeEntryEverywhere) {
    // A double click opens the text entry over the name.
    gui().OnMouseDblClick(35 + 77 * 3 + 30, 24, IMouseMod(true));
    ASSERT_EQ(gui().GetTextEntry().control_, ed().NameField(3));
    EXPECT_EQ(gui().GetTextEntry().initial_, "CLAP");
    gui().CommitTextEntry("RIM");
    EXPECT_EQ(plug().Kit().soundName(3), "RIM");
    EXPECT_EQ(ed().NameField(3)->GetTextString(), "RIM");
    auto* choke = dynamic_cast<IPopupControl*>(controlOf(7, kit::offset::kChoke));
    ASSERT_NE(choke, nullptr);
    EXPECT_EQ(choke->ItemTexts().at(4), "RIM");
    EXPECT_EQ(choke->ItemTexts().size(), 11u);
    // An empty name is kept once a name was there; an overlong one is cut.
    gui().OnMouseDblClick(35 + 77 * 3 + 30, 24, IMouseMod(true));
    gui().CommitTextEntry("");
    EXPECT_EQ(plug().Kit().soundName(3), "");
    gui().OnMouseDblClick(35 + 77 * 3 + 30, 24, IMouseMod(true));
    gui().CommitTextEntry(std::string(1000, 'N').c_str());
    EXPECT_EQ(plug().Kit().soundName(3).size(), TextEntry::kMaxNameLength);
}

TEST_F(EditorMenu, KeyboardModeEntriesCloseOnlyWhenMarked) {
    click(255 + 20, 525 + 5);
    ASSERT_TRUE(menuOpen());
    clickRow(0, 1);  // "User (Lock)"
    EXPECT_EQ(plain(kit::global::kKeyboardMode), 1.0);
    EXPECT_TRUE(menuOpen());
    clickRow(0, 2);  // "Set to GM Drum Map" (value 3: the separator took 2)
    EXPECT_FALSE(menuOpen());
}

TEST_F(EditorMenu, DrawingDarkensTheEditorAndDrawsTheMenuOverIt) {
    gui().RenderAll();
    const LICE_pixel before = gui().Pixel(5, 300);
    openNoise1Type();
    gui().Tick();
    const LICE_pixel after = gui().Pixel(5, 300);
    auto red = [](LICE_pixel p) { return static_cast<int>((p >> 16) & 0xff); };
    EXPECT_LE(red(after), red(before));
    if (red(before) > 20) {
        EXPECT_LT(red(after), red(before));
    }
    click(5, 5);
    gui().Tick();
    EXPECT_EQ(gui().Pixel(5, 300) & 0xffffffu, before & 0xffffffu) << "closing restores what was under the shade";
}

// The selectors of sound 0 with the offsets they edit (the shape selectors
// are hidden; the envelope editors open them).
std::vector<std::pair<int, IPopupControl*>> soundSelectors(editor::KettrixEditor& ed, IGraphics& graphics) {
    std::vector<std::pair<int, IPopupControl*>> out;
    for (int off = 0; off < kit::kSoundBlockSize; ++off) {
        const int index = ed.ControlOf(0, off);
        if (index < 0) continue;
        if (auto* selector = dynamic_cast<IPopupControl*>(graphics.GetControl(index)))
            if (selector->ParamIdx() == soundIndex(0, off)) out.emplace_back(off, selector);
    }
    return out;
}

// The engine truncates a selector's plain value: "Hit type" 4.754 plays 4.
// The menu's highlight and the selector's face must name that entry, for
// fractional values (the randomizers store them) and for whole values after
// their normalised round trip (31 / 39 · 39 lands just below 31).
TEST_F(EditorMenu, HighlightAndFaceNameTheEntryTheEngineTruncatesTo) {
    auto highlightedValue = [&] {
        const auto& m = menu().Model();
        return m.selectedItem() >= 0 ? m.item(m.selectedItem()).valueId : -1;
    };
    const auto selectors = soundSelectors(ed(), plug().Graphics());
    ASSERT_GE(selectors.size(), 15u);
    for (const auto& [off, selector] : selectors) {
        const int index = soundIndex(0, off);
        const int max = static_cast<int>(kit::parameterInfo(index).max);
        SCOPED_TRACE(kit::parameterInfo(index).name);
        for (int k = 0; k <= max; ++k) {
            // A whole value reaches the selector in its normalised form.
            plug().Kit().setControlValue(index, k);
            ASSERT_EQ(plain(index), k);
            selector->OpenMenu();
            EXPECT_EQ(highlightedValue(), k);
            EXPECT_EQ(selector->FaceFrame(), k + 1);
            for (double fraction : {0.61, 0.754, 0.999}) {
                if (k == max) break;
                plug().Kit().setControlValue(index, k + fraction);  // as a randomizer stores it
                selector->OpenMenu();
                EXPECT_EQ(highlightedValue(), k) << k + fraction;
                EXPECT_EQ(selector->FaceFrame(), k + 1) << k + fraction;
            }
        }
        menu().Hide(true);
    }
}

// "Randomize (All)" from the Patch menu, repeated: every type selector then
// highlights and shows the entry the sound plays.
TEST_F(EditorMenu, AfterRandomizingEverySelectorShowsWhatPlays) {
    const auto selectors = soundSelectors(ed(), plug().Graphics());
    int fractional = 0;
    for (int round = 0; round < 8; ++round) {
        rightClick(35 + 30, 24);  // the first sound's name: the Patch menu
        ASSERT_TRUE(menuOpen());
        clickRow(0, 4);  // "Randomize (All)"
        click(5, 5);
        for (const auto& [off, selector] : selectors) {
            const double v = plain(soundIndex(0, off));
            fractional += v != std::trunc(v) ? 1 : 0;
            selector->OpenMenu();
            EXPECT_EQ(menu().Model().item(menu().Model().selectedItem()).valueId, static_cast<int>(v))
                << kit::parameterInfo(soundIndex(0, off)).name << " " << v;
            EXPECT_EQ(selector->FaceFrame(), static_cast<int>(v) + 1) << v;
            menu().Hide(true);
        }
    }
    EXPECT_GT(fractional, 0) << "the randomizer stores fractional selector values";
}

// Names are typed by the user: a name that looks like a menu marker is still
// a plain entry, and every choke entry chokes its own sound.
TEST_F(EditorMenu, SoundNamesThatLookLikeMarkersAreShownAndChosenAsTyped) {
    const std::vector<std::string> names = {"<SUB>FX", "</SUB>", "<CLS>Hat", "<->", "<SEP>", "<SUB>"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int s = static_cast<int>(i) + 1;
        gui().OnMouseDblClick(35 + 77 * s + 30, 24, IMouseMod(true));
        gui().OnMouseUp(35 + 77 * s + 30, 24, IMouseMod(true));
        gui().CommitTextEntry(names[i].c_str());
        ASSERT_EQ(plug().Kit().soundName(s), names[i]);
    }
    clickSoundTab(0);
    click(764 + 10, 333 + 5);  // the choke selector
    ASSERT_TRUE(menuOpen());
    const auto rows = menu().Model().column(0);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_FALSE(menu().Model().hasSubmenus());
    EXPECT_EQ(menu().Model().item(rows[0].item).text, "OFF");
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(menu().Model().item(rows[static_cast<std::size_t>(n)].item).text, plug().Kit().soundName(n - 1));
    const int choke = soundIndex(0, kit::offset::kChoke);
    for (int n = 10; n >= 0; --n) {
        clickRow(0, n);
        EXPECT_TRUE(menuOpen()) << "no entry closes the menu";
        EXPECT_EQ(plain(choke), n) << "entry " << n;
    }
}

// The menu's own parameter ("Reserve", a placeholder) is never touched:
// hovering, wheeling, clicking and double clicking the open menu neither
// move it, show it in the read-out nor tell the host about it.
TEST_F(EditorMenu, TheMenuNeverMovesShowsOrReportsItsPlaceholderParameter) {
    const int placeholder = menu().ParamIdx();
    const std::string placeholderName = kit::parameterInfo(placeholder).name;
    const double before = plain(placeholder);
    RecordingHost::Instance().calls.clear();
    openNoise1Type();
    ASSERT_TRUE(menuOpen());
    const IRECT r = menuRect();
    for (int y = 0; y < 556; y += 37) {
        for (int x = 0; x < 839; x += 41) {
            gui().OnMouseOver(x, y, IMouseMod());
            EXPECT_EQ(std::string(ed().ReadOutText()).find(placeholderName), std::string::npos) << x << "," << y;
        }
    }
    for (int d : {1, -1, 3}) gui().OnMouseWheel(r.L + 100, r.T + 100, IMouseMod(), d);
    gui().OnMouseWheel(5, 5, IMouseMod(), 1);
    clickRow(0, 4);  // a header
    // A double click's second press on "Cymbal Generator", then its release.
    gui().OnMouseDblClick(r.L + 126, r.T + 49 + 27 + 13, IMouseMod(true));
    gui().OnMouseUp(r.L + 126, r.T + 49 + 27 + 13, IMouseMod(true));
    click(5, 5);  // closes it
    EXPECT_FALSE(menuOpen());
    gui().OnMouseOver(300, 300, IMouseMod());
    EXPECT_EQ(std::string(ed().ReadOutText()).find(placeholderName), std::string::npos);
    EXPECT_EQ(plain(placeholder), before);
    for (const HostCall& call : RecordingHost::Instance().calls)
        EXPECT_FALSE(call.index == placeholder &&
                     (call.opcode == audioMasterAutomate || call.opcode == audioMasterBeginEdit ||
                      call.opcode == audioMasterEndEdit))
            << "opcode " << call.opcode;
    EXPECT_EQ(plain(soundIndex(0, 46)), 1.0) << "the double-clicked entry set the noise type";
}

}  // namespace
}  // namespace kettrix::test
