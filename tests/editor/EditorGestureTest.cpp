// What a host sees of the editor's changes: every parameter change the
// editor makes reaches the host inside a begin/end edit gesture on that
// parameter, whichever control the user works (knobs, switches, tabs, name
// fields, menus, envelope editors, the keyboard's range).
#include <map>
#include <sstream>
#include <string>

#include "EditorFixture.h"

namespace kettrix::test {
namespace {

// Follows the host calls: which parameters have an open gesture, and every
// automation that arrived outside one.
class GestureLedger {
public:
    // Reads the calls not yet seen; returns the faults found in them.
    std::string Read(const std::vector<HostCall>& calls) {
        std::ostringstream faults;
        for (; seen_ < calls.size(); ++seen_) {
            const HostCall& call = calls[seen_];
            if (call.opcode == audioMasterBeginEdit) ++open_[call.index];
            if (call.opcode == audioMasterEndEdit) {
                if (open_[call.index] <= 0) faults << "end edit of " << call.index << " without a begin; ";
                --open_[call.index];
            }
            if (call.opcode == audioMasterAutomate && open_[call.index] <= 0)
                faults << "automation of " << call.index << " outside a gesture; ";
        }
        return faults.str();
    }
    // Gestures still open (every user action has ended when this is asked).
    std::string Open() const {
        std::ostringstream out;
        for (const auto& [index, count] : open_)
            if (count != 0) out << index << " (" << count << ") ";
        return out.str();
    }

private:
    std::map<int, int> open_;
    std::size_t seen_ = 0;
};

class EditorGestures : public EditorFixture {
protected:
    EditorGestures() { open(); }

    const std::vector<HostCall>& calls() { return RecordingHost::Instance().calls; }
    int automations() {
        int n = 0;
        for (const HostCall& call : calls()) n += call.opcode == audioMasterAutomate ? 1 : 0;
        return n;
    }
    bool menuOpen() { return !menu().IsHidden(); }
    // Chooses the second row of the open menu's first column, then closes it.
    void chooseFromMenu() {
        menu().Layout();
        const IRECT& r = menu().MenuRect();
        click(r.L + 26 + 100, r.T + 49 + 27 + 13);
        if (menuOpen()) click(5, 5);
    }
    // Everything a user does to a control: click, wheel, drag, double click
    // (confirming a text entry if one opens), and a right drag.
    void workControl(const IRECT& rect) {
        const int x = std::min((rect.L + rect.R) / 2, editor::kEditorWidth - 1);
        const int y = (rect.T + rect.B) / 2;
        click(x, y);
        if (menuOpen()) chooseFromMenu();
        gui().OnMouseWheel(x, y, IMouseMod(), 1);
        gui().OnMouseWheel(x, y, IMouseMod(), -1);
        gui().Drag(x, y, x + 3, y - 12, 3);
        if (menuOpen()) chooseFromMenu();
        gui().OnMouseDblClick(x, y, IMouseMod(true));
        gui().OnMouseUp(x, y, IMouseMod(true));
        if (gui().GetTextEntry().control_ != nullptr) gui().CommitTextEntry("Typed");
        if (menuOpen()) chooseFromMenu();
        gui().Drag(x, y, x + 30, y, 3, IMouseMod(false, true));
        if (menuOpen()) chooseFromMenu();
    }
};

TEST_F(EditorGestures, EveryChangeFromEveryControlReachesTheHostInsideAGesture) {
    GestureLedger ledger;
    RecordingHost::Instance().calls.clear();
    // The controls of the shown sound and the global ones, as they are shown
    // while the sweep goes on (tabs change what is shown).
    for (int i = 1; i < editor::kMenuControlIndex; ++i) {
        IControl* c = control(i);
        if (c->IsHidden() || c->IsGrayed() || !c->GetRECT().Intersects(IRECT(0, 0, 839, 556))) continue;
        SCOPED_TRACE("control " + std::to_string(i) + ", parameter " + std::to_string(c->ParamIdx()));
        workControl(c->GetRECT());
        EXPECT_EQ(ledger.Read(calls()), "");
        EXPECT_EQ(ledger.Open(), "");
    }
    EXPECT_GT(automations(), 500) << "the sweep changed parameters";
}

// The shape menus of the envelope editors (right click), the Patch menu's
// randomizer and the keyboard mode's key maps change many parameters at once.
TEST_F(EditorGestures, MenuCommandsAndEnvelopeMenusStayInsideGestures) {
    GestureLedger ledger;
    RecordingHost::Instance().calls.clear();
    rightClick(403 + 10, 150);  // attack-shape menu of the oscillator volume envelope
    ASSERT_TRUE(menuOpen());
    chooseFromMenu();
    rightClick(35 + 30, 24);  // the Patch menu from the first name
    ASSERT_TRUE(menuOpen());
    menu().Layout();
    click(menu().MenuRect().L + 126, menu().MenuRect().T + 49 + 4 * 27 + 13);  // "Randomize (All)"
    click(5, 5);
    click(255 + 20, 525 + 5);  // "Keyboard Mode"
    ASSERT_TRUE(menuOpen());
    menu().Layout();
    click(menu().MenuRect().L + 126, menu().MenuRect().T + 49 + 2 * 27 + 13);  // "Set to GM Drum Map"
    EXPECT_EQ(ledger.Read(calls()), "");
    EXPECT_EQ(ledger.Open(), "");
    EXPECT_GT(automations(), 2);
}

// A sound's tab and the name over it select the sound: the host sees the
// "Show Sound" change inside a gesture (the name field has no parameter of
// its own, so no click on it was bracketed).
TEST_F(EditorGestures, SelectingASoundByItsTabOrNameIsAGesture) {
    GestureLedger ledger;
    RecordingHost::Instance().calls.clear();
    for (int s = 0; s < kit::kSoundCount; ++s) {
        SCOPED_TRACE(s);
        clickSoundTab(s);
        EXPECT_EQ(ed().currentSound(), s);
        click(35 + 77 * ((s + 1) % kit::kSoundCount) + 30, 24);  // the next sound's name
        EXPECT_EQ(ed().currentSound(), (s + 1) % kit::kSoundCount);
        EXPECT_EQ(ledger.Read(calls()), "");
        EXPECT_EQ(ledger.Open(), "");
    }
    EXPECT_GE(automations(), kit::kSoundCount);
}

}  // namespace
}  // namespace kettrix::test
