// Kettrix4.so's editor as a Linux host opens it: loaded through its entry
// point, the editor opened in a parent window of the host's, idled like a
// host, and clicked and typed into through the X server (XTest).
#include <gtest/gtest.h>

#include "HostContext.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "PngReader.h"
#include "RunProgram.h"
#include "X11HostWindow.h"
#include "XTestInput.h"
#include "graphics/UserSettings.h"
#include "resources/Zoom.h"

#include <X11/Xatom.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <thread>

using namespace kettrix::render;
using kettrix::test::Picture;
using kettrix::test::XTestInput;

namespace {

const std::string kPlugin = KETTRIX4_PLUGIN;
const std::string kScratch = KETTRIX_TEST_SCRATCH_DIR;
constexpr int kW = 839, kH = 556;

// Controls of the instrument's editor used below (top-left corners and
// sizes of their images; sound 1 is shown when the editor opens).
constexpr int kSnapX = 53 + 9, kSnapY = 93 + 9;          // "Osc1 snap to MIDI notes", parameter 0
constexpr int kHitVolX = 184 + 14, kHitVolY = 122 + 14;  // "Hit volume" knob, parameter 17
constexpr int kNameX = 72, kNameY = 24;                  // the first sound's name field

struct Host {
    PluginLibrary library{kPlugin};
    HostContext context;
    PluginInstance plugin{library, context};

    Host() {
        plugin.open();
        plugin.setSampleRate(44100.0);
        plugin.setBlockSize(256);
        plugin.resume();
    }
    ERect rect() {
        ERect* r = nullptr;
        plugin.dispatch(effEditGetRect, 0, 0, &r);
        return r ? *r : ERect{};
    }
    void idle(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            plugin.dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    float param(int i) { return plugin.effect().getParameter(&plugin.effect(), i); }
};

bool Uniform(const RgbImage& shot) {
    for (uint32_t p : shot.pixels)
        if (p != shot.pixels.front()) return false;
    return true;
}

// Opens the editor in `parent` and lets it draw.
bool OpenEditor(Host& host, X11HostWindow& parent) {
    if (host.plugin.dispatch(effEditOpen, 0, 0, parent.parentHandle()) != 1) return false;
    host.idle(300);
    return true;
}

std::string EditString(const std::vector<EditReport>& reports) {
    std::string s;
    for (const auto& r : reports)
        s += (r.opcode == audioMasterBeginEdit ? "begin "
              : r.opcode == audioMasterEndEdit ? "end "
                                               : "automate ") +
             std::to_string(r.index) + "; ";
    return s;
}

}  // namespace

TEST(PluginEditor, ReportsItsSizeAtAllTimesAndOpensInTheHostsWindow) {
    Host host;
    EXPECT_TRUE(host.plugin.hasFlag(effFlagsHasEditor));
    const auto check = [&](const char* when) {
        const ERect r = host.rect();
        EXPECT_EQ(r.right - r.left, kW) << when;
        EXPECT_EQ(r.bottom - r.top, kH) << when;
    };
    check("before the window exists");
    X11HostWindow parent(kW, kH, "Kettrix 4");
    ASSERT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1);
    check("while it is open");
    host.idle(300);
    // The editor's window is a child of the host's and covers it.
    const RgbImage shot = parent.capture();
    ASSERT_EQ(shot.width, kW);
    // Closing twice, and closing what is not open, is harmless.
    EXPECT_EQ(host.plugin.dispatch(effEditClose), 1);
    EXPECT_EQ(host.plugin.dispatch(effEditClose), 1);
    check("after it closed");
    EXPECT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, nullptr), 0) << "no parent window";
}

TEST(PluginEditor, WindowShowsTheSamePixelsAsTheOffscreenEditor) {
#ifndef KETTRIX_SHOT_EXE
    GTEST_SKIP() << "kettrix-shot is not built";
#else
    const std::string offscreen = kScratch + "/plugin-editor-offscreen.png";
    const auto r = kettrix::render::test::runProgram(KETTRIX_SHOT_EXE, {"--out", offscreen, "--program", "2"},
                                                     kScratch + "/plugin-editor-shot");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Picture expected = kettrix::test::readPng(offscreen);
    ASSERT_EQ(expected.width, kW);

    Host host;
    host.plugin.dispatch(effSetProgram, 0, 2);
    X11HostWindow parent(kW, kH, "Kettrix 4");
    ASSERT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1);
    host.idle(400);
    const RgbImage shot = parent.capture();
    host.plugin.dispatch(effEditClose);
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) differing += shot.at(x, y) != expected.at(x, y);
    EXPECT_EQ(differing, 0) << "pixels that differ between the window and kettrix-shot";
