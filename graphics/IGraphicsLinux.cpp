#include "IGraphicsLinux.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "IGraphicsWindow.h"
#include "LinuxDesktop.h"
#include "UserSettings.h"

namespace kettrix {

// --- Process-wide X error handling --------------------------------------------
//
// Xlib reports protocol errors through one handler per process, and the
// default one ends the process. Requests on a window that the host has
// already destroyed (with its parent) fail that way, so while any editor
// has a connection, errors on our connections are ignored and all others
// go on to the handler that was installed before.
namespace {

std::mutex gErrorLock;
std::vector<Display*> gDisplays;
XErrorHandler gPreviousHandler = nullptr;

int EditorErrorHandler(Display* display, XErrorEvent* error) {
    XErrorHandler previous = nullptr;
    {
        std::lock_guard<std::mutex> hold(gErrorLock);
        if (std::find(gDisplays.begin(), gDisplays.end(), display) != gDisplays.end()) return 0;
        previous = gPreviousHandler;
    }
    return previous ? previous(display, error) : 0;
}

void RegisterDisplay(Display* display) {
    std::lock_guard<std::mutex> hold(gErrorLock);
    if (gDisplays.empty()) gPreviousHandler = XSetErrorHandler(EditorErrorHandler);
    gDisplays.push_back(display);
}

void UnregisterDisplay(Display* display) {
    std::lock_guard<std::mutex> hold(gErrorLock);
    gDisplays.erase(std::remove(gDisplays.begin(), gDisplays.end(), display), gDisplays.end());
    if (!gDisplays.empty()) return;
    // Give the process its handler back, unless someone installed another
    // one after ours: that one stays.
    XErrorHandler current = XSetErrorHandler(gPreviousHandler);
    if (current != EditorErrorHandler) XSetErrorHandler(current);
    gPreviousHandler = nullptr;
}

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | KeyPressMask | FocusChangeMask | StructureNotifyMask;

// The key codes of the editor: space 0, arrows 1-4, digits 5-14, letters 15-40.
int KeyCodeFor(KeySym sym) {
    if (sym == XK_space) return KEY_SPACE;
    if (sym == XK_Up || sym == XK_KP_Up) return KEY_UPARROW;
    if (sym == XK_Down || sym == XK_KP_Down) return KEY_DOWNARROW;
    if (sym == XK_Left || sym == XK_KP_Left) return KEY_LEFTARROW;
    if (sym == XK_Right || sym == XK_KP_Right) return KEY_RIGHTARROW;
    if (sym >= XK_0 && sym <= XK_9) return KEY_DIGIT_0 + static_cast<int>(sym - XK_0);
    if (sym >= XK_KP_0 && sym <= XK_KP_9) return KEY_DIGIT_0 + static_cast<int>(sym - XK_KP_0);
    if (sym >= XK_a && sym <= XK_z) return KEY_ALPHA_A + static_cast<int>(sym - XK_a);
    if (sym >= XK_A && sym <= XK_Z) return KEY_ALPHA_A + static_cast<int>(sym - XK_A);
    return -1;
}

// Focus changes of the window itself, not those that only follow the
// pointer or concern a window inside it.
bool IsRealFocusChange(const XFocusChangeEvent& e) {
    return e.mode == NotifyNormal && e.detail != NotifyInferior && e.detail != NotifyPointer &&
           e.detail != NotifyPointerRoot && e.detail != NotifyDetailNone;
}

IMouseMod ModFromState(unsigned state, bool left, bool right) {
    return IMouseMod(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

struct IGraphicsLinux::X11 {
    Display* display = nullptr;
    Window window = 0;
    Window parent = 0;
    Visual* visual = nullptr;
    Colormap colormap = 0;
    GC gc = nullptr;
    Cursor blankCursor = 0;
    bool destroyed = false;  // the server destroyed the window with its parent
    Window savedFocus = None;
    int savedRevert = RevertToParent;

    bool Usable() const { return display && window && !destroyed; }
};

struct IGraphicsLinux::PendingEvent {
    XEvent event;
};

IGraphicsLinux::IGraphicsLinux(IGraphicsPlug* plug, int w, int h, int fps)
    : IGraphics(plug, w, h, fps), x_(std::make_unique<X11>()) {}

IGraphicsLinux::~IGraphicsLinux() { CloseWindow(); }

void* IGraphicsLinux::XDisplay() const { return x_->display; }
unsigned long IGraphicsLinux::XWindowId() const { return x_->window; }

void* IGraphicsLinux::OpenWindow(void* parent) {
    const Window parentId = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (x_->Usable() && x_->parent == parentId) return reinterpret_cast<void*>(x_->window);
    }
    CloseWindow();
    if (parentId == 0) return nullptr;

    std::lock_guard<std::recursive_mutex> hold(xLock_);
    Display* d = XOpenDisplay(nullptr);
    if (!d) return nullptr;
    RegisterDisplay(d);
    const auto fail = [&]() -> void* {
        XSync(d, False);
        UnregisterDisplay(d);
        XCloseDisplay(d);
        *x_ = X11();
        return nullptr;
    };
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(d, parentId, &parentAttributes)) return fail();
    // A 24-bit true-colour window whatever the parent's visual, so the draw
    // surface's pixels go to the server as they are.
    XVisualInfo info;
    if (!XMatchVisualInfo(d, XScreenNumberOfScreen(parentAttributes.screen), 24, TrueColor, &info)) return fail();

    x_->display = d;
    x_->parent = parentId;
    x_->visual = info.visual;
    x_->colormap = XCreateColormap(d, parentId, info.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = x_->colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;  // the surface paints every pixel
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = kEventMask;
    x_->window = XCreateWindow(d, parentId, 0, 0, static_cast<unsigned>(WindowWidth()),
                               static_cast<unsigned>(WindowHeight()), 0, 24, InputOutput, info.visual,
                               CWColormap | CWBorderPixel | CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
    x_->gc = XCreateGC(d, x_->window, 0, nullptr);
    XMapWindow(d, x_->window);
    XSync(d, False);
    XWindowAttributes own;
    if (!XGetWindowAttributes(d, x_->window, &own)) {
        if (x_->gc) XFreeGC(d, x_->gc);
        if (x_->colormap) XFreeColormap(d, x_->colormap);
        return fail();
    }
    // The idle thread (maybe another one) restarts its timer and click
    // history with the new window.
    windowIsNew_ = true;
    SetAllControlsDirty();
    return reinterpret_cast<void*>(x_->window);
}

void IGraphicsLinux::CloseWindow() {
    bool cancelEntry = false;
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (fieldOpen_) {
            fieldOpen_ = false;
            if (fieldForPath_)
                fieldResult_ = -1;
            else
                cancelEntry = true;
        }
        if (Display* d = x_->display) {
            if (x_->window && !x_->destroyed) XDestroyWindow(d, x_->window);
            if (x_->gc) XFreeGC(d, x_->gc);
            if (x_->colormap) XFreeColormap(d, x_->colormap);
            if (x_->blankCursor) XFreeCursor(d, x_->blankCursor);
            XSync(d, False);
            UnregisterDisplay(d);
            XCloseDisplay(d);
        }
        *x_ = X11();
    }
    if (cancelEntry) CancelTextEntry();
    ReleaseDrawBitmap();
}

void* IGraphicsLinux::GetWindow() {
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    return x_->Usable() ? reinterpret_cast<void*>(x_->window) : nullptr;
}

// --- Drawing ---------------------------------------------------------------------

namespace {

// Sends a rectangle of a 32-bit BGRA bitmap to the window. The bitmap's
// pixels are used in place (the image only borrows them).
void PutBitmap(Display* d, Window w, GC gc, Visual* visual, LICE_IBitmap* bitmap, const IRECT& source, int dstX,
               int dstY) {
    if (!bitmap || !bitmap->GetBits() || source.Empty()) return;
    XImage* image = XCreateImage(d, visual, 24, ZPixmap, 0, reinterpret_cast<char*>(bitmap->GetBits()),
                                 static_cast<unsigned>(bitmap->GetWidth()), static_cast<unsigned>(bitmap->GetHeight()),
                                 32, bitmap->GetRowSpan() * 4);
    if (!image) return;
    image->byte_order = LSBFirst;  // pixels are 0xAARRGGBB in memory order
    XPutImage(d, w, gc, image, source.L, source.T, dstX, dstY, static_cast<unsigned>(source.W()),
              static_cast<unsigned>(source.H()));
    image->data = nullptr;  // not ours to free
    XDestroyImage(image);
}

}  // namespace

void IGraphicsLinux::PutSurface(const IRECT& rect) {
    LICE_SysBitmap* surface = GetDrawBitmap();
    if (!x_->Usable() || !surface) return;
    const IRECT r = rect.Intersect(IRECT(0, 0, surface->GetWidth(), surface->GetHeight()));
    PutBitmap(x_->display, x_->window, x_->gc, x_->visual, surface, r, r.L, r.T);
}

void IGraphicsLinux::PutField() {
    if (!x_->Usable() || !fieldOpen_ || !fieldBitmap_) return;
    PutBitmap(x_->display, x_->window, x_->gc, x_->visual, fieldBitmap_.get(),
              IRECT(0, 0, fieldRect_.W(), fieldRect_.H()), fieldRect_.L, fieldRect_.T);
}

void IGraphicsLinux::DrawScreen(const IRECT& rect) {
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    if (!x_->Usable()) return;
    PutSurface(rect);
    // The edit field stays on top of whatever is drawn under it.
    if (fieldOpen_ && rect.Intersects(fieldRect_)) PutField();
    XFlush(x_->display);
}

// --- Events ----------------------------------------------------------------------

void IGraphicsLinux::Idle() {
    std::unique_lock<std::mutex> idle(idleLock_, std::try_to_lock);
    if (!idle.owns_lock()) return;

    if (windowIsNew_.exchange(false)) {
        nextTick_ = std::chrono::steady_clock::now();
        lastPressTime_ = 0;
    }
    std::vector<PendingEvent> events;
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (!x_->display) return;
        while (XPending(x_->display) > 0) {
            PendingEvent pending;
            XNextEvent(x_->display, &pending.event);
            // Only the latest of a run of pointer moves matters.
            if (pending.event.type == MotionNotify && !events.empty() && events.back().event.type == MotionNotify)
                events.back() = pending;
            else
                events.push_back(pending);
        }
    }
    IRECT exposed;
    for (const PendingEvent& pending : events) {
        if (pending.event.type == Expose) {
            const XExposeEvent& e = pending.event.xexpose;
            exposed = exposed.Union(IRECT(e.x, e.y, e.x + e.width, e.y + e.height));
        } else {
            HandleEvent(pending);
        }
    }
    if (!GetWindow()) return;
    if (!exposed.Empty()) Redraw(exposed);

    const auto now = std::chrono::steady_clock::now();
    if (now >= nextTick_) {
        ServiceZoomRequest();
        OnTimer();
        const auto period = std::chrono::milliseconds(1000 / std::max(FPS(), 1));
        nextTick_ += period;
        if (nextTick_ < now) nextTick_ = now + period;  // a late tick is not caught up
    }
}

void IGraphicsLinux::HandleEvent(const PendingEvent& pending) {
    const XEvent& event = pending.event;
    switch (event.type) {
        case ButtonPress: {
            const XButtonEvent& e = event.xbutton;
            if (fieldOpen_ && !fieldRect_.Contains(e.x, e.y)) EndField(false);
            if (fieldOpen_) return;  // clicks inside the field stay with it
            mouseX_ = e.x;
            mouseY_ = e.y;
            if (e.button == Button4 || e.button == Button5) {
                OnMouseWheel(e.x, e.y, ModFromState(e.state, false, false), e.button == Button4 ? 1.0 : -1.0);
                return;
            }
            if (e.button != Button1 && e.button != Button3) return;
            const IMouseMod mod = ModFromState(e.state, e.button == Button1, e.button == Button3);
            const bool doubleClick = e.button == lastPressButton_ && lastPressTime_ != 0 &&
                                     e.time - lastPressTime_ <= static_cast<unsigned long>(kDoubleClickMs) &&
                                     std::abs(e.x - lastPressX_) <= kDoubleClickPixels &&
                                     std::abs(e.y - lastPressY_) <= kDoubleClickPixels;
            if (doubleClick) {
                lastPressTime_ = 0;  // a third click starts afresh
                OnMouseDblClick(e.x, e.y, mod);
            } else {
                lastPressTime_ = e.time;
                lastPressX_ = e.x;
                lastPressY_ = e.y;
                lastPressButton_ = e.button;
                OnMouseDown(e.x, e.y, mod);
            }
            return;
        }
        case ButtonRelease: {
            const XButtonEvent& e = event.xbutton;
            if (fieldOpen_ || (e.button != Button1 && e.button != Button3)) return;
            OnMouseUp(e.x, e.y, ModFromState(e.state, e.button == Button1, e.button == Button3));
            const unsigned othersHeld =
                (e.state & (Button1Mask | Button3Mask)) & ~(e.button == Button1 ? Button1Mask : Button3Mask);
            const bool outside = e.x < 0 || e.y < 0 || e.x >= WindowWidth() || e.y >= WindowHeight();
            if (outside && othersHeld == 0) OnMouseOut();
            return;
        }
        case MotionNotify: {
            const XMotionEvent& e = event.xmotion;
            if (fieldOpen_) return;
            const bool left = (e.state & Button1Mask) != 0, right = (e.state & Button3Mask) != 0;
            if (left || right)
                OnMouseDrag(e.x, e.y, e.x - mouseX_, e.y - mouseY_, ModFromState(e.state, left, right));
            else
                OnMouseOver(e.x, e.y, ModFromState(e.state, false, false));
            mouseX_ = e.x;
            mouseY_ = e.y;
            return;
        }
        case LeaveNotify: {
            const XCrossingEvent& e = event.xcrossing;
            // While a button is held the drag goes on outside the window.
            if (e.mode == NotifyNormal && (e.state & (Button1Mask | Button3Mask)) == 0 && !fieldOpen_) OnMouseOut();
            return;
        }
        case KeyPress: {
            if (fieldOpen_) {
                HandleFieldKey(pending);
                return;
            }
            XKeyEvent key = event.xkey;
            KeySym sym;
            {
                std::lock_guard<std::recursive_mutex> hold(xLock_);
                sym = XLookupKeysym(&key, 0);
            }
            const int code = KeyCodeFor(sym);
            if (code >= 0 && OnKeyDown(mouseX_, mouseY_, code)) return;
            // Keys no control takes belong to the host (transport, shortcuts).
            std::lock_guard<std::recursive_mutex> hold(xLock_);
            if (!x_->Usable()) return;
            XEvent forward = event;
            forward.xkey.window = x_->parent;
            forward.xkey.subwindow = None;
            XSendEvent(x_->display, x_->parent, True, KeyPressMask, &forward);
            XFlush(x_->display);
            return;
        }
        case FocusIn:
            if (fieldOpen_ && IsRealFocusChange(event.xfocus)) fieldHadFocus_ = true;
            return;
        case FocusOut:
            // Focus given to another window ends an open edit field (once the
            // field had it: the change that gave it focus is no loss).
            if (fieldOpen_ && fieldHadFocus_ && IsRealFocusChange(event.xfocus)) EndField(false);
            return;
        case DestroyNotify: {
            bool cancelEntry = false;
            {
                std::lock_guard<std::recursive_mutex> hold(xLock_);
                if (event.xdestroywindow.window != x_->window) return;
                x_->destroyed = true;
                cancelEntry = fieldOpen_ && !fieldForPath_;
                if (fieldForPath_) fieldResult_ = -1;
                fieldOpen_ = false;
            }
            if (cancelEntry) CancelTextEntry();
            return;
        }
        default:
            return;
    }
}

// --- Text entry ------------------------------------------------------------------

void IGraphicsLinux::CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                                     int paramIdx) {
    if (fieldOpen_) return;  // one entry at a time
    IGraphics::CreateTextEntry(control, text, rect, str, paramIdx);
    if (GetTextEntry().control_ != control) return;
    bool opened = false;
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (x_->Usable()) {
            // Exactly over the control, one pixel wider and taller, as an
            // edit box of the system would be.
            fieldRect_ = ToWindow(IRECT(rect.L, rect.T, rect.R + 1, rect.B + 1))
                             .Intersect(IRECT(0, 0, WindowWidth(), WindowHeight()));
            opened = !fieldRect_.Empty();
        }
        if (opened) {
            fieldStyle_ = text;
            fieldStyle_.size_ = zoom::ScaledSize(text.size_, Zoom());
            fieldForPath_ = false;
            field_.Open(str ? str : "");
            fieldBitmap_ = std::make_unique<LICE_MemBitmap>(fieldRect_.W(), fieldRect_.H());
            fieldOpen_ = true;
            fieldHadFocus_ = false;
            XGetInputFocus(x_->display, &x_->savedFocus, &x_->savedRevert);
            XSetInputFocus(x_->display, x_->window, RevertToParent, CurrentTime);
        }
    }
    if (!opened) {
        CancelTextEntry();
        return;
    }
    RedrawField();
}

