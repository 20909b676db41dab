// The Win32 editor window host, as a Windows host drives it: a parent window
// of the host's, the host's message loop, posted mouse messages and the
// captured window. Runs under Wine on the build machine (on an X server of
// its own) and on Windows itself. First with test controls in-process, then
// the plug-in DLL's own editor through its entry point.
#include <gtest/gtest.h>

#include "HostContext.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "graphics/IGraphicsWin.h"
#include "graphics/PlatformWindows.h"
#include "graphics/UserSettings.h"
#include "resources/Zoom.h"

#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

using namespace kettrix;
using namespace kettrix::render;

namespace {

constexpr int kW = 839, kH = 556;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The host's top-level window, its client area the editor's size.
struct HostWindow {
    HWND hwnd = nullptr;
    HostWindow() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HostWindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "KettrixTestHost";
            registered = RegisterClassA(&wc) != 0;
        }
        hwnd = CreateWindowExA(0, "KettrixTestHost", "test host", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~HostWindow() {
        if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    }
};

// The host's message loop for `ms` milliseconds; `idle` runs between.
template <typename Idle>
void Pump(int ms, Idle idle) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        idle();
        Sleep(5);
    }
}
void Pump(int ms) {
    Pump(ms, [] {});
}

// The window's pixels as 0xRRGGBB (kW x kH of them unless told).
std::vector<uint32_t> Capture(HWND hwnd, int kW = ::kW, int kH = ::kH) {
    std::vector<uint32_t> pixels;
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kW;
    info.bmiHeader.biHeight = -kH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, kW, kH, window, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + kW * kH);
        for (uint32_t& v : pixels) v &= 0xffffffu;
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return pixels;
}

std::size_t Colours(const std::vector<uint32_t>& pixels) {
    return std::unordered_set<uint32_t>(pixels.begin(), pixels.end()).size();
}

struct TestPlug : IGraphicsPlug {
    double values[4] = {};
    std::vector<std::string> calls;
    void SetParameterFromEditor(int i, double v) override {
        values[i] = v;
        calls.push_back("set " + std::to_string(i));
    }
    void BeginHostParamEdit(int i) override { calls.push_back("begin " + std::to_string(i)); }
    void EndHostParamEdit(int i) override { calls.push_back("end " + std::to_string(i)); }
    bool NormalizedFromPlain(int, double plain, double* normalized) const override {
        *normalized = plain;  // every parameter runs 0..1
        return true;
    }
};

// A rectangle whose colour shows its value; a click flips it, a double click
// on a name control opens the text entry.
class PaintControl : public IControl {
public:
    PaintControl(TestPlug* plug, const IRECT& r, int param, IColor colour, bool name = false)
        : IControl(plug, r, param), colour_(colour), name_(name) {}
    bool Draw(IGraphics* g) override {
        g->FillIRect(IColor(255, static_cast<int>(colour_.R * (0.3 + 0.7 * GetValue())), colour_.G, colour_.B),
                     GetRECT());
        return true;
    }
    void OnMouseDown(int, int, const IMouseMod&) override {
        if (name_) return;
        value_ = value_ < 0.5 ? 1.0 : 0.0;
        SetDirty();
    }
    void OnMouseDblClick(int, int, const IMouseMod&) override {
        if (name_) GetGUI()->CreateTextEntry(this, GetText(), GetRECT(), text.c_str(), -1);
    }
    void TextFromTextEntry(const char* t) override { text = t; }
    std::string text = "OLD";

private:
    IColor colour_;
    bool name_;
};

std::string Join(const std::vector<std::string>& items) {
    std::string s;
    for (const auto& i : items) s += i + "; ";
    return s;
}

std::string dllPath() {
    std::string path = KETTRIX4_DLL;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    return path;
}

}  // namespace

