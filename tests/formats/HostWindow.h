// What the editor tests ask the X server about the host's window.
#pragma once

#include <X11/Xlib.h>

namespace kettrix::test {

// Children of `window` on the server: 1 while an editor is embedded in it.
inline unsigned ChildCount(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    if (children != nullptr) XFree(children);
    return count;
}

}  // namespace kettrix::test