void IGraphicsLinux::RedrawField() {
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    if (!fieldOpen_ || !fieldBitmap_) return;
    field_.Draw(fieldBitmap_.get(), fieldStyle_);
    if (!x_->Usable()) return;
    PutField();
    XFlush(x_->display);
}

void IGraphicsLinux::HandleFieldKey(const PendingEvent& pending) {
    XKeyEvent key = pending.event.xkey;
    char chars[32] = {};
    KeySym sym = NoSymbol;
    int count = 0;
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (!x_->Usable()) return;
        count = XLookupString(&key, chars, sizeof chars - 1, &sym, nullptr);
    }
    switch (sym) {
        case XK_Return:
        case XK_KP_Enter:
            EndField(true);
            return;
        case XK_Escape:
            EndField(false);
            return;
        case XK_BackSpace:
            field_.Press(TextField::Key::Backspace);
            break;
        case XK_Delete:
        case XK_KP_Delete:
            field_.Press(TextField::Key::Delete);
            break;
        case XK_Left:
        case XK_KP_Left:
            field_.Press(TextField::Key::Left);
            break;
        case XK_Right:
        case XK_KP_Right:
            field_.Press(TextField::Key::Right);
            break;
        case XK_Home:
        case XK_KP_Home:
            field_.Press(TextField::Key::Home);
            break;
        case XK_End:
        case XK_KP_End:
            field_.Press(TextField::Key::End);
            break;
        default:
            if (count > 0) field_.Type(std::string(chars, static_cast<std::size_t>(count)));
            break;
    }
    RedrawField();
}

