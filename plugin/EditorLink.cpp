#include "plugin/EditorLink.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/IGraphicsWindow.h"
#include "plugin/EditorAttachment.h"

namespace kettrix {

namespace {

std::atomic<GraphicsFactory> gFactory{nullptr};

}  // namespace

void SetGraphicsFactory(GraphicsFactory factory) { gFactory = factory; }

std::unique_ptr<IGraphics> MakeEditorGraphics(IGraphicsPlug* plug, int width, int height) {
    if (GraphicsFactory factory = gFactory.load()) return factory(plug, width, height);
    return MakeWindowGraphics(plug, width, height);
}

EditorLink::EditorLink(IPlugBase& plug, int width, int height)
    : plug_(plug), graphics_(MakeEditorGraphics(this, width, height)) {}

EditorLink::~EditorLink() { graphics_->CloseWindow(); }

void EditorLink::SetParameterFromPlug(int paramIndex, double value, bool normalized) {
    graphics_->SetParameterFromPlug(paramIndex, value, normalized);
}

bool EditorLink::OpenWindow(void* parentWindow) { return graphics_->OpenWindow(parentWindow) != nullptr; }

void EditorLink::CloseWindow() { graphics_->CloseWindow(); }

void EditorLink::Idle() { IdleWindowGraphics(*graphics_); }

void EditorLink::SetParameterFromEditor(int paramIdx, double normalized) {
    plug_.SetParameterFromEditor(paramIdx, normalized);
}

void EditorLink::BeginHostParamEdit(int paramIdx) { plug_.BeginHostParamEdit(paramIdx); }

void EditorLink::EndHostParamEdit(int paramIdx) { plug_.EndHostParamEdit(paramIdx); }

void EditorLink::ShowParamInfo(int paramIdx, int, int) { plug_.ShowParamInfo(paramIdx); }

void EditorLink::ClearParamInfo() { plug_.ClearParamInfo(); }

bool EditorLink::GetParamRange(int paramIdx, double* min, double* max, double* shape) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (!param) return false;
    if (min) *min = param->Min();
    if (max) *max = param->Max();
    if (shape) *shape = param->Shape();
    return true;
}

bool EditorLink::GetParamText(int paramIdx, char* out, std::size_t outSize) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (!param || !out || outSize == 0) return false;
    char text[kParamTextBufferSize] = {};
    param->FormatCurrent(text, true);
    std::snprintf(out, outSize, "%s", text);
    return true;
}

bool EditorLink::ParamFromText(int paramIdx, const char* text, double* normalized) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (!param || !text || !normalized) return false;
    double plain = 0.0;
    if (!param->DisplayTexts().empty()) {
        // An enumerated value is chosen by its exact name; no match gives 0.
        if (!param->ValueOfDisplayText(text, &plain)) plain = 0.0;
    } else {
        plain = std::strtod(text, nullptr);
        if (!std::isfinite(plain)) plain = 0.0;
        if (param->NegateDisplay()) plain = -plain;
    }
    if (plain < param->Min()) plain = param->Min();
    if (plain > param->Max()) plain = param->Max();
    *normalized = param->Normalized(plain);
    return true;
}

void EditorLink::LockPlug() { plug_.Lock().lock(); }

void EditorLink::UnlockPlug() { plug_.Lock().unlock(); }

void EditorLink::ResizeGraphics(int, int) { plug_.ResizeGraphics(); }

}  // namespace kettrix