#endif
}

TEST(PluginEditor, ClicksDragsAndTypingEditTheInstrumentWithHostNotifications) {
    Host host;
    XTestInput input;
    ASSERT_TRUE(input.Available());
    X11HostWindow parent(kW, kH, "Kettrix 4");
    ASSERT_TRUE(OpenEditor(host, parent));
    if (Uniform(parent.capture())) {
        host.plugin.dispatch(effEditClose);
        GTEST_SKIP() << "the editor shows no controls yet";
    }

    // A switch: one click flips it, inside one begin/end gesture.
    host.context.clearEditReports();
    const float snapBefore = host.param(0);
    input.MoveTo(parent.windowId(), kSnapX, kSnapY);
    input.Click();
    host.idle(150);
    EXPECT_NE(host.param(0), snapBefore);
    EXPECT_EQ(EditString(host.context.editReports()), "begin 0; automate 0; end 0; ");

    // A knob dragged upwards: its value rises; begin first, end last.
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    host.context.clearEditReports();
    const float volumeBefore = host.param(17);
    input.MoveTo(parent.windowId(), kHitVolX, kHitVolY);
    input.Button(1, true);
    for (int step = 1; step <= 6; ++step) {
        host.idle(30);
        input.MoveTo(parent.windowId(), kHitVolX, kHitVolY - 8 * step);
    }
    host.idle(30);
    input.Button(1, false);
    host.idle(150);
    EXPECT_NE(host.param(17), volumeBefore);
    const auto reports = host.context.editReports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(reports.front().index, 17);
    EXPECT_EQ(reports.back().opcode, audioMasterEndEdit);
    for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(reports[i].opcode, audioMasterAutomate);
        EXPECT_EQ(reports[i].index, 17);
    }

    // A name typed into the first sound's name field lands in the state.
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    input.MoveTo(parent.windowId(), kNameX, kNameY);
    input.Click();
    input.Click();
    host.idle(150);
    input.Type("Tom x");
    input.Key(XK_Return);
    host.idle(150);
    const std::vector<uint8_t> state = host.plugin.getChunk(true);
    const std::string bytes(state.begin(), state.end());
    EXPECT_NE(bytes.find("Tom x"), std::string::npos) << "typed name not in the program chunk";
    host.plugin.dispatch(effEditClose);
}

// Clicking a sound's tab, or its name over the tab, selects the sound; the
// host sees each automation of "Show Sound" inside a begin/end edit of it.
TEST(PluginEditor, SoundTabAndNameClicksReachTheHostInsideGestures) {
    Host host;
    XTestInput input;
    ASSERT_TRUE(input.Available());
    X11HostWindow parent(kW, kH, "Kettrix 4");
    ASSERT_TRUE(OpenEditor(host, parent));
    if (Uniform(parent.capture())) {
        host.plugin.dispatch(effEditClose);
        GTEST_SKIP() << "the editor shows no controls yet";
    }
    constexpr int kShowSound = 1321;
    const struct {
        int sound, x, y;
    } clicks[] = {{3, 35 + 77 * 3 + 20, 12}, {5, 35 + 77 * 5 + 37, 24}, {1, 35 + 77 * 1 + 20, 12}};
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.sound);
        std::this_thread::sleep_for(std::chrono::milliseconds(450));  // no double click
        host.context.clearEditReports();
        input.MoveTo(parent.windowId(), c.x, c.y);
        input.Click();
        host.idle(150);
        EXPECT_EQ(host.param(kShowSound + c.sound), 1.0f);
        const auto reports = host.context.editReports();
        std::map<int, int> open;
        int automated = 0;
        for (const auto& r : reports) {
            if (r.opcode == audioMasterBeginEdit) ++open[r.index];
            if (r.opcode == audioMasterEndEdit) --open[r.index];
            if (r.opcode == audioMasterAutomate) {
                ++automated;
                EXPECT_GT(open[r.index], 0) << EditString(reports);
            }
        }
        EXPECT_GE(automated, 1) << EditString(reports);
        for (const auto& [index, count] : open) EXPECT_EQ(count, 0) << index << ": " << EditString(reports);
    }
    host.plugin.dispatch(effEditClose);
}

