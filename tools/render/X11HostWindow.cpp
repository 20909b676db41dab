#include "X11HostWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace kettrix::render {

struct X11HostWindow::Impl {
    Display* display = nullptr;
    Atom deleteWindow = 0;
    bool closed = false;
};

namespace {

// Position of the lowest set bit of a channel mask and its width, for
// turning a visual's pixel into 8-bit red, green and blue.
struct Channel {
    int shift = 0;
    int bits = 0;
    explicit Channel(unsigned long mask) {
        if (mask == 0) return;
        while ((mask & 1u) == 0) {
            mask >>= 1;
            ++shift;
        }
        while ((mask & 1u) != 0) {
            mask >>= 1;
            ++bits;
        }
    }
    uint32_t to8(unsigned long pixel) const {
        if (bits == 0) return 0;
        const unsigned long v = (pixel >> shift) & ((1ul << bits) - 1);
        return static_cast<uint32_t>(bits >= 8 ? v >> (bits - 8) : v * 255 / ((1ul << bits) - 1));
    }
};

}  // namespace

X11HostWindow::X11HostWindow(int width, int height, const std::string& title, int x, int y)
    : impl_(new Impl), width_(std::max(width, 1)), height_(std::max(height, 1)) {
    impl_->display = XOpenDisplay(nullptr);
    if (impl_->display == nullptr) {
        delete impl_;
        throw DisplayError("cannot open the X display (is DISPLAY set? under no desktop, run through xvfb-run)");
    }
    Display* d = impl_->display;
    const int screen = DefaultScreen(d);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(d, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    const Window w =
        XCreateWindow(d, RootWindow(d, screen), x, y, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    window_ = w;
    XStoreName(d, w, title.c_str());
    impl_->deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &impl_->deleteWindow, 1);
    XMapWindow(d, w);
    // The plug-in is given the window only once the server shows it.
    XEvent event;
    do XWindowEvent(d, w, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    XSync(d, False);
}

X11HostWindow::~X11HostWindow() {
    destroyWindow();
    XCloseDisplay(impl_->display);
    delete impl_;
}

void X11HostWindow::resize(int width, int height) {
    if (window_ == 0 || width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    XResizeWindow(impl_->display, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(impl_->display, False);
}

bool X11HostWindow::pumpEvents() {
    Display* d = impl_->display;
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == impl_->deleteWindow)
            impl_->closed = true;
        else if (event.type == DestroyNotify && event.xdestroywindow.window == window_)
            impl_->closed = true;
    }
    return !impl_->closed && window_ != 0;
}

void X11HostWindow::sync() { XSync(impl_->display, False); }

RgbImage X11HostWindow::capture() {
    RgbImage image;
    if (window_ == 0) return image;
    Display* d = impl_->display;
    XSync(d, False);
    XImage* x =
        XGetImage(d, window_, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), AllPlanes, ZPixmap);
    if (x == nullptr) return image;
    const Channel red(x->red_mask), green(x->green_mask), blue(x->blue_mask);
    image.width = width_;
    image.height = height_;
    image.pixels.resize(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        for (int px = 0; px < width_; ++px) {
            const unsigned long p = XGetPixel(x, px, y);
            image.pixels[static_cast<std::size_t>(y) * width_ + px] =
                red.to8(p) << 16 | green.to8(p) << 8 | blue.to8(p);
        }
    XDestroyImage(x);
    return image;
}

void X11HostWindow::destroyWindow() {
    if (window_ == 0) return;
    XDestroyWindow(impl_->display, window_);
    XSync(impl_->display, False);
    window_ = 0;
}

}  // namespace kettrix::render
