// Kettrix4.clap's editor inside a host window on a headless X server: the
// host's gui calls, the timer and descriptor it is serviced through, and
// twenty opens and closes.
#include <gtest/gtest.h>
// Before Xlib, whose macros (None, Bool) clash with the tables' names.
#include "editor/EditorLayout.h"
#include "graphics/UserSettings.h"
#include "resources/Zoom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
// After GoogleTest: Xlib defines None, a name GoogleTest uses.
#include <X11/Xlib.h>

#include "ClapHost.h"
#include "HostWindow.h"

namespace kettrix::test {
namespace {

using render::ClapInstance;
using render::ClapModule;
using render::EventList;

// A host's window on the test's X server, big enough for the editor at
// 200 %, and the plug-in with the gui extensions the host drives.
class ClapEditor : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "needs an X server (tests/x11/with-xvfb.sh)";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1700, 1200, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        ASSERT_TRUE(gui && timer && fd);
    }
    void TearDown() override {
        if (display == nullptr) return;
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }
    // Gives the created editor the host's window and shows it.
    bool Embed() {
        clap_window_t window{};
        window.api = CLAP_WINDOW_API_X11;
        window.x11 = parent;
        return gui->set_parent(plug.plugin(), &window) && gui->show(plug.plugin());
    }

    Display* display = nullptr;
    Window parent = 0;
    ClapModule module{KETTRIX4_CLAP_PATH};
    ClapInstance plug{module};
    const clap_plugin_gui_t* gui = plug.extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    const clap_plugin_timer_support_t* timer = plug.extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    const clap_plugin_posix_fd_support_t* fd =
        plug.extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
};

TEST_F(ClapEditor, OpensInTheHostWindowTwentyTimesServicedByTimerAndDescriptor) {
    EXPECT_TRUE(gui->is_api_supported(plug.plugin(), CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(plug.plugin(), CLAP_WINDOW_API_X11, true));
    EXPECT_FALSE(gui->create(plug.plugin(), CLAP_WINDOW_API_WIN32, false));

    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(gui->create(plug.plugin(), CLAP_WINDOW_API_X11, false));
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(gui->get_size(plug.plugin(), &width, &height));
        EXPECT_EQ(width, 839u);
        EXPECT_EQ(height, 556u);
        EXPECT_FALSE(gui->set_size(plug.plugin(), 400, 300));
        EXPECT_FALSE(gui->can_resize(plug.plugin()));
        clap_gui_resize_hints_t hints{true, true, false, 0, 0};
        ASSERT_TRUE(gui->get_resize_hints(plug.plugin(), &hints));
        EXPECT_FALSE(hints.can_resize_horizontally || hints.can_resize_vertically);
        ASSERT_TRUE(Embed());
        XSync(display, False);
        EXPECT_EQ(ChildCount(display, parent), 1u) << round;
        ASSERT_EQ(plug.timers.size(), 1u) << round;
        ASSERT_EQ(plug.fds.size(), 1u) << round;
        for (int tick = 0; tick < 3; ++tick) {
            timer->on_timer(plug.plugin(), plug.timers[0]);
            fd->on_fd(plug.plugin(), plug.fds[0], CLAP_POSIX_FD_READ);
        }
        if (round % 2 == 1) {
            // Hidden and shown again before it goes.
            ASSERT_TRUE(gui->hide(plug.plugin()));
            XSync(display, False);
            EXPECT_EQ(ChildCount(display, parent), 0u);
            EXPECT_TRUE(plug.timers.empty());
            ASSERT_TRUE(gui->show(plug.plugin()));
            XSync(display, False);
            EXPECT_EQ(ChildCount(display, parent), 1u);
        }
        gui->destroy(plug.plugin());
        XSync(display, False);
        EXPECT_EQ(ChildCount(display, parent), 0u) << round;
        EXPECT_TRUE(plug.timers.empty()) << round;
        EXPECT_TRUE(plug.fds.empty()) << round;
    }
    EXPECT_GE(plug.timerRegistrations, 20);
}

// A click on the zoom switch asks the host for the next zoom's size; the
// window and get_size follow when the host agrees, and stay when it refuses.
TEST_F(ClapEditor, TheZoomSwitchAsksTheHostForTheNewSize) {
    ASSERT_TRUE(gui->create(plug.plugin(), CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(Embed());
    const auto service = [&] {
        // The editor redraws at its frame rate: a few frames' worth of timer calls.
        for (int tick = 0; tick < 4; ++tick) {
            timer->on_timer(plug.plugin(), plug.timers.at(0));
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        XSync(display, False);
    };
    service();
    const Window editor = OnlyChild(display, parent);
    ASSERT_NE(editor, 0u);
    const editor::Rect r = editor::kZoomSwitchRect;
    const auto clickSwitch = [&](int percent) {
        SendClick(display, editor, zoom::ToPhysical((r.left + r.right) / 2, percent),
                  zoom::ToPhysical((r.top + r.bottom) / 2, percent));
        service();
    };
    uint32_t width = 0, height = 0;

    plug.acceptResize = false;
    clickSwitch(100);
    ASSERT_EQ(plug.resizeRequests.size(), 1u);
    EXPECT_EQ(plug.resizeRequests[0],
              std::make_pair(static_cast<uint32_t>(zoom::ToPhysical(editor::kEditorWidth, 150)),
                             static_cast<uint32_t>(zoom::ToPhysical(editor::kEditorHeight, 150))));
    ASSERT_TRUE(gui->get_size(plug.plugin(), &width, &height));
    EXPECT_EQ(width, 839u);
    EXPECT_EQ(WindowSize(display, editor), std::make_pair(839, 556));
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr) << "run on with-xvfb.sh, which gives the run its own settings folder";
    EXPECT_EQ(user_settings::ReadZoom(config), std::nullopt) << "a refused zoom is not remembered";

    plug.acceptResize = true;
    clickSwitch(100);
    ASSERT_TRUE(gui->get_size(plug.plugin(), &width, &height));
    EXPECT_EQ(width, static_cast<uint32_t>(zoom::ToPhysical(editor::kEditorWidth, 150)));
    EXPECT_EQ(height, static_cast<uint32_t>(zoom::ToPhysical(editor::kEditorHeight, 150)));
    EXPECT_EQ(WindowSize(display, editor), std::make_pair(static_cast<int>(width), static_cast<int>(height)));
    EXPECT_TRUE(gui->set_size(plug.plugin(), width, height)) << "the host may confirm the size it gave";
    clickSwitch(150);
    ASSERT_TRUE(gui->get_size(plug.plugin(), &width, &height));
    EXPECT_EQ(width, 2u * 839u);
    EXPECT_EQ(WindowSize(display, editor), std::make_pair(2 * 839, 2 * 556));
    EXPECT_EQ(user_settings::ReadZoom(config), std::optional<int>(200)) << "the user's choice is remembered";
    std::remove(user_settings::FilePath(config).c_str());  // the next editors open as a new user's

    gui->destroy(plug.plugin());
}

}  // namespace
}  // namespace kettrix::test