TEST(PluginEditor, FiftyOpensAndClosesAndTwoEditorsAtOnce) {
    Host host;
    X11HostWindow parent(kW, kH, "Kettrix 4");
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1) << "round " << i;
        host.plugin.dispatch(effEditIdle);
        if (i % 10 == 0) host.idle(40);
        ASSERT_EQ(host.plugin.dispatch(effEditClose), 1);
    }

    Host second;
    X11HostWindow parent2(kW, kH, "Kettrix 4 (2)", kW + 20, 0);
    second.plugin.dispatch(effSetProgram, 0, 5);
    ASSERT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1);
    ASSERT_EQ(second.plugin.dispatch(effEditOpen, 0, 0, parent2.parentHandle()), 1);
    for (int i = 0; i < 20; ++i) {
        host.idle(10);
        second.idle(10);
    }
    EXPECT_EQ(parent.capture().width, kW);
    EXPECT_EQ(parent2.capture().width, kW);
    EXPECT_EQ(host.plugin.dispatch(effEditClose), 1);
    EXPECT_EQ(second.plugin.dispatch(effEditClose), 1);
}

TEST(PluginEditor, HostDestroyingItsWindowBeforeClosingTheEditorIsSurvived) {
    Host host;
    {
        X11HostWindow parent(kW, kH, "Kettrix 4");
        ASSERT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1);
        host.idle(100);
        parent.destroyWindow();
        // Parameter changes keep the editor drawing into a window that is gone.
        for (int i = 0; i < 10; ++i) {
            host.plugin.effect().setParameter(&host.plugin.effect(), 17, static_cast<float>(i) / 10.0f);
            host.idle(20);
        }
    }
    EXPECT_EQ(host.plugin.dispatch(effEditClose), 1);
    X11HostWindow next(kW, kH, "Kettrix 4");
    EXPECT_EQ(host.plugin.dispatch(effEditOpen, 0, 0, next.parentHandle()), 1);
    host.idle(50);
    EXPECT_EQ(host.plugin.dispatch(effEditClose), 1);
}

namespace {

// The size of the editor's window inside the host's `parent`.
std::pair<int, int> ChildWindowSize(const X11HostWindow& parent) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return {0, 0};
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::pair<int, int> size{0, 0};
    if (XQueryTree(d, static_cast<Window>(parent.windowId()), &root, &parentOfParent, &children, &count) &&
        count == 1) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, children[0], &attributes)) size = {attributes.width, attributes.height};
    }
    if (children) XFree(children);
    XCloseDisplay(d);
    return size;
}

// Sets (or with an empty text removes) the X server's resources, as a
// desktop's settings daemon does.
void SetServerResources(const std::string& resources) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    if (resources.empty())
        XDeleteProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER);
    else
        XChangeProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
    XSync(d, False);
    XCloseDisplay(d);
}

const char* ConfigFolder() {
    const char* folder = std::getenv("XDG_CONFIG_HOME");
    return folder != nullptr ? folder : "";
}

}  // namespace

// The editor's first zoom: the user's saved choice, else the desktop's
// scale (GDK_SCALE, then the Xft.dpi resource); the host is told the size
// of the window the editor then opens with.
TEST(PluginEditorZoom, StartsAtTheSavedOrTheDesktopsZoomAndOpensAtTheSizeTheHostWasTold) {
    ASSERT_NE(*ConfigFolder(), '\0') << "run on with-xvfb.sh, which gives the run its own settings folder";
    struct Case {
        const char* what;
        std::function<void()> arrange;
        int percent;
    };
    const std::vector<Case> cases = {
        {"a plain desktop", [] {}, 100},
        {"GDK_SCALE=2", [] { setenv("GDK_SCALE", "2", 1); }, 200},
        {"Xft.dpi 144", [] { SetServerResources("Xft.dpi:\t144\n"); }, 150},
        {"Xft.dpi 192", [] { SetServerResources("Xft.antialias:\t1\nXft.dpi:\t192\n"); }, 200},
        {"a saved 150 % over GDK_SCALE=2",
         [] {
             setenv("GDK_SCALE", "2", 1);
             ASSERT_TRUE(kettrix::user_settings::WriteZoom(ConfigFolder(), 150));
         },
         150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        {
            Host host;
            const ERect r = host.rect();
            const int w = kettrix::zoom::ToPhysical(kW, c.percent), h = kettrix::zoom::ToPhysical(kH, c.percent);
            EXPECT_EQ(r.right - r.left, w);
            EXPECT_EQ(r.bottom - r.top, h);
            X11HostWindow parent(r.right - r.left, r.bottom - r.top, "Kettrix 4");
            ASSERT_TRUE(OpenEditor(host, parent));
            EXPECT_EQ(ChildWindowSize(parent), std::make_pair(w, h));
            const RgbImage shot = parent.capture();
            EXPECT_FALSE(Uniform(shot));
            EXPECT_EQ(host.plugin.dispatch(effEditClose), 1);
        }
        unsetenv("GDK_SCALE");
        SetServerResources("");
        std::remove(kettrix::user_settings::FilePath(ConfigFolder()).c_str());
    }
}
