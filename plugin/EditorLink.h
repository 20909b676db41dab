// The plug-in's side of its editor: owns the editor's graphics object for
// the plug-in's whole life, hands it parameter values, and answers what the
// graphics framework asks of the plug-in (parameter changes with the host's
// begin/automate/end notifications, ranges and texts, the plug-in lock).
#pragma once

#include <memory>

#include "base/GraphicsLink.h"
#include "base/IPlugBase.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {

class EditorLink : public IGraphicsLink, public IGraphicsPlug {
public:
    static constexpr int kWidth = 839;
    static constexpr int kHeight = 556;

    // The graphics object comes from MakeEditorGraphics: the platform's
    // window host (X11 or Win32) unless a tool chose another.
    explicit EditorLink(IPlugBase& plug, int width = kWidth, int height = kHeight);
    ~EditorLink() override;

    IGraphics& Graphics() { return *graphics_; }

    // --- IGraphicsLink (host adapter → editor) ------------------------------
    void SetParameterFromPlug(int paramIndex, double value, bool normalized) override;
    int Width() const override { return graphics_->Width(); }
    int Height() const override { return graphics_->Height(); }
    void PrepDraw() override {}
    bool OpenWindow(void* parentWindow) override;
    void CloseWindow() override;
    void Idle() override;

    // --- IGraphicsPlug (editor → plug-in) -----------------------------------
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
    IPlugBase& plug_;
    std::unique_ptr<IGraphics> graphics_;
};

}  // namespace kettrix
