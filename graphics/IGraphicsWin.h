// The editor's window on Windows: a child window inside the host's window,
// driven by a timer at the editor's frame rate, with the system's edit box,
// pop-up menu and common dialogs as its services.
#pragma once

#include <string>

#include "IGraphics.h"

namespace kettrix {

class IGraphicsWin : public IGraphics {
public:
    static constexpr unsigned kTimerId = 2;
    static constexpr const char* kWindowClass = "IPlugWndClass";

    IGraphicsWin(IGraphicsPlug* plug, int w, int h, int fps = kDefaultFPS);
    ~IGraphicsWin() override;

    void DrawScreen(const IRECT& rect) override;
    void HideMouseCursor(bool hide) override;
    void MoveMouseCursor(int x, int y) override;
    void CreateTextEntry(IControl* control, const IText& text, const IRECT& rect, const char* str,
                         int paramIdx) override;
    int CreateIPopupMenu(const IPopupMenu& menu, int x, int y) override;
    bool PromptForFile(std::string& path, EFileAction action, const char* directory, const char* extensions) override;
    bool PromptForColor(IColor* color) override;
    bool OpenURL(const char* url) override;
    bool HostPath(std::string& path) override;
    bool PluginPath(std::string& path) override;
    bool UserDocumentsPath(std::string& path) override;
    bool AppDataPath(std::string& path) override;
    // `parent` is the host's window handle (HWND).
    void* OpenWindow(void* parent) override;
    void CloseWindow() override;
    void* GetWindow() override { return plugWnd_; }
    void SetWindowTitle(const char* title) override;
    // The user's saved zoom, else the one for the monitor's resolution.
    int PreferredZoom() override;

    // The module (DLL) the editor's code lives in.
    void* GetModuleInstance() const { return hInstance_; }

    // Window procedures (public so the system can reach them through the
    // class; not for callers).
    struct Procedures;

protected:
    void OnZoomChanged() override;
    void RememberZoom(int percent) override;

private:
    enum class EntryState { None, Open, Committed, Cancelled };

    void FinishTextEntry();

    void* hInstance_ = nullptr;
    void* plugWnd_ = nullptr;  // HWND of the editor window
    void* parentWnd_ = nullptr;
    void* paramEditWnd_ = nullptr;
    void* paramEditFont_ = nullptr;
    std::intptr_t defEditProc_ = 0;
    EntryState entryState_ = EntryState::None;
    IRECT entryRect_;
    int lastX_ = 0, lastY_ = 0;
    bool trackingLeave_ = false;
    bool cursorHidden_ = false;
};

}  // namespace kettrix
