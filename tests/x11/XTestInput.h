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
    XTestInput() : mDisplay(XOpenDisplay(nullptr)) {}
    ~XTestInput() {
        if (mDisplay) XCloseDisplay(mDisplay);
    }
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    bool Available() const {
        int event, error, major, minor;
        return mDisplay && XTestQueryExtension(mDisplay, &event, &error, &major, &minor);
    }

    // (x, y) in the coordinates of `window`.
    void MoveTo(unsigned long window, int x, int y) {
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rx, ry, CurrentTime);
        XSync(mDisplay, False);
    }
    void MoveToRoot(int x, int y) {
        XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), x, y, CurrentTime);
        XSync(mDisplay, False);
    }
    void Button(unsigned button, bool press) {
        XTestFakeButtonEvent(mDisplay, button, press ? True : False, CurrentTime);
        XSync(mDisplay, False);
    }
    void Click(unsigned button = 1) {
        Button(button, true);
        Button(button, false);
    }
    void Key(KeySym sym, bool shift = false) {
        const KeyCode shiftCode = XKeysymToKeycode(mDisplay, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(mDisplay, shiftCode, True, CurrentTime);
        const KeyCode code = XKeysymToKeycode(mDisplay, sym);
        XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
        XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(mDisplay, shiftCode, False, CurrentTime);
        XSync(mDisplay, False);
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
    Display* mDisplay;
};

}  // namespace kettrix::test
