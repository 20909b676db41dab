// Synthetic pointer and keyboard input on the test's X server (XTest), as a
// user's hand would give it: events go to whatever window is under the
// pointer or has the focus.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <string>

namespace kettrix::test {

class XTestInput {
public:
    XTestInput() : display_(XOpenDisplay(nullptr)) {}
    ~XTestInput() {
        if (display_) XCloseDisplay(display_);
    }
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    bool Available() const {
        int event, error, major, minor;
        return display_ && XTestQueryExtension(display_, &event, &error, &major, &minor);
    }

    // (x, y) in the coordinates of `window`.
    void MoveTo(unsigned long window, int x, int y) {
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
        XSync(display_, False);
    }
    void MoveToRoot(int x, int y) {
        XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
        XSync(display_, False);
    }
    void Button(unsigned button, bool press) {
        XTestFakeButtonEvent(display_, button, press ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void Click(unsigned button = 1) {
        Button(button, true);
        Button(button, false);
    }
    void Key(KeySym sym, bool shift = false) {
        const KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
        const KeyCode code = XKeysymToKeycode(display_, sym);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
        XSync(display_, False);
    }
    // Lower-case letters, digits, blanks and dots.
    void Type(const std::string& text) {
        for (char c : text) {
            if (c == ' ')
                Key(XK_space);
            else if (c == '.')
                Key(XK_period);
            else if (c == '/')
                Key(XK_slash);
            else if (c >= 'A' && c <= 'Z')
                Key(XK_a + (c - 'A'), true);
            else
                Key(static_cast<KeySym>(static_cast<unsigned char>(c)));
        }
    }

private:
    Display* display_;
};

}  // namespace kettrix::test