void IGraphicsLinux::EndField(bool commit) {
    std::string text;
    bool forPath = false;
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (!fieldOpen_) return;
        fieldOpen_ = false;
        forPath = fieldForPath_;
        text = field_.Text();
        if (x_->Usable()) {
            // Keyboard focus goes back where it was before the field opened.
            if (x_->savedFocus != None && x_->savedFocus != PointerRoot && x_->savedFocus != x_->window)
                XSetInputFocus(x_->display, x_->savedFocus, x_->savedRevert, CurrentTime);
            x_->savedFocus = None;
            PutSurface(fieldRect_);
            XFlush(x_->display);
        }
        if (forPath) fieldResult_ = commit ? 1 : -1;
    }
    if (forPath) return;
    if (commit)
        CommitTextEntry(text.c_str());
    else
        CancelTextEntry();
}

// --- Dialogs and desktop services -------------------------------------------------

bool IGraphicsLinux::PromptForFile(std::string& path, EFileAction action, const char* directory,
                                   const char* extensions) {
    std::string folder = directory && *directory ? directory : lastFolder_;
    if (folder.empty()) UserDocumentsPath(folder);
    std::string chosen;
    bool ok = false;
    {
        // The dialog waits for the user: the audio thread must not wait with
        // it, so the plug-in lock is released until the answer is in.
        PlugScopedUnlock unlocked(GetPlug());
        const auto result = desktop::ChooseFile(action == kFileSave, folder, extensions ? extensions : "", chosen);
        if (result == desktop::DialogResult::Unavailable)
            ok = PromptPathInWindow(chosen, folder);
        else
            ok = result == desktop::DialogResult::Chosen;
    }
    if (!ok) {
        path.clear();
        return false;
    }
    path = chosen;
    lastFolder_ = FolderOf(path);
    return true;
}

