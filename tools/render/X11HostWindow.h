// A top-level X11 window that a host gives a plug-in as the parent of its
// editor, on a display connection of the host's own.
#pragma once

#include "PngWriter.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kettrix::render {

// No X display could be opened (DISPLAY unset or the server unreachable).
class DisplayError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class X11HostWindow {
public:
    // Opens the display named by DISPLAY and maps a window of the given
    // size at (x, y) of the screen; throws DisplayError when there is no
    // display.
    X11HostWindow(int width, int height, const std::string& title, int x = 0, int y = 0);
    ~X11HostWindow();
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    // The window id, as a VST 2 host passes it to effEditOpen on Linux.
    uintptr_t windowId() const { return window_; }
    void* parentHandle() const { return reinterpret_cast<void*>(window_); }

    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    // Handles the queued events of the host's connection; false once the
    // user (or window manager) asked to close the window.
    bool pumpEvents();

    // Waits until the server has handled every request of this connection.
    void sync();

    // The window's current pixels as the server holds them, the plug-in's
    // child windows included.
    RgbImage capture();

    // Destroys the window while the plug-in's editor still lives in it, as a
    // host closing its window before effEditClose does.
    void destroyWindow();

private:
    struct Impl;
    Impl* impl_;
    uintptr_t window_ = 0;
    int width_;
    int height_;
};

}  // namespace kettrix::render
