// Joins the plug-in and the graphics framework: the plug-in side of the
// framework's IGraphicsPlug, and the IGraphicsLink through which the plug-in
// base and the host adapter reach the editor's graphics object.
#pragma once

#include <memory>

#include "GraphicsLink.h"
#include "IPlugBase.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {

// What the controls ask of the plug-in, answered by an IPlugBase.
class PlugGraphicsAdapter : public IGraphicsPlug {
public:
    explicit PlugGraphicsAdapter(IPlugBase& plug) : mPlug(plug) {}

    void SetParameterFromEditor(int paramIdx, double normalized) override;
    void BeginHostParamEdit(int paramIdx) override;
    void EndHostParamEdit(int paramIdx) override;
    void ShowParamInfo(int paramIdx, int x, int y) override;
    void ClearParamInfo() override;
    bool GetParamRange(int paramIdx, double* min, double* max, double* shape) const override;
    bool GetParamText(int paramIdx, char* out, std::size_t outSize) const override;
    bool ParamFromText(int paramIdx, const char* text, double* normalized) const override;
    void LockPlug() override;
    void UnlockPlug() override;
    void ResizeGraphics(int w, int h) override;

private:
    IPlugBase& mPlug;
};

// The editor's graphics object as the plug-in base sees it. Owns the
// graphics object; the plug-in owns this link (IPlugBase::AttachEditor).
class GraphicsLinkAdapter : public IGraphicsLink {
public:
    explicit GraphicsLinkAdapter(std::unique_ptr<IGraphics> graphics) : mGraphics(std::move(graphics)) {}

    void SetParameterFromPlug(int paramIndex, double value, bool normalized) override {
        mGraphics->SetParameterFromPlug(paramIndex, value, normalized);
    }
    int Width() const override { return mGraphics->Width(); }
    int Height() const override { return mGraphics->Height(); }
    void PrepDraw() override {}
    bool OpenWindow(void* parentWindow) override { return mGraphics->OpenWindow(parentWindow) != nullptr; }
    void CloseWindow() override { mGraphics->CloseWindow(); }
    void Idle() override { mGraphics->HostIdle(); }

    IGraphics* Graphics() const { return mGraphics.get(); }

private:
    std::unique_ptr<IGraphics> mGraphics;
};

// The graphics object attached to a plug-in, or null when it has none.
IGraphics* AttachedGraphics(IPlugBase& plug);

}  // namespace kettrix