bool IGraphicsLinux::PromptPathInWindow(std::string& path, const std::string& start) {
    {
        std::lock_guard<std::recursive_mutex> hold(xLock_);
        if (!x_->Usable() || fieldOpen_) return false;
        constexpr int kMargin = 8, kHeight = 22, kTextSize = 14;
        fieldRect_ = ToWindow(IRECT(kMargin, (Height() - kHeight) / 2, Width() - kMargin, (Height() + kHeight) / 2));
        fieldStyle_ = IText(COLOR_BLACK);
        fieldStyle_.size_ = zoom::ScaledSize(kTextSize, Zoom());
        fieldStyle_.align_ = IText::kAlignNear;
        fieldForPath_ = true;
        fieldResult_ = 0;
        field_.Open(start, PATH_MAX);
        field_.Press(TextField::Key::End);  // the user types the name after the folder
        fieldBitmap_ = std::make_unique<LICE_MemBitmap>(fieldRect_.W(), fieldRect_.H());
        fieldOpen_ = true;
        fieldHadFocus_ = false;
        XGetInputFocus(x_->display, &x_->savedFocus, &x_->savedRevert);
        XSetInputFocus(x_->display, x_->window, RevertToParent, CurrentTime);
    }
    RedrawField();
    // The field's own modal loop: only what the field needs is handled.
    while (fieldResult_ == 0) {
        std::vector<PendingEvent> events;
        {
            std::lock_guard<std::recursive_mutex> hold(xLock_);
            if (!x_->Usable()) break;
            while (XPending(x_->display) > 0) {
                PendingEvent pending;
                XNextEvent(x_->display, &pending.event);
                events.push_back(pending);
            }
        }
        for (const PendingEvent& pending : events) {
            const XEvent& e = pending.event;
            if (e.type == KeyPress) {
                HandleFieldKey(pending);
            } else if (e.type == ButtonPress && !fieldRect_.Contains(e.xbutton.x, e.xbutton.y)) {
                EndField(false);
            } else if (e.type == Expose) {
                std::lock_guard<std::recursive_mutex> hold(xLock_);
                PutSurface(
                    IRECT(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height));
                PutField();
            } else if (e.type == DestroyNotify) {
                HandleEvent(pending);
            }
        }
        if (fieldResult_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    if (fieldOpen_) EndField(false);
    const std::string typed = field_.Text();
    if (fieldResult_ != 1 || typed.empty() || typed.back() == '/') return false;
    path = typed;
    return true;
}

bool IGraphicsLinux::PromptForColor(IColor* color) {
    if (!color) return false;
    int r = color->R, g = color->G, b = color->B;
    desktop::DialogResult result;
    {
        PlugScopedUnlock unlocked(GetPlug());
        result = desktop::ChooseColor(r, g, b);
    }
    if (result != desktop::DialogResult::Chosen) return false;
    *color = IColor(color->A, std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
    return true;
}

bool IGraphicsLinux::OpenURL(const char* url) { return url && desktop::OpenWithSystem(url); }

bool IGraphicsLinux::HostPath(std::string& path) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return false;
    path = FolderOf(std::string(buffer, static_cast<std::size_t>(n)));
    return !path.empty();
}

bool IGraphicsLinux::PluginPath(std::string& path) {
    Dl_info info{};
    static const int kAnchor = 0;  // any object of this module
    if (dladdr(&kAnchor, &info) == 0 || !info.dli_fname) return false;
    path = FolderOf(info.dli_fname);
    return !path.empty();
}

bool IGraphicsLinux::UserDocumentsPath(std::string& path) {
    path = desktop::DocumentsFolder();
    return true;
}

bool IGraphicsLinux::AppDataPath(std::string& path) {
    path = desktop::DataFolder();
    return true;
}

// --- Zoom ------------------------------------------------------------------------

namespace {

// The desktop's resolution: GDK_SCALE (a whole factor, as toolkits read it)
// first, then the Xft.dpi resource of the display; 96 dpi when neither says.
double DesktopDpi(Display* display) {
    if (const char* scale = std::getenv("GDK_SCALE"); scale && *scale) {
        const int factor = std::atoi(scale);
        if (factor >= 1) return zoom::kBaseDpi * factor;
    }
    if (display == nullptr) return zoom::kBaseDpi;
    double dpi = zoom::kBaseDpi;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        if (XrmDatabase database = XrmGetStringDatabase(resources)) {
            char* type = nullptr;
            XrmValue value{};
            if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
                const double read = std::atof(value.addr);
                if (read > 0.0) dpi = read;
            }
            XrmDestroyDatabase(database);
        }
    }
    return dpi;
}

}  // namespace

