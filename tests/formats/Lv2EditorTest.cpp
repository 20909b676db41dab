// Kettrix4.lv2's X11 UI inside a host window on a headless X server: the
// features it needs, the size it asks for, twenty opens and closes serviced
// through the idle interface, and an editor click reaching the host's
// control port through the UI's write function, inside a touch of the port.
#include <gtest/gtest.h>
// Before Xlib, whose macros (None, Bool) clash with the tables' names.
#include "editor/EditorLayout.h"
#include "graphics/UserSettings.h"
#include "resources/Zoom.h"

#include <cstdio>
#include <cstdlib>
// After GoogleTest: Xlib defines None, a name GoogleTest uses.
#include <X11/Xlib.h>
#include <lv2/instance-access/instance-access.h>

#include <chrono>
#include <thread>

#include "HostWindow.h"
#include "Lv2Host.h"
#include "XTestInput.h"

namespace kettrix::test {
namespace {

using render::Lv2Instance;
using render::Lv2Module;
using render::ReadTurtlePorts;
using render::TurtlePort;

constexpr int kSnapX = 53 + 9, kSnapY = 93 + 9;  // "Osc1 snap to MIDI notes", parameter 0

// What the UI told the host: a port written, or touched ('+') and let go ('-').
struct Told {
    char what;  // 'w', '+', '-'
    uint32_t port;
    float value;
};

// What a host keeps for one UI: its features and what the UI told it.
struct UiHost {
    Lv2Instance& plug;
    Window parent;
    int width = 0, height = 0;
    std::vector<Told> told;

    LV2UI_Touch touch{this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                          static_cast<UiHost*>(h)->told.push_back({grabbed ? '+' : '-', port, 0.0f});
                      }};
    LV2_Feature touchFeature{LV2_UI__touch, &touch};
    bool acceptResize = true;
    LV2UI_Resize resize{this, [](LV2UI_Feature_Handle h, int w, int hgt) {
                            auto* host = static_cast<UiHost*>(h);
                            if (!host->acceptResize) return 1;
                            host->width = w;
                            host->height = hgt;
                            return 0;
                        }};
    LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, nullptr};
    LV2_Feature parentFeature{LV2_UI__parent, nullptr};
    LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};

    UiHost(Lv2Instance& instance, Window window) : plug(instance), parent(window) {
        instanceFeature.data = plug.handle();
        parentFeature.data = reinterpret_cast<void*>(static_cast<uintptr_t>(parent));
    }

    LV2UI_Handle open(const LV2UI_Descriptor& ui, bool withInstance, bool withParent, LV2UI_Widget* widget) {
        std::vector<const LV2_Feature*> features = {&resizeFeature, &idleFeature, &touchFeature};
        if (withInstance) features.push_back(&instanceFeature);
        if (withParent) features.push_back(&parentFeature);
        features.push_back(nullptr);
        const auto write = [](LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
            auto* host = static_cast<UiHost*>(const_cast<void*>(c));
            if (size == sizeof(float) && protocol == 0) {
                host->told.push_back({'w', port, *static_cast<const float*>(buffer)});
            }
        };
        return ui.instantiate(&ui, "urn:sorvane:kettrix4", "", write, this, widget, features.data());
    }
};

class Lv2EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr) << "needs an X server (tests/x11/with-xvfb.sh)";
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 900, 600, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (display_ == nullptr) return;
        XDestroyWindow(display_, parent_);
        XCloseDisplay(display_);
    }

    // The host's idle calls to an open UI, `rounds` of them `ms` apart.
    void Service(LV2UI_Handle handle, int rounds, int ms) {
        for (int i = 0; i < rounds; ++i) {
            idle_->idle(handle);
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
        XSync(display_, False);
    }

    Display* display_ = nullptr;
    Window parent_ = 0;
    Lv2Module module_{KETTRIX4_LV2_BUNDLE};
    std::vector<TurtlePort> ports_ = ReadTurtlePorts(KETTRIX4_LV2_BUNDLE);
    const LV2UI_Descriptor* ui_ = module_.uiDescriptor();
    const LV2UI_Idle_Interface* idle_ =
        ui_ ? static_cast<const LV2UI_Idle_Interface*>(ui_->extension_data(LV2_UI__idleInterface)) : nullptr;
};

