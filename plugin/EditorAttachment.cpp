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
    mPlug.SetParameterFromEditor(paramIdx, normalized);
}
void PlugForGraphics::BeginHostParamEdit(int paramIdx) { mPlug.BeginHostParamEdit(paramIdx); }
void PlugForGraphics::EndHostParamEdit(int paramIdx) { mPlug.EndHostParamEdit(paramIdx); }
void PlugForGraphics::ShowParamInfo(int paramIdx, int, int) { mPlug.ShowParamInfo(paramIdx); }
void PlugForGraphics::ClearParamInfo() { mPlug.ClearParamInfo(); }

bool PlugForGraphics::GetParamRange(int paramIdx, double* min, double* max, double* shape) const {
    const Param* param = mPlug.ParamAt(paramIdx);
    if (param == nullptr) return false;
    *min = param->Min();
    *max = param->Max();
    *shape = param->Shape();
    return true;
}

bool PlugForGraphics::GetParamText(int paramIdx, char* out, std::size_t outSize) const {
    const Param* param = mPlug.ParamAt(paramIdx);
    if (param == nullptr || out == nullptr || outSize == 0) return false;
    char text[256] = {};
    param->FormatCurrent(text, true);
    std::snprintf(out, outSize, "%s", text);
    return true;
}

bool PlugForGraphics::ParamFromText(int paramIdx, const char* text, double* normalized) const {
    const Param* param = mPlug.ParamAt(paramIdx);
    if (param == nullptr || text == nullptr) return false;
    double plain = 0.0;
    if (!param->ValueOfDisplayText(text, &plain)) plain = std::atof(text);
    *normalized = param->Normalized(plain);
    return true;
}

void PlugForGraphics::LockPlug() { mPlug.Lock().lock(); }
void PlugForGraphics::UnlockPlug() { mPlug.Lock().unlock(); }

// --- EditorAttachment -------------------------------------------------------

EditorAttachment::EditorAttachment(IPlugBase& plug, kit::KitModel& kit, kit::ParameterStore& store) : mPlugLink(plug) {
    const GraphicsFactory factory = gFactory.load();
    mGraphics = factory ? factory(&mPlugLink, editor::kEditorWidth, editor::kEditorHeight)
                        : CreatePlatformGraphics(&mPlugLink, editor::kEditorWidth, editor::kEditorHeight);
    mEditor = std::make_unique<editor::KettrixEditor>(*mGraphics, kit, store);
}

EditorAttachment::~EditorAttachment() = default;

void EditorAttachment::SetParameterFromPlug(int paramIndex, double value, bool normalized) {
    mEditor->ShowValue(paramIndex, value, normalized);
}

bool EditorAttachment::OpenWindow(void* parentWindow) { return mGraphics->OpenWindow(parentWindow) != nullptr; }

void EditorAttachment::CloseWindow() { mGraphics->CloseWindow(); }

void EditorAttachment::Idle() {
    if (mGraphics->WindowIsOpen()) mGraphics->OnTimer();
}

}  // namespace kettrix