int IGraphicsLinux::PreferredZoom() {
    const std::optional<int> saved = user_settings::ReadZoom(desktop::ConfigFolder());
    if (saved) return *saved;
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    if (x_->display) return zoom::PercentForDpi(DesktopDpi(x_->display));
    // Asked before the window opens (the host wants the editor's size
    // first): a connection of its own for the question.
    Display* d = XOpenDisplay(nullptr);
    const double dpi = DesktopDpi(d);
    if (d) XCloseDisplay(d);
    return zoom::PercentForDpi(dpi);
}

void IGraphicsLinux::OnZoomChanged() {
    if (fieldOpen_) EndField(false);
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    if (!x_->Usable()) return;
    XResizeWindow(x_->display, x_->window, static_cast<unsigned>(WindowWidth()), static_cast<unsigned>(WindowHeight()));
    XFlush(x_->display);
}

void IGraphicsLinux::RememberZoom(int percent) { user_settings::WriteZoom(desktop::ConfigFolder(), percent); }

void IGraphicsLinux::HideMouseCursor(bool hide) {
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    if (!x_->Usable()) return;
    if (!hide) {
        XUndefineCursor(x_->display, x_->window);
    } else {
        if (!x_->blankCursor) {
            static const char kEmpty[1] = {0};
            const Pixmap blank = XCreateBitmapFromData(x_->display, x_->window, kEmpty, 1, 1);
            XColor black{};
            x_->blankCursor = XCreatePixmapCursor(x_->display, blank, blank, &black, &black, 0, 0);
            XFreePixmap(x_->display, blank);
        }
        XDefineCursor(x_->display, x_->window, x_->blankCursor);
    }
    XFlush(x_->display);
}

void IGraphicsLinux::MoveMouseCursor(int x, int y) {
    std::lock_guard<std::recursive_mutex> hold(xLock_);
    if (!x_->Usable()) return;
    XWarpPointer(x_->display, None, x_->window, 0, 0, 0, 0, ToWindow(x), ToWindow(y));
    XFlush(x_->display);
}

}  // namespace kettrix

namespace kettrix {

std::unique_ptr<IGraphics> MakeWindowGraphics(IGraphicsPlug* plug, int w, int h, int fps) {
    return std::make_unique<IGraphicsLinux>(plug, w, h, fps);
}

void IdleWindowGraphics(IGraphics& graphics) {
    if (auto* host = dynamic_cast<IGraphicsLinux*>(&graphics)) host->Idle();
}

int WindowEventFd(IGraphics& graphics) {
    auto* host = dynamic_cast<IGraphicsLinux*>(&graphics);
    auto* display = host != nullptr ? static_cast<Display*>(host->XDisplay()) : nullptr;
    return display != nullptr ? ConnectionNumber(display) : -1;
}

}  // namespace kettrix
