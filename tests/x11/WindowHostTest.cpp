// The X11 window host with test controls, driven like a user drives it: a
// host's parent window, the host's idle calls, and synthetic mouse and key
// input through the X server (XTest).
// GoogleTest before the X11 headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include "IGraphicsLinux.h"
#include "X11HostWindow.h"
#include "XTestInput.h"

#include <sys/stat.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

using namespace kettrix;
using kettrix::render::RgbImage;
using kettrix::render::X11HostWindow;
using kettrix::test::XTestInput;

namespace {

const std::string kScratch = KETTRIX_TEST_SCRATCH_DIR;

// The plug-in as the framework sees it: eight parameters 0..1 and a log of
// what the editor told it.
struct TestPlug : IGraphicsPlug {
    std::recursive_mutex lock;
    double values[8] = {};
    std::vector<std::string> calls;

    void SetParameterFromEditor(int i, double v) override {
        values[i] = v;
        calls.push_back("set " + std::to_string(i));
    }
    void BeginHostParamEdit(int i) override { calls.push_back("begin " + std::to_string(i)); }
    void EndHostParamEdit(int i) override { calls.push_back("end " + std::to_string(i)); }
    bool NormalizedFromPlain(int i, double plain, double* normalized) const override {
        if (i < 0 || i >= 8) return false;
        *normalized = plain;  // every parameter runs 0..1
        return true;
    }
    bool ParamFromText(int i, const char* text, double* normalized) const override {
        if (i < 0 || i >= 8) return false;
        *normalized = std::strtod(text, nullptr);
        return true;
    }
    void LockPlug() override { lock.lock(); }
    void UnlockPlug() override { lock.unlock(); }
};

// A rectangle whose colour shows its value; logs the events it gets.
class PaintControl : public IControl {
public:
    enum Kind { kSwitch, kKnob, kName, kFile };
    PaintControl(TestPlug* plug, const IRECT& r, int param, Kind kind, IColor colour)
        : IControl(plug, r, param), kind_(kind), colour_(colour) {}

    bool Draw(IGraphics* g) override {
        const double v = GetValue();
        g->FillIRect(IColor(255, static_cast<int>(colour_.R * (0.3 + 0.7 * v)),
                            static_cast<int>(colour_.G * (0.3 + 0.7 * v)), colour_.B),
                     GetRECT());
        return true;
    }
    void OnMouseDown(int, int, const IMouseMod& mod) override {
        log.push_back(mod.R ? "down right" : "down");
        if (kind_ == kSwitch) {
            value_ = value_ < 0.5 ? 1.0 : 0.0;
            SetDirty();
        } else if (kind_ == kFile) {
            std::string path;
            chosen = GetGUI()->PromptForFile(path, IGraphics::kFileOpen, folder.c_str(), "k4s") ? path : "-";
        }
    }
    void OnMouseUp(int, int, const IMouseMod&) override { log.push_back("up"); }
    void OnMouseDrag(int, int, int, int dY, const IMouseMod&) override {
        if (kind_ != kKnob) return;
        value_ -= dY / 100.0;
        SetDirty();
    }
    void OnMouseDblClick(int, int, const IMouseMod&) override {
        log.push_back("dblclick");
        if (kind_ == kName) GetGUI()->CreateTextEntry(this, GetText(), GetRECT(), name.c_str(), -1);
    }
    void OnMouseWheel(int, int, const IMouseMod&, double d) override { log.push_back("wheel " + std::to_string(d)); }
    bool OnKeyDown(int, int, int key) override {
        keys.push_back(key);
        return key != KEY_ALPHA_Z;  // 'z' is left to the host
    }
    void OnMouseOver(int, int, const IMouseMod&) override { ++overs; }
    void OnMouseOut() override { ++outs; }
    void TextFromTextEntry(const char* text) override { name = text; }

    std::vector<std::string> log;
    std::vector<int> keys;
    int overs = 0, outs = 0;
    std::string name = "OLD";
    std::string folder;
    std::string chosen;

private:
    Kind kind_;
    IColor colour_;
};

constexpr int kW = 839, kH = 556;
const IRECT kSwitchRect(20, 20, 80, 60), kKnobRect(120, 20, 180, 120), kNameRect(220, 20, 400, 44),
    kFileRect(450, 20, 500, 60);

struct Editor {
    TestPlug plug;
    IGraphicsLinux graphics{&plug, kW, kH};
    PaintControl* background;
    PaintControl* onOff;
    PaintControl* knob;
    PaintControl* nameField;
    PaintControl* file;

