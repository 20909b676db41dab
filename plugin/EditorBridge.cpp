#include "EditorBridge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Param.h"

namespace kettrix {

void PlugGraphicsAdapter::SetParameterFromEditor(int paramIdx, double normalized) {
    mPlug.SetParameterFromEditor(paramIdx, normalized);
}

void PlugGraphicsAdapter::BeginHostParamEdit(int paramIdx) { mPlug.BeginHostParamEdit(paramIdx); }

void PlugGraphicsAdapter::EndHostParamEdit(int paramIdx) { mPlug.EndHostParamEdit(paramIdx); }

void PlugGraphicsAdapter::ShowParamInfo(int paramIdx, int /*x*/, int /*y*/) { mPlug.ShowParamInfo(paramIdx); }

void PlugGraphicsAdapter::ClearParamInfo() { mPlug.ClearParamInfo(); }

bool PlugGraphicsAdapter::GetParamRange(int paramIdx, double* min, double* max, double* shape) const {
    const Param* param = mPlug.ParamAt(paramIdx);
    if (!param) return false;
    *min = param->Min();
    *max = param->Max();
    *shape = param->Shape();
    return true;
}

bool PlugGraphicsAdapter::GetParamText(int paramIdx, char* out, std::size_t outSize) const {
    const Param* param = mPlug.ParamAt(paramIdx);
    if (!param || !out || outSize == 0) return false;
    char text[kParamTextBufferSize];
    param->FormatCurrent(text, true);
    std::snprintf(out, outSize, "%s", text);
    return true;
}

// An enumerated parameter's text is matched against its value names (no
// match gives 0); any other text is read as a number, negated for
// parameters shown negated.
bool PlugGraphicsAdapter::ParamFromText(int paramIdx, const char* text, double* normalized) const {
    const Param* param = mPlug.ParamAt(paramIdx);
    if (!param || !text || !normalized) return false;
    double plain = 0.0;
    if (param->GetType() == Param::Type::Enumeration) {
        if (!param->ValueOfDisplayText(text, &plain)) plain = 0.0;
    } else {
        plain = std::strtod(text, nullptr);
        if (param->NegateDisplay()) plain = -plain;
    }
    if (!(plain == plain)) plain = param->Min();  // NaN typed as text
    *normalized = param->Normalized(std::clamp(plain, param->Min(), param->Max()));
    return true;
}

void PlugGraphicsAdapter::LockPlug() { mPlug.Lock().lock(); }

void PlugGraphicsAdapter::UnlockPlug() { mPlug.Lock().unlock(); }

void PlugGraphicsAdapter::ResizeGraphics(int /*w*/, int /*h*/) { mPlug.ResizeGraphics(); }

IGraphics* AttachedGraphics(IPlugBase& plug) {
    auto* link = dynamic_cast<GraphicsLinkAdapter*>(plug.GetGraphics());
    return link ? link->Graphics() : nullptr;
}

}  // namespace kettrix
