#include "plugin/EditorAttachment.h"

#include <atomic>
#include <cstdio>

#include "base/IPlugBase.h"
#include "editor/IKeyboardControlK4.h"
#include "graphics/IGraphicsWindow.h"

namespace kettrix {
namespace {

std::atomic<GraphicsFactory> gFactory{nullptr};

}  // namespace

void SetGraphicsFactory(GraphicsFactory factory) { gFactory.store(factory); }

// The platform's window host (X11 or Win32): it draws into the host's window
// between effEditOpen and effEditClose and holds the control values always.
std::unique_ptr<IGraphics> CreatePlatformGraphics(IGraphicsPlug* plug, int width, int height) {
    return MakeWindowGraphics(plug, width, height);
}

// --- PlugForGraphics --------------------------------------------------------

PlugForGraphics::PlugForGraphics(IPlugBase& plug)
    : plug_(plug), openGestures_(static_cast<std::size_t>(plug.NParams()), 0) {}

int* PlugForGraphics::OpenGestures(int paramIdx) {
    const auto i = static_cast<std::size_t>(paramIdx);
    return paramIdx >= 0 && i < openGestures_.size() ? &openGestures_[i] : nullptr;
}

void PlugForGraphics::SetParameterFromEditor(int paramIdx, double normalized) {
    const int* open = OpenGestures(paramIdx);
    const bool bracket = open != nullptr && *open == 0;
    if (bracket) plug_.BeginHostParamEdit(paramIdx);
    plug_.SetParameterFromEditor(paramIdx, normalized);
    if (bracket) plug_.EndHostParamEdit(paramIdx);
}

void PlugForGraphics::BeginHostParamEdit(int paramIdx) {
    if (int* open = OpenGestures(paramIdx)) ++*open;
    plug_.BeginHostParamEdit(paramIdx);
}

void PlugForGraphics::EndHostParamEdit(int paramIdx) {
    if (int* open = OpenGestures(paramIdx); open != nullptr && *open > 0) --*open;
    plug_.EndHostParamEdit(paramIdx);
}
void PlugForGraphics::ShowParamInfo(int paramIdx, int, int) { plug_.ShowParamInfo(paramIdx); }
void PlugForGraphics::ClearParamInfo() { plug_.ClearParamInfo(); }

bool PlugForGraphics::NormalizedFromPlain(int paramIdx, double plain, double* normalized) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (param == nullptr || normalized == nullptr) return false;
    *normalized = param->Normalized(plain);
    return true;
}

bool PlugForGraphics::GetParamText(int paramIdx, char* out, std::size_t outSize) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (param == nullptr || out == nullptr || outSize == 0) return false;
    char text[256] = {};
    param->FormatCurrent(text, true);
    std::snprintf(out, outSize, "%s", text);
    return true;
}

// The text reads as the host's does; the editor takes the value normalised.
bool PlugForGraphics::ParamFromText(int paramIdx, const char* text, double* normalized) const {
    const Param* param = plug_.ParamAt(paramIdx);
    double plain = 0.0;
    if (param == nullptr || normalized == nullptr || !plug_.ParamValueFromText(paramIdx, text, &plain)) return false;
    *normalized = param->Normalized(plain);
    return true;
}

void PlugForGraphics::LockPlug() { plug_.Lock().lock(); }
void PlugForGraphics::UnlockPlug() { plug_.Lock().unlock(); }
void PlugForGraphics::ResizeGraphics(int, int) { plug_.ResizeGraphics(); }
bool PlugForGraphics::RequestWindowSize(int w, int h) { return plug_.RequestEditorSize(w, h); }

// --- EditorAttachment -------------------------------------------------------

EditorAttachment::EditorAttachment(IPlugBase& plug, kit::KitModel& kit, kit::ParameterStore& store) : plugLink_(plug) {
    const GraphicsFactory factory = gFactory.load();
    graphics_ = factory ? factory(&plugLink_, editor::kEditorWidth, editor::kEditorHeight)
                        : CreatePlatformGraphics(&plugLink_, editor::kEditorWidth, editor::kEditorHeight);
    editor_ = std::make_unique<editor::KettrixEditor>(*graphics_, kit, store);
}

EditorAttachment::~EditorAttachment() { graphics_->CloseWindow(); }

void EditorAttachment::SetParameterFromPlug(int paramIndex, double value, bool normalized) {
    editor_->ShowValue(paramIndex, value, normalized);
}

int EditorAttachment::Width() const {
    graphics_->ChooseFirstZoom();
    return graphics_->WindowWidth();
}

int EditorAttachment::Height() const {
    graphics_->ChooseFirstZoom();
    return graphics_->WindowHeight();
}

bool EditorAttachment::OpenWindow(void* parentWindow) {
    graphics_->ChooseFirstZoom();
    return graphics_->OpenWindow(parentWindow) != nullptr;
}

void EditorAttachment::CloseWindow() {
    // A key held down with the mouse gets no release once the window is gone.
    if (IKeyboardControlK4* keyboard = editor_->Keyboard()) keyboard->ReleasePress();
    graphics_->CloseWindow();
}

// X11 delivers no events by itself: the host's idle call services the window's
// events and its redraw timer (the Win32 window has a timer of its own).
void EditorAttachment::Idle() { IdleWindowGraphics(*graphics_); }

int EditorAttachment::EventFd() const { return WindowEventFd(*graphics_); }

}  // namespace kettrix