TEST(WindowsWindowHost, DrawsClicksAndTypesInAChildOfTheHostsWindow) {
    HostWindow host;
    ASSERT_NE(host.hwnd, nullptr);
    TestPlug plug;
    IGraphicsWin graphics(&plug, kW, kH);
    graphics.AttachControl(new PaintControl(&plug, IRECT(0, 0, kW, kH), -1, IColor(255, 40, 60, 90)));
    auto* onOff = new PaintControl(&plug, IRECT(20, 20, 80, 60), 0, IColor(255, 250, 120, 30));
    graphics.AttachControl(onOff);
    auto* name = new PaintControl(&plug, IRECT(200, 20, 380, 44), -1, IColor(255, 200, 200, 200), true);
    graphics.AttachControl(name);

    HWND editor = static_cast<HWND>(graphics.OpenWindow(host.hwnd));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(GetParent(editor), host.hwnd);
    char cls[64] = {};
    GetClassNameA(editor, cls, sizeof cls);
    EXPECT_STREQ(cls, "IPlugWndClass");
    Pump(300);

    // The window shows the draw surface.
    std::vector<uint32_t> shot = Capture(editor);
    ASSERT_EQ(shot.size(), static_cast<std::size_t>(kW * kH));
    EXPECT_EQ(shot[10 * kW + 10], uint32_t{12} << 16 | 60 << 8 | 90);
    EXPECT_EQ(shot[30 * kW + 30], uint32_t{75} << 16 | 120 << 8 | 30);
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            differing += shot[static_cast<std::size_t>(y) * kW + x] !=
                         (LICE_GetPixel(graphics.GetDrawBitmap(), x, y) & 0xffffffu);
    EXPECT_EQ(differing, 0);

    // A posted click flips the switch inside one gesture and is drawn.
    PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    Pump(200);
    EXPECT_EQ(plug.values[0], 1.0);
    EXPECT_EQ(Join(plug.calls), "begin 0; set 0; end 0; ");
    EXPECT_EQ(Capture(editor)[30 * kW + 30], uint32_t{250} << 16 | 120 << 8 | 30);

    // The text entry is the system's edit box over the control: typed text
    // and Enter commit it at the next timer tick; Escape cancels.
    PostMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(210, 30));
    PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(210, 30));
    Pump(100);
    HWND edit = FindWindowExA(editor, nullptr, "EDIT", nullptr);
    ASSERT_NE(edit, nullptr);
    RECT r;
    GetWindowRect(edit, &r);
    EXPECT_EQ(r.right - r.left, 181);
    EXPECT_EQ(r.bottom - r.top, 25);
    for (char c : std::string("Kick 2")) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump(150);
    EXPECT_EQ(name->text, "Kick 2") << "all text selected on open, so typing replaced it";
    EXPECT_EQ(FindWindowExA(editor, nullptr, "EDIT", nullptr), nullptr);

    PostMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(210, 30));
    Pump(100);
    edit = FindWindowExA(editor, nullptr, "EDIT", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_CHAR, 'x', 0);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(150);
    EXPECT_EQ(name->text, "Kick 2");

    graphics.CloseWindow();
    EXPECT_FALSE(IsWindow(editor));
    WNDCLASSA info;
    EXPECT_FALSE(GetClassInfoA(static_cast<HINSTANCE>(graphics.GetModuleInstance()), "IPlugWndClass", &info))
        << "the class goes with the last editor";
}

TEST(WindowsWindowHost, DrawsAndTakesClicksAtTheZoomAndResizesForANewOne) {
    HostWindow host;
    TestPlug plug;
    IGraphicsWin graphics(&plug, kW, kH);
    graphics.AttachControl(new PaintControl(&plug, IRECT(0, 0, kW, kH), -1, IColor(255, 40, 60, 90)));
    graphics.AttachControl(new PaintControl(&plug, IRECT(21, 21, 81, 61), 0, IColor(255, 250, 120, 30)));
    ASSERT_TRUE(graphics.SetZoom(200));
    HWND editor = static_cast<HWND>(graphics.OpenWindow(host.hwnd));
    ASSERT_NE(editor, nullptr);
    Pump(300);
    RECT client;
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 2 * kW);
    EXPECT_EQ(client.bottom, 2 * kH);
    // The control's logical pixel 21 starts at window pixel 42.
    const std::vector<uint32_t> shot = Capture(editor, 2 * kW, 2 * kH);
    ASSERT_EQ(shot.size(), static_cast<std::size_t>(4 * kW * kH));
    EXPECT_EQ(shot[50 * 2 * kW + 41], uint32_t{12} << 16 | 60 << 8 | 90);
    EXPECT_EQ(shot[50 * 2 * kW + 42], uint32_t{75} << 16 | 120 << 8 | 30);
    // A click on the control's first window pixel hits it; one left of it misses.
    PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(41, 50));
    PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(41, 50));
    Pump(100);
    EXPECT_EQ(plug.values[0], 0.0);
    PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(42, 50));
    PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(42, 50));
    Pump(100);
    EXPECT_EQ(plug.values[0], 1.0);

    // A zoom asked for on the window's timer: the window takes the new size
    // and the choice is saved for the user.
    graphics.RequestZoom(150);
    Pump(200);
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, zoom::ToPhysical(kW, 150));
    EXPECT_EQ(client.bottom, zoom::ToPhysical(kH, 150));
    char appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
    EXPECT_EQ(user_settings::ReadZoom(appData), std::optional<int>(150));
    graphics.CloseWindow();
    // Other tests open editors as a new user would.
    std::remove(user_settings::FilePath(appData).c_str());
}

