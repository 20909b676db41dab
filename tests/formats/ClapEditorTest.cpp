// Kettrix4.clap's editor inside a host window on a headless X server: the
// host's gui calls, the timer and descriptor it is serviced through, and
// twenty opens and closes.
#include <gtest/gtest.h>
// After GoogleTest: Xlib defines None, a name GoogleTest uses.
#include <X11/Xlib.h>

#include "ClapHost.h"
#include "HostWindow.h"

namespace kettrix::test {
namespace {

using render::ClapInstance;
using render::ClapModule;
using render::EventList;

TEST(ClapEditor, OpensInTheHostWindowTwentyTimesServicedByTimerAndDescriptor) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs an X server (tests/x11/with-xvfb.sh)";
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 600, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);

    ClapModule module(KETTRIX4_CLAP_PATH);
    ClapInstance plug(module);
    const auto* gui = plug.extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    const auto* timer = plug.extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    const auto* fd = plug.extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
    ASSERT_TRUE(gui && timer && fd);
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
        clap_window_t window{};
        window.api = CLAP_WINDOW_API_X11;
        window.x11 = parent;
        ASSERT_TRUE(gui->set_parent(plug.plugin(), &window));
        ASSERT_TRUE(gui->show(plug.plugin()));
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

    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

}  // namespace
}  // namespace kettrix::test
