// What the editor tests ask the X server about the host's window.
#pragma once

#include <X11/Xlib.h>

#include <utility>

namespace kettrix::test {

// Children of `window` on the server: 1 while an editor is embedded in it.
inline unsigned ChildCount(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    if (children != nullptr) XFree(children);
    return count;
}

// The one child of `window` (the embedded editor), or 0.
inline Window OnlyChild(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    const Window child = count == 1 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return child;
}

// The size of `window` on the server.
inline std::pair<int, int> WindowSize(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return {0, 0};
    return {attributes.width, attributes.height};
}

// A left click at (x, y) of `window`, sent to it as the server would deliver it.
inline void SendClick(Display* display, Window window, int x, int y) {
    static unsigned long time = 1;
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.display = display;
        event.xbutton.window = window;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.button = Button1;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.time = (time += 1000);
        event.xbutton.same_screen = True;
        XSendEvent(display, window, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XSync(display, False);
}

}  // namespace kettrix::test