    Editor() {
        background = new PaintControl(&plug, IRECT(0, 0, kW, kH), -1, PaintControl::kSwitch, IColor(255, 40, 60, 90));
        graphics.AttachControl(background);
        onOff = new PaintControl(&plug, kSwitchRect, 0, PaintControl::kSwitch, IColor(255, 250, 120, 30));
        graphics.AttachControl(onOff);
        knob = new PaintControl(&plug, kKnobRect, 1, PaintControl::kKnob, IColor(255, 60, 250, 120));
        graphics.AttachControl(knob);
        nameField = new PaintControl(&plug, kNameRect, -1, PaintControl::kName, IColor(255, 200, 200, 200));
        graphics.AttachControl(nameField);
        file = new PaintControl(&plug, kFileRect, -1, PaintControl::kFile, IColor(255, 90, 90, 250));
        graphics.AttachControl(file);
        graphics.HandleMouseOver(true);
    }

    // The host's idle loop for `ms` milliseconds.
    void Pump(int ms = 100) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            graphics.Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

bool SurfaceMatchesWindow(IGraphics& graphics, const RgbImage& shot, int* mismatches) {
    LICE_SysBitmap* surface = graphics.GetDrawBitmap();
    *mismatches = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if ((LICE_GetPixel(surface, x, y) & 0xffffffu) != shot.at(x, y)) ++*mismatches;
    return *mismatches == 0;
}

std::string Join(const std::vector<std::string>& items) {
    std::string s;
    for (const auto& i : items) s += i + "; ";
    return s;
}

class WindowHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(input.Available()) << "no XTest on the display";
        ASSERT_NE(editor.graphics.OpenWindow(parent.parentHandle()), nullptr);
        editor.Pump(150);
        input.MoveTo(parent.windowId(), kW - 5, kH - 5);  // over the background only
        editor.Pump(50);
    }
    void TearDown() override { editor.graphics.CloseWindow(); }

    X11HostWindow parent{kW, kH, "window host test"};
    Editor editor;
    XTestInput input;
};

}  // namespace

TEST_F(WindowHost, WindowShowsTheDrawSurfacePixelForPixel) {
    int mismatches = 0;
    EXPECT_TRUE(SurfaceMatchesWindow(editor.graphics, parent.capture(), &mismatches)) << mismatches << " pixels differ";
    // A value from the plug-in reaches the window at the next timer tick.
    editor.graphics.SetParameterFromPlug(0, 1.0, true);
    editor.Pump(100);
    const RgbImage shot = parent.capture();
    EXPECT_TRUE(SurfaceMatchesWindow(editor.graphics, shot, &mismatches)) << mismatches << " pixels differ";
    EXPECT_EQ(shot.at(kSwitchRect.L + 5, kSwitchRect.T + 5), 0xfa781eu) << "switch drawn at full value";
    EXPECT_EQ(shot.at(kW - 10, kH - 10), uint32_t{12} << 16 | 18 << 8 | 90) << "background";
}

TEST_F(WindowHost, ClickAndDragChangeParametersInsideOneGesture) {
    input.MoveTo(parent.windowId(), kSwitchRect.L + 10, kSwitchRect.T + 10);
    input.Click();
    editor.Pump(100);
    EXPECT_EQ(editor.plug.values[0], 1.0);
    EXPECT_EQ(Join(editor.plug.calls), "begin 0; set 0; end 0; ");

    editor.plug.calls.clear();
    input.MoveTo(parent.windowId(), kKnobRect.L + 20, kKnobRect.B - 10);
    input.Button(1, true);
    editor.Pump(50);
    for (int step = 1; step <= 5; ++step) {
        input.MoveTo(parent.windowId(), kKnobRect.L + 20, kKnobRect.B - 10 - 10 * step);
        editor.Pump(20);
    }
    // The drag goes on outside the window while the button is held.
    input.MoveToRoot(kW + 100, kKnobRect.B - 70);
    editor.Pump(30);
    input.Button(1, false);
    editor.Pump(100);
    EXPECT_NEAR(editor.plug.values[1], 0.6, 1e-9);
    ASSERT_GE(editor.plug.calls.size(), 3u);
    EXPECT_EQ(editor.plug.calls.front(), "begin 1");
    EXPECT_EQ(editor.plug.calls.back(), "end 1");
    int mismatches = 0;
    EXPECT_TRUE(SurfaceMatchesWindow(editor.graphics, parent.capture(), &mismatches)) << mismatches;
}

TEST_F(WindowHost, DoubleClicksAreTellByTimeAndDistance) {
    auto& log = editor.onOff->log;
    input.MoveTo(parent.windowId(), kSwitchRect.L + 10, kSwitchRect.T + 10);
    input.Click();
    input.Click();
    editor.Pump(100);
    EXPECT_EQ(Join(log), "down; up; dblclick; up; ");

    log.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    input.Click();
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    input.Click();
    editor.Pump(100);
    EXPECT_EQ(Join(log), "down; up; down; up; ") << "more than 400 ms apart";

    log.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    input.Click();
    input.MoveTo(parent.windowId(), kSwitchRect.L + 16, kSwitchRect.T + 10);
    input.Click();
    editor.Pump(100);
    EXPECT_EQ(Join(log), "down; up; down; up; ") << "more than 4 pixels apart";
}