TEST(WindowsWindowHost, HostDestroyingItsWindowFirstIsSurvived) {
    TestPlug plug;
    IGraphicsWin graphics(&plug, kW, kH);
    graphics.AttachControl(new PaintControl(&plug, IRECT(0, 0, kW, kH), -1, IColor(255, 40, 60, 90)));
    {
        HostWindow host;
        ASSERT_NE(graphics.OpenWindow(host.hwnd), nullptr);
        Pump(100);
    }
    Pump(100);
    EXPECT_EQ(graphics.GetWindow(), nullptr);
    graphics.CloseWindow();
    HostWindow next;
    EXPECT_NE(graphics.OpenWindow(next.hwnd), nullptr);
    Pump(50);
    graphics.CloseWindow();
}

TEST(WindowsDllEditor, OpensInTheHostsWindowTwentyTimes) {
    PluginLibrary library(dllPath());
    HostContext context;
    PluginInstance plugin(library, context);
    plugin.open();
    plugin.setSampleRate(44100.0);
    plugin.setBlockSize(256);
    plugin.resume();
    ASSERT_TRUE(plugin.hasFlag(effFlagsHasEditor));
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, kW);
    EXPECT_EQ(rect->bottom - rect->top, kH);

    HostWindow host;
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, host.hwnd), 1) << "round " << i;
        HWND editor = FindWindowExA(host.hwnd, nullptr, "IPlugWndClass", nullptr);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(FindWindowExA(host.hwnd, editor, "IPlugWndClass", nullptr), nullptr) << "one editor window";
        Pump(i == 0 ? 400 : 20, [&] { plugin.dispatch(effEditIdle); });
        if (i == 0) {
            const std::vector<uint32_t> shot = Capture(editor);
            if (Colours(shot) > 1) {
                // With the instrument's controls: a click on the first
                // oscillator's snap switch changes its parameter.
                const float before = plugin.effect().getParameter(&plugin.effect(), 0);
                context.clearEditReports();
                PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(62, 102));
                PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(62, 102));
                Pump(200);
                EXPECT_NE(plugin.effect().getParameter(&plugin.effect(), 0), before);
                EXPECT_EQ(context.editReports().size(), 3u);
            }
        }
        EXPECT_EQ(plugin.dispatch(effEditClose), 1);
        EXPECT_FALSE(IsWindow(editor));
    }
}

// A user who chose 200 % before: the DLL's editor tells the host the zoomed
// size and opens its window at that size.
TEST(WindowsDllEditor, OpensAtTheUsersSavedZoomAtTheSizeTheHostIsTold) {
    char appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
    ASSERT_TRUE(user_settings::WriteZoom(appData, 200));
    {
        PluginLibrary library(dllPath());
        HostContext context;
        PluginInstance plugin(library, context);
        plugin.open();
        ERect* rect = nullptr;
        ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 2 * kW);
        EXPECT_EQ(rect->bottom - rect->top, 2 * kH);
        HostWindow host;
        ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, host.hwnd), 1);
        HWND editor = FindWindowExA(host.hwnd, nullptr, "IPlugWndClass", nullptr);
        ASSERT_NE(editor, nullptr);
        Pump(200, [&] { plugin.dispatch(effEditIdle); });
        RECT client;
        GetClientRect(editor, &client);
        EXPECT_EQ(client.right, 2 * kW);
        EXPECT_EQ(client.bottom, 2 * kH);
        EXPECT_GT(Colours(Capture(editor, 2 * kW, 2 * kH)), 1u);
        EXPECT_EQ(plugin.dispatch(effEditClose), 1);
    }
    std::remove(user_settings::FilePath(appData).c_str());
}
