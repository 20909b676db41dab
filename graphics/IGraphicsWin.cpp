#include "IGraphicsWin.h"

// The framework's header first: the system headers define DrawText and
// LoadBitmap as macros, which PlatformWindows.h removes again.
#include "PlatformWindows.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <mutex>
#include <optional>
#include <sstream>
#include <vector>

#include "IGraphicsWindow.h"
#include "UserSettings.h"

namespace kettrix {

namespace {

constexpr int kParamEditId = 99;
constexpr int kMaxEntryChars = 255;

// The window class exists while any editor of the process has a window.
std::mutex gClassLock;
int gClassUsers = 0;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

IGraphicsWin* EditorOf(HWND hwnd) { return reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

IMouseMod ModOf(bool left, bool right) {
    return IMouseMod(left, right, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL), KeyDown(VK_MENU));
}

int KeyCodeFor(WPARAM vk) {
    if (vk == VK_SPACE) return KEY_SPACE;
    if (vk == VK_UP) return KEY_UPARROW;
    if (vk == VK_DOWN) return KEY_DOWNARROW;
    if (vk == VK_LEFT) return KEY_LEFTARROW;
    if (vk == VK_RIGHT) return KEY_RIGHTARROW;
    if (vk >= '0' && vk <= '9') return KEY_DIGIT_0 + static_cast<int>(vk - '0');
    if (vk >= 'A' && vk <= 'Z') return KEY_ALPHA_A + static_cast<int>(vk - 'A');
    return -1;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ModulePath(HMODULE module) {
    char buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

// Adds the menu's items to `hmenu`, numbering ids from `nextId` across
// sub-menus in the order the items appear.
void BuildMenu(HMENU hmenu, const IPopupMenu& menu, int& nextId) {
    for (int i = 0; i < menu.NItems(); ++i) {
        const IPopupMenu::Item& item = menu.GetItem(i);
        const int id = nextId++;
        if (item.flags_ & IPopupMenu::kSeparator) {
            AppendMenuA(hmenu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char text[300];
        switch (menu.GetPrefix()) {
            case IPopupMenu::kPrefix1:
                std::snprintf(text, sizeof text, "%1d: %s", i + 1, item.text_.c_str());
                break;
            case IPopupMenu::kPrefix2:
                std::snprintf(text, sizeof text, "%02d: %s", i + 1, item.text_.c_str());
                break;
            case IPopupMenu::kPrefix3:
                std::snprintf(text, sizeof text, "%03d: %s", i + 1, item.text_.c_str());
                break;
            default:
                std::snprintf(text, sizeof text, "%s", item.text_.c_str());
                break;
        }
        UINT flags = MF_STRING;
        if (item.flags_ & (IPopupMenu::kDisabled | IPopupMenu::kTitle)) flags |= MF_GRAYED;
        if (item.flags_ & IPopupMenu::kChecked) flags |= MF_CHECKED;
        if (item.submenu_) {
            HMENU sub = CreatePopupMenu();
            BuildMenu(sub, *item.submenu_, nextId);
            AppendMenuA(hmenu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
        } else {
            AppendMenuA(hmenu, flags, static_cast<UINT_PTR>(id), text);
        }
    }
}

}  // namespace

// --- Window procedures -----------------------------------------------------------

struct IGraphicsWin::Procedures {
    static LRESULT CALLBACK Window(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ParamEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

LRESULT CALLBACK IGraphicsWin::Procedures::Window(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    IGraphicsWin* self = EditorOf(hwnd);
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);

    switch (msg) {
        case WM_TIMER:
            if (wParam == kTimerId) {
                if (self->entryState_ == EntryState::Committed || self->entryState_ == EntryState::Cancelled)
                    self->FinishTextEntry();
                else {
                    self->ServiceZoomRequest();
                    self->OnTimer();  // the redraw pass ends in DrawScreen
                }
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (LICE_SysBitmap* surface = self->GetDrawBitmap(); surface && surface->GetDC()) {
                const RECT& r = ps.rcPaint;
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<HDC>(surface->GetDC()),
                       r.left, r.top, SRCCOPY);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // every pixel comes from the surface
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            SetFocus(hwnd);  // ends an open text entry (it loses focus)
            SetCapture(hwnd);
            self->lastX_ = x;
            self->lastY_ = y;
            self->OnMouseDown(x, y, ModOf(msg == WM_LBUTTONDOWN, msg == WM_RBUTTONDOWN));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            ReleaseCapture();
            self->OnMouseUp(x, y, ModOf(msg == WM_LBUTTONUP, msg == WM_RBUTTONUP));
            return 0;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
            SetCapture(hwnd);
            self->OnMouseDblClick(x, y, ModOf(msg == WM_LBUTTONDBLCLK, msg == WM_RBUTTONDBLCLK));
            return 0;
        case WM_MOUSEMOVE: {
            const bool left = (wParam & MK_LBUTTON) != 0, right = (wParam & MK_RBUTTON) != 0;
            if (left || right) {
                self->OnMouseDrag(x, y, x - self->lastX_, y - self->lastY_, ModOf(left, right));
            } else {
                if (!self->trackingLeave_) {
                    TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
                    self->trackingLeave_ = TrackMouseEvent(&track) != 0;
                }
                self->OnMouseOver(x, y, ModOf(false, false));
            }
            self->lastX_ = x;
            self->lastY_ = y;
            return 0;
        }
        case WM_MOUSELEAVE:
            self->trackingLeave_ = false;
            self->OnMouseOut();
            return 0;
        case WM_MOUSEWHEEL: {
            POINT p = {x, y};  // screen coordinates
            ScreenToClient(hwnd, &p);
            self->OnMouseWheel(p.x, p.y, ModOf(false, false), GET_WHEEL_DELTA_WPARAM(wParam) / 120.0);
            return 0;
        }
        case WM_KEYDOWN: {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd, &p);
            const int code = KeyCodeFor(wParam);
            if (code >= 0 && self->OnKeyDown(p.x, p.y, code)) return 0;
            // A key no control takes belongs to the host (transport, shortcuts).
            if (HWND top = GetAncestor(hwnd, GA_ROOT); top && top != hwnd) SendMessageA(top, msg, wParam, lParam);
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_NCDESTROY:
            // Destroyed with the host's window before the editor was closed.
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            if (self->plugWnd_ == hwnd) {
                self->plugWnd_ = nullptr;
                self->paramEditWnd_ = nullptr;
            }
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK IGraphicsWin::Procedures::ParamEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    IGraphicsWin* self = EditorOf(GetParent(hwnd));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                self->entryState_ = EntryState::Committed;
                return 0;
            }
            if (wParam == VK_ESCAPE) {
                self->entryState_ = EntryState::Cancelled;
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;  // no beep
            break;
        case WM_KILLFOCUS:
            if (self->entryState_ == EntryState::Open) self->entryState_ = EntryState::Cancelled;
            break;
        default:
            break;
    }
    return CallWindowProcA(reinterpret_cast<WNDPROC>(self->defEditProc_), hwnd, msg, wParam, lParam);
}

// --- Window lifetime ------------------------------------------------------------------

IGraphicsWin::IGraphicsWin(IGraphicsPlug* plug, int w, int h, int fps)
    : IGraphics(plug, w, h, fps), hInstance_(ThisModule()) {}

IGraphicsWin::~IGraphicsWin() { CloseWindow(); }

void* IGraphicsWin::OpenWindow(void* parent) {
    if (plugWnd_) {
        if (parentWnd_ == parent) return plugWnd_;
        CloseWindow();
    }
    if (!parent) return nullptr;
    {
        std::lock_guard<std::mutex> hold(gClassLock);
        if (gClassUsers++ == 0) {
            WNDCLASSA wc = {};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = Procedures::Window;
            wc.hInstance = static_cast<HINSTANCE>(hInstance_);
            wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
            wc.lpszClassName = kWindowClass;
            RegisterClassA(&wc);
        }
    }
    parentWnd_ = parent;
    HWND hwnd =
        CreateWindowA(kWindowClass, "IPlug", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, WindowWidth(),
                      WindowHeight(), static_cast<HWND>(parent), nullptr, static_cast<HINSTANCE>(hInstance_), this);
    if (!hwnd) {
        std::lock_guard<std::mutex> hold(gClassLock);
        if (--gClassUsers == 0) UnregisterClassA(kWindowClass, static_cast<HINSTANCE>(hInstance_));
        parentWnd_ = nullptr;
        return nullptr;
    }
    plugWnd_ = hwnd;
    trackingLeave_ = false;
    SetTimer(hwnd, kTimerId, static_cast<UINT>(1000 / std::max(FPS(), 1)), nullptr);
    SetAllControlsDirty();
    return hwnd;
}

void IGraphicsWin::CloseWindow() {
    if (!parentWnd_) return;
    if (entryState_ != EntryState::None) {
        entryState_ = EntryState::Cancelled;
        FinishTextEntry();
    }
    if (HWND hwnd = static_cast<HWND>(plugWnd_)) {
        KillTimer(hwnd, kTimerId);
        DestroyWindow(hwnd);
    }
    plugWnd_ = nullptr;
    parentWnd_ = nullptr;
    ReleaseDrawBitmap();
    std::lock_guard<std::mutex> hold(gClassLock);
    if (--gClassUsers == 0) UnregisterClassA(kWindowClass, static_cast<HINSTANCE>(hInstance_));
}

void IGraphicsWin::SetWindowTitle(const char* title) {
    if (plugWnd_ && title) SetWindowTextA(static_cast<HWND>(plugWnd_), title);
}

void IGraphicsWin::DrawScreen(const IRECT& rect) {
    HWND hwnd = static_cast<HWND>(plugWnd_);
    if (!hwnd) return;
    const RECT r = {rect.L, rect.T, rect.R, rect.B};
    InvalidateRect(hwnd, &r, FALSE);
    if (paramEditWnd_) {
        // The edit box paints itself; the surface must not paint over it.
        const RECT entry = {entryRect_.L, entryRect_.T, entryRect_.R, entryRect_.B};
        ValidateRect(hwnd, &entry);
    }
    UpdateWindow(hwnd);
}

void IGraphicsWin::HideMouseCursor(bool hide) {
    if (hide == cursorHidden_) return;
    cursorHidden_ = hide;
    ShowCursor(hide ? FALSE : TRUE);
}

void IGraphicsWin::MoveMouseCursor(int x, int y) {
    if (!plugWnd_) return;
    POINT p = {ToWindow(x), ToWindow(y)};
    ClientToScreen(static_cast<HWND>(plugWnd_), &p);
    SetCursorPos(p.x, p.y);
}

// --- Text entry ----------------------------------------------------------------------

void IGraphicsWin::CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                                   int paramIdx) {
    if (!plugWnd_ || paramEditWnd_) return;  // one entry at a time
    IGraphics::CreateTextEntry(control, text, rect, str, paramIdx);
    if (GetTextEntry().control_ != control) return;

    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (text.align_ == IText::kAlignCenter)
        style |= ES_CENTER;
    else if (text.align_ == IText::kAlignFar)
        style |= ES_RIGHT;
    else
        style |= ES_LEFT;
    const IRECT box = ToWindow(IRECT(rect.L, rect.T, rect.R + 1, rect.B + 1));
    HWND edit = CreateWindowA("EDIT", str ? str : "", style, box.L, box.T, box.W(), box.H(),
                              static_cast<HWND>(plugWnd_), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kParamEditId)),
                              static_cast<HINSTANCE>(hInstance_), nullptr);
    if (!edit) {
        CancelTextEntry();
        return;
    }
    HFONT font = CreateFontA(-zoom::ScaledSize(text.size_, Zoom()), 0, 0, 0,
                             text.style_ == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                             text.style_ == IText::kStyleItalic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, text.font_);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SendMessageA(edit, EM_LIMITTEXT, kMaxEntryChars, 0);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    paramEditWnd_ = edit;
    paramEditFont_ = font;
    entryRect_ = box;
    entryState_ = EntryState::Open;
    defEditProc_ =
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWin::Procedures::ParamEdit));
    SetFocus(edit);
}

void IGraphicsWin::FinishTextEntry() {
    const EntryState state = entryState_;
    entryState_ = EntryState::None;
    std::string text;
    if (HWND edit = static_cast<HWND>(paramEditWnd_)) {
        char buffer[kMaxEntryChars + 1] = {};
        GetWindowTextA(edit, buffer, sizeof buffer);
        text = buffer;
        paramEditWnd_ = nullptr;
        // The edit box goes before its font, which it still refers to.
        SetWindowLongPtrA(edit, GWLP_WNDPROC, defEditProc_);
        DestroyWindow(edit);
    }
    if (paramEditFont_) {
        DeleteObject(static_cast<HFONT>(paramEditFont_));
        paramEditFont_ = nullptr;
    }
    if (state == EntryState::Committed)
        CommitTextEntry(text.c_str());
    else
        CancelTextEntry();
    if (plugWnd_) {
        const RECT r = {entryRect_.L, entryRect_.T, entryRect_.R + 1, entryRect_.B + 1};
        InvalidateRect(static_cast<HWND>(plugWnd_), &r, FALSE);
    }
}

// --- Menus and dialogs -------------------------------------------------------------

int IGraphicsWin::CreateIPopupMenu(const IPopupMenu& menu, int x, int y) {
    if (!plugWnd_) return -1;
    HMENU hmenu = CreatePopupMenu();
    int nextId = 1;
    BuildMenu(hmenu, menu, nextId);
    POINT p = {ToWindow(x), ToWindow(y)};
    ClientToScreen(static_cast<HWND>(plugWnd_), &p);
    int chosen = 0;
    {
        // The menu runs a modal loop: the audio thread must not wait for it.
        PlugScopedUnlock unlocked(GetPlug());
        chosen = TrackPopupMenu(hmenu, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y, 0,
                                static_cast<HWND>(plugWnd_), nullptr);
    }
    DestroyMenu(hmenu);
    return chosen > 0 ? chosen - 1 : -1;
}

bool IGraphicsWin::PromptForFile(std::string& path, EFileAction action, const char* directory, const char* extensions) {
    // "K4S files (*.K4S)\0*.K4S\0\0" from "k4s"
    std::string filter;
    std::istringstream words(extensions ? extensions : "");
    for (std::string ext; words >> ext;) {
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        filter += ext + " files (*." + ext + ")";
        filter.push_back('\0');
        filter += "*." + ext;
        filter.push_back('\0');
    }
    filter.push_back('\0');

    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(plugWnd_);
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = directory && *directory ? directory : nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR |
                (action == kFileOpen ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : OFN_OVERWRITEPROMPT);
    BOOL ok = FALSE;
    {
        // The dialog waits for the user: release the plug-in lock meanwhile.
        PlugScopedUnlock unlocked(GetPlug());
        ok = action == kFileSave ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    }
    if (!ok) {
        path.clear();
        return false;
    }
    path = file;
    return true;
}

bool IGraphicsWin::PromptForColor(IColor* color) {
    if (!color) return false;
    static COLORREF custom[16] = {};
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = static_cast<HWND>(plugWnd_);
    cc.rgbResult = RGB(color->R, color->G, color->B);
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    BOOL ok = FALSE;
    {
        PlugScopedUnlock unlocked(GetPlug());
        ok = ChooseColorA(&cc);
    }
    if (!ok) return false;
    *color = IColor(color->A, GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult));
    return true;
}

bool IGraphicsWin::OpenURL(const char* url) {
    if (!url || !*url) return false;
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool IGraphicsWin::HostPath(std::string& path) {
    path = FolderOf(ModulePath(nullptr));
    return !path.empty();
}

bool IGraphicsWin::PluginPath(std::string& path) {
    path = FolderOf(ModulePath(static_cast<HMODULE>(hInstance_)));
    return !path.empty();
}

namespace {

bool SpecialFolder(int csidl, std::string& path) {
    char buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return false;
    path = buffer;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return !path.empty();
}

}  // namespace

bool IGraphicsWin::UserDocumentsPath(std::string& path) { return SpecialFolder(CSIDL_PERSONAL, path); }

bool IGraphicsWin::AppDataPath(std::string& path) { return SpecialFolder(CSIDL_APPDATA, path); }

// --- Zoom ----------------------------------------------------------------------------

namespace {

// The resolution of the monitor the host's window is on (Windows 8.1 and
// later, looked up at run time), else the system's.
double MonitorDpi(HWND window) {
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int kEffectiveDpi = 0;
    if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
        const auto getDpi = reinterpret_cast<GetDpiForMonitorFunction>(
            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
        UINT dpiX = 0, dpiY = 0;
        const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
        const bool ok = getDpi != nullptr && getDpi(monitor, kEffectiveDpi, &dpiX, &dpiY) == S_OK && dpiX > 0;
        FreeLibrary(shcore);
        if (ok) return dpiX;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : zoom::kBaseDpi;
}

}  // namespace

int IGraphicsWin::PreferredZoom() {
    std::string folder;
    const std::optional<int> saved =
        SpecialFolder(CSIDL_APPDATA, folder) ? user_settings::ReadZoom(folder) : std::nullopt;
    return user_settings::FirstZoom(saved, MonitorDpi(static_cast<HWND>(parentWnd_)));
}

void IGraphicsWin::OnZoomChanged() {
    if (entryState_ == EntryState::Open) {
        entryState_ = EntryState::Cancelled;
        FinishTextEntry();
    }
    if (HWND hwnd = static_cast<HWND>(plugWnd_))
        SetWindowPos(hwnd, nullptr, 0, 0, WindowWidth(), WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void IGraphicsWin::RememberZoom(int percent) {
    std::string folder;
    if (SpecialFolder(CSIDL_APPDATA, folder)) user_settings::WriteZoom(folder, percent);
}

std::unique_ptr<IGraphics> MakeWindowGraphics(IGraphicsPlug* plug, int w, int h, int fps) {
    return std::make_unique<IGraphicsWin>(plug, w, h, fps);
}

// The system delivers the window's messages and timer on the host's thread.
void IdleWindowGraphics(IGraphics&) {}

int WindowEventFd(IGraphics&) { return -1; }

}  // namespace kettrix