TEST_F(WindowHost, WheelKeysAndMouseOverReachTheControlUnderThePointer) {
    input.MoveTo(parent.windowId(), kKnobRect.L + 10, kKnobRect.T + 10);
    editor.Pump(50);
    EXPECT_GT(editor.knob->overs, 0);
    input.Click(4);
    input.Click(5);
    input.Click(3);
    editor.Pump(100);
    EXPECT_EQ(Join(editor.knob->log), "wheel 1.000000; wheel -1.000000; down right; up; ");

    input.Key(XK_space);
    input.Key(XK_Up);
    input.Key(XK_Right);
    input.Key(XK_7);
    input.Key(XK_a);
    input.Key(XK_Q, true);
    input.Key(XK_F5);  // no code: never reaches a control
    editor.Pump(100);
    EXPECT_EQ(editor.knob->keys, (std::vector<int>{0, 1, 4, 12, 15, 31}));

    input.MoveToRoot(kW + 50, kH + 50);
    editor.Pump(100);
    EXPECT_GT(editor.knob->outs, 0);
}

TEST_F(WindowHost, TextEntryTypesANameCommitsWithEnterAndCancelsWithEscape) {
    input.MoveTo(parent.windowId(), kNameRect.L + 10, kNameRect.T + 5);
    input.Click();
    input.Click();
    editor.Pump(100);
    ASSERT_EQ(editor.graphics.GetTextEntry().control_, editor.nameField);
    // The whole old text is selected: typing replaces it.
    input.Type("snare x");
    input.Key(XK_BackSpace);
    input.Type("2");
    input.Key(XK_Home);
    input.Key(XK_Delete);
    input.Type("S");
    editor.Pump(100);
    // The field is drawn over the control in the window, not in the surface.
    const RgbImage shot = parent.capture();
    int changed = 0;
    for (int x = kNameRect.L; x <= kNameRect.R; ++x)
        if (shot.at(x, kNameRect.T + 12) !=
            (LICE_GetPixel(editor.graphics.GetDrawBitmap(), x, kNameRect.T + 12) & 0xffffffu))
            ++changed;
    EXPECT_GT(changed, 20) << "no edit field visible";
    input.Key(XK_Return);
    editor.Pump(100);
    EXPECT_EQ(editor.nameField->name, "Snare 2");
    EXPECT_EQ(editor.graphics.GetTextEntry().control_, nullptr);
    int mismatches = 0;
    EXPECT_TRUE(SurfaceMatchesWindow(editor.graphics, parent.capture(), &mismatches)) << "field not removed";

    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    input.Click();
    input.Click();
    editor.Pump(100);
    input.Type("gone");
    input.Key(XK_Escape);
    editor.Pump(100);
    EXPECT_EQ(editor.nameField->name, "Snare 2");

    // A click elsewhere cancels too.
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    input.Click();
    input.Click();
    editor.Pump(100);
    input.Type("gone");
    input.MoveTo(parent.windowId(), kW - 20, kH - 20);
    input.Click();
    editor.Pump(100);
    EXPECT_EQ(editor.nameField->name, "Snare 2");
    EXPECT_EQ(editor.graphics.GetTextEntry().control_, nullptr);
}