TEST_F(Lv2EditorTest, OpensInTheHostWindowTwentyTimesServicedByIdle) {
    Lv2Instance plug(module_, ports_, {}, 256);
    ASSERT_TRUE(plug.valid());
    const LV2UI_Descriptor* ui = module_.uiDescriptor();
    ASSERT_NE(ui, nullptr);
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);
    UiHost host(plug, parent_);

    // Without the plug-in object or a parent window there is no editor; the
    // host shows its own controls for the ports instead.
    LV2UI_Widget widget = nullptr;
    EXPECT_EQ(host.open(*ui, false, true, &widget), nullptr);
    EXPECT_EQ(host.open(*ui, true, false, &widget), nullptr);
    XSync(display_, False);
    EXPECT_EQ(ChildCount(display_, parent_), 0u);

    for (int round = 0; round < 20; ++round) {
        widget = nullptr;
        LV2UI_Handle handle = host.open(*ui, true, true, &widget);
        ASSERT_NE(handle, nullptr) << round;
        XSync(display_, False);
        ASSERT_EQ(ChildCount(display_, parent_), 1u) << round;
        Window root = 0, parentOfWidget = 0, *children = nullptr;
        unsigned count = 0;
        ASSERT_TRUE(XQueryTree(display_, static_cast<Window>(reinterpret_cast<uintptr_t>(widget)), &root,
                               &parentOfWidget, &children, &count));
        if (children != nullptr) XFree(children);
        EXPECT_EQ(parentOfWidget, parent_) << "the widget is the editor's window, a child of the parent";
        EXPECT_EQ(host.width, 839);
        EXPECT_EQ(host.height, 556);
        for (int tick = 0; tick < 3; ++tick) {
            EXPECT_EQ(idle->idle(handle), 0);
            plug.run(256);  // audio goes on while the editor is open
        }
        ui->cleanup(handle);
        XSync(display_, False);
        EXPECT_EQ(ChildCount(display_, parent_), 0u) << round;
    }
}

TEST_F(Lv2EditorTest, TheZoomSwitchResizesThroughTheHostsResizeFeature) {
    Lv2Instance plug(module_, ports_, {}, 256);
    ASSERT_TRUE(plug.valid() && ui_ && idle_);
    UiHost host(plug, parent_);
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = host.open(*ui_, true, true, &widget);
    ASSERT_NE(handle, nullptr);
    // A few of the editor's frames: a request is applied on its timer.
    const auto service = [&] { Service(handle, 4, 40); };
    service();
    const Window editor = static_cast<Window>(reinterpret_cast<uintptr_t>(widget));
    const editor::Rect r = editor::kZoomSwitchRect;
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;

    host.acceptResize = false;
    SendClick(display_, editor, x, y);
    service();
    EXPECT_EQ(host.width, 839) << "refused: the old size stays";
    EXPECT_EQ(WindowSize(display_, editor), std::make_pair(839, 556));

    host.acceptResize = true;
    SendClick(display_, editor, x, y);
    service();
    EXPECT_EQ(host.width, zoom::ToPhysical(editor::kEditorWidth, 150));
    EXPECT_EQ(host.height, zoom::ToPhysical(editor::kEditorHeight, 150));
    EXPECT_EQ(WindowSize(display_, editor), std::make_pair(host.width, host.height));
    ui_->cleanup(handle);
    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr) << "run on with-xvfb.sh, which gives the run its own settings folder";
    EXPECT_EQ(user_settings::ReadZoom(config), std::optional<int>(150));
    std::remove(user_settings::FilePath(config).c_str());  // the next editors open as a new user's
}

