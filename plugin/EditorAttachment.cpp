#include "plugin/EditorAttachment.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "base/IPlugBase.h"
#include "graphics/IGraphicsOffscreen.h"

namespace kettrix {
namespace {

std::atomic<GraphicsFactory> gFactory{nullptr};

}  // namespace

void SetGraphicsFactory(GraphicsFactory factory) { gFactory.store(factory); }

// Until a window host exists for the platform, the editor draws off-screen:
// every control works and takes values, and opening a window succeeds
// without showing one.
std::unique_ptr<IGraphics> CreatePlatformGraphics(IGraphicsPlug* plug, int width, int height) {
    return std::make_unique<IGraphicsOffscreen>(plug, width, height);
}

// --- PlugForGraphics --------------------------------------------------------

void PlugForGraphics::SetParameterFromEditor(int paramIdx, double normalized) {
    plug_.SetParameterFromEditor(paramIdx, normalized);
}
void PlugForGraphics::BeginHostParamEdit(int paramIdx) { plug_.BeginHostParamEdit(paramIdx); }
void PlugForGraphics::EndHostParamEdit(int paramIdx) { plug_.EndHostParamEdit(paramIdx); }
void PlugForGraphics::ShowParamInfo(int paramIdx, int, int) { plug_.ShowParamInfo(paramIdx); }
void PlugForGraphics::ClearParamInfo() { plug_.ClearParamInfo(); }

bool PlugForGraphics::GetParamRange(int paramIdx, double* min, double* max, double* shape) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (param == nullptr) return false;
    *min = param->Min();
    *max = param->Max();
    *shape = param->Shape();
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

bool PlugForGraphics::ParamFromText(int paramIdx, const char* text, double* normalized) const {
    const Param* param = plug_.ParamAt(paramIdx);
    if (param == nullptr || text == nullptr) return false;
    double plain = 0.0;
    if (!param->ValueOfDisplayText(text, &plain)) plain = std::atof(text);
    *normalized = param->Normalized(plain);
    return true;
}

void PlugForGraphics::LockPlug() { plug_.Lock().lock(); }
void PlugForGraphics::UnlockPlug() { plug_.Lock().unlock(); }

// --- EditorAttachment -------------------------------------------------------

EditorAttachment::EditorAttachment(IPlugBase& plug, kit::KitModel& kit, kit::ParameterStore& store) : plugLink_(plug) {
    const GraphicsFactory factory = gFactory.load();
    graphics_ = factory ? factory(&plugLink_, editor::kEditorWidth, editor::kEditorHeight)
                        : CreatePlatformGraphics(&plugLink_, editor::kEditorWidth, editor::kEditorHeight);
    editor_ = std::make_unique<editor::KettrixEditor>(*graphics_, kit, store);
}

EditorAttachment::~EditorAttachment() = default;

void EditorAttachment::SetParameterFromPlug(int paramIndex, double value, bool normalized) {
    editor_->ShowValue(paramIndex, value, normalized);
}

bool EditorAttachment::OpenWindow(void* parentWindow) { return graphics_->OpenWindow(parentWindow) != nullptr; }

void EditorAttachment::CloseWindow() { graphics_->CloseWindow(); }

void EditorAttachment::Idle() {
    if (graphics_->WindowIsOpen()) graphics_->OnTimer();
}

}  // namespace kettrix