TEST_F(WindowHost, FileDialogRunsWithThePlugInLockReleased) {
    // A stand-in for zenity that takes its time and records how it was asked.
    const std::string bin = kScratch + "/fake-zenity";
    mkdir(bin.c_str(), 0755);
    const std::string args = kScratch + "/zenity-args.txt";
    {
        std::ofstream script(bin + "/zenity");
        script << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << args << "'\nsleep 0.5\necho /tmp/kits/snare.k4s\n";
    }
    chmod((bin + "/zenity").c_str(), 0755);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
    editor.file->folder = "/tmp/start";

    std::atomic<bool> dialogDone{false};
    std::atomic<int> audioBlocks{0};
    std::thread audio([&] {
        // The audio thread takes the plug-in lock for every block.
        while (!dialogDone) {
            if (editor.plug.lock.try_lock()) {
                ++audioBlocks;
                editor.plug.lock.unlock();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    input.MoveTo(parent.windowId(), kFileRect.L + 10, kFileRect.T + 10);
    input.Click();
    const auto start = std::chrono::steady_clock::now();
    while (editor.file->chosen.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        editor.Pump(20);
    // Blocks counted while the dialog was open (the lock is free otherwise too,
    // so count only from the click on).
    dialogDone = true;
    audio.join();
    setenv("PATH", oldPath.c_str(), 1);

    EXPECT_EQ(editor.file->chosen, "/tmp/kits/snare.k4s");
    EXPECT_GT(audioBlocks.load(), 20) << "the audio thread waited for the dialog";
    std::ifstream in(args);
    const std::string asked((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(asked.find("--file-selection"), std::string::npos) << asked;
    EXPECT_NE(asked.find("--filename=/tmp/start/"), std::string::npos) << asked;
    EXPECT_NE(asked.find("*.k4s"), std::string::npos) << asked;
}

TEST_F(WindowHost, WithoutADialogProgramAPathFieldOpensInTheWindow) {
    const std::string empty = kScratch + "/no-programs";
    mkdir(empty.c_str(), 0755);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", empty.c_str(), 1);
    editor.file->folder = "/tmp/kits/";
    input.MoveTo(parent.windowId(), kFileRect.L + 10, kFileRect.T + 10);
    // The dialog's loop runs inside the click's handling on this thread, so
    // the user types from another one.
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        input.Type("kick.k4s");
        input.Key(XK_Return);
    });
    input.Click();
    const auto start = std::chrono::steady_clock::now();
    while (editor.file->chosen.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        editor.Pump(20);
    user.join();
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(editor.file->chosen, "/tmp/kits/kick.k4s");
}

TEST(WindowHostLifetime, OpenAndClose50TimesThenTwoEditorsAtOnce) {
    X11HostWindow parent(kW, kH, "lifetime");
    Editor editor;
    for (int i = 0; i < 50; ++i) {
        ASSERT_NE(editor.graphics.OpenWindow(parent.parentHandle()), nullptr) << "round " << i;
        // Opening again without closing keeps the one window.
        void* again = editor.graphics.OpenWindow(parent.parentHandle());
        EXPECT_EQ(again, editor.graphics.GetWindow());
        editor.Pump(i % 10 == 0 ? 60 : 5);
        editor.graphics.CloseWindow();
        editor.graphics.CloseWindow();  // twice is harmless
    }
    EXPECT_EQ(editor.graphics.GetWindow(), nullptr);

    X11HostWindow parent2(kW, kH, "second", kW + 20, 0);  // beside the first: nothing covers either
    Editor second;
    second.onOff->SetValueFromPlug(1.0);
    ASSERT_NE(editor.graphics.OpenWindow(parent.parentHandle()), nullptr);
    ASSERT_NE(second.graphics.OpenWindow(parent2.parentHandle()), nullptr);
    for (int i = 0; i < 20; ++i) {
        editor.Pump(5);
        second.Pump(5);
    }
    int mismatches = 0;
    EXPECT_TRUE(SurfaceMatchesWindow(editor.graphics, parent.capture(), &mismatches)) << mismatches;
    EXPECT_TRUE(SurfaceMatchesWindow(second.graphics, parent2.capture(), &mismatches)) << mismatches;
    EXPECT_NE(parent.capture().at(30, 30), parent2.capture().at(30, 30)) << "each window shows its own editor";
    editor.graphics.CloseWindow();
    second.graphics.CloseWindow();
}

TEST(WindowHostLifetime, HostDestroyingTheParentFirstIsSurvived) {
    X11HostWindow parent(kW, kH, "destroyed first");
    Editor editor;
    ASSERT_NE(editor.graphics.OpenWindow(parent.parentHandle()), nullptr);
    editor.Pump(50);
    parent.destroyWindow();
    // The editor draws before it has read the news from the server: those
    // requests fail on the server.
    editor.graphics.Redraw(IRECT(0, 0, kW, kH));
    editor.graphics.HideMouseCursor(true);
    editor.graphics.MoveMouseCursor(10, 10);
    // Values keep arriving and the timer keeps drawing into a window that
    // is gone; nothing may reach the process's X error handler.
    for (int i = 0; i < 10; ++i) {
        editor.graphics.SetParameterFromPlug(0, i % 2, true);
        editor.graphics.SetAllControlsDirty();
        editor.Pump(10);
    }
    EXPECT_EQ(editor.graphics.GetWindow(), nullptr);
    editor.graphics.CloseWindow();
    // And the editor opens again in a new parent.
    X11HostWindow next(kW, kH, "next");
    EXPECT_NE(editor.graphics.OpenWindow(next.parentHandle()), nullptr);
    editor.Pump(50);
    editor.graphics.CloseWindow();
}

TEST(WindowHostLifetime, AWindowThatIsNotThereIsRefused) {
    Editor editor;
    EXPECT_EQ(editor.graphics.OpenWindow(nullptr), nullptr);
    EXPECT_EQ(editor.graphics.OpenWindow(reinterpret_cast<void*>(uintptr_t{0x7fffff0})), nullptr);
    EXPECT_EQ(editor.graphics.GetWindow(), nullptr);
}