TEST_F(Lv2EditorTest, AnEditorClickReachesTheHostsControlPortInsideATouch) {
    XTestInput input;
    ASSERT_TRUE(input.Available());
    Lv2Instance plug(module_, ports_, {}, 256);
    ASSERT_TRUE(plug.valid() && ui_ && idle_);
    const LV2UI_Descriptor* ui = ui_;
    UiHost host(plug, parent_);
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = host.open(*ui, true, true, &widget);
    ASSERT_NE(handle, nullptr);
    const auto service = [&](int rounds) { Service(handle, rounds, 10); };
    // The ports first catch up with the kit, as the host takes the news.
    service(30);
    for (const Told& t : host.told) plug.control(static_cast<int>(t.port - Lv2Instance::kFirstControl)) = t.value;
    plug.run(256);
    host.told.clear();
    const float before = plug.control(0);
    input.MoveTo(parent_, kSnapX, kSnapY);
    input.Click();
    for (int i = 0; i < 100 && host.told.size() < 3; ++i) service(1);
    const uint32_t port = Lv2Instance::kFirstControl + 0;
    ASSERT_EQ(host.told.size(), 3u);
    EXPECT_EQ(host.told[0].what, '+');
    EXPECT_EQ(host.told[0].port, port);
    EXPECT_EQ(host.told[1].what, 'w');
    EXPECT_EQ(host.told[1].port, port);
    EXPECT_NE(host.told[1].value, before);
    EXPECT_EQ(host.told[2].what, '-');
    EXPECT_EQ(host.told[2].port, port);

    // The host takes the value into its port; the next run sees the plug-in's
    // own value there and the switch stays as clicked.
    const std::vector<Lv2Instance::Stored> clicked = plug.save();
    plug.control(0) = host.told[1].value;
    plug.run(256);
    EXPECT_EQ(plug.save()[0].value, clicked[0].value);
    service(5);
    EXPECT_EQ(host.told.size(), 3u) << "no news without a change";
    ui->cleanup(handle);
}

TEST_F(Lv2EditorTest, TheHostsPortsCatchUpWithTheKitAndARestoredState) {
    // A state whose kick volume differs from what the ports show.
    Lv2Instance source(module_, ports_, {}, 256);
    source.control(102) = 1.5f;
    source.run(256);
    const std::vector<Lv2Instance::Stored> saved = source.save();

    Lv2Instance plug(module_, ports_, {}, 256);
    ASSERT_TRUE(plug.valid());
    plug.run(256);
    const LV2UI_Descriptor* ui = module_.uiDescriptor();
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    UiHost host(plug, parent_);
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = host.open(*ui, true, true, &widget);
    ASSERT_NE(handle, nullptr);
    // Opening: every port that shows another value than the kit's is told
    // the kit's value once; the ports now show the instance as it plays.
    idle->idle(handle);
    std::size_t written = 0;
    for (const Told& t : host.told) {
        ASSERT_EQ(t.what, 'w');
        const int param = static_cast<int>(t.port - Lv2Instance::kFirstControl);
        EXPECT_NE(t.value, plug.control(param)) << param;
        plug.control(param) = t.value;
        ++written;
    }
    EXPECT_GT(written, 0u) << "the factory kit differs from the table's defaults";
    const std::vector<uint8_t> kit = plug.save()[0].value;
    plug.run(256);
    EXPECT_EQ(plug.save()[0].value, kit) << "the caught-up ports change nothing";
    host.told.clear();
    idle->idle(handle);
    EXPECT_TRUE(host.told.empty());

    // A restored state: only the kick volume's port is behind.
    std::vector<Lv2Instance::Stored> state = saved;
    state[0].key = plug.urids().map("urn:sorvane:kettrix4#programChunk");
    state[0].type = plug.urids().map(LV2_ATOM__Chunk);
    ASSERT_EQ(plug.restore(state), LV2_STATE_SUCCESS);
    idle->idle(handle);
    // (the sound's strip volume follows its volume, so its port is behind too)
    bool kickVolume = false;
    for (const Told& t : host.told) {
        const int param = static_cast<int>(t.port - Lv2Instance::kFirstControl);
        EXPECT_NE(t.value, plug.control(param)) << param;
        kickVolume = kickVolume || (param == 102 && t.value == 1.5f);
    }
    EXPECT_TRUE(kickVolume);
    EXPECT_LE(host.told.size(), 2u);
    ui->cleanup(handle);
}

}  // namespace
}  // namespace kettrix::test
