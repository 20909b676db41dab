// The editor inside the plug-in object: the graphics object with the whole
// control list, the editor's operations, and the two small interfaces that
// join them to the plug-in: IGraphicsPlug (what the controls ask of the
// plug-in) and IGraphicsLink (what the plug-in base and the host adapter ask
// of the editor). Created in the plug-in's constructor; the window opens and
// closes inside it as the host asks.
#pragma once

#include <memory>
#include <vector>

#include "base/GraphicsLink.h"
#include "editor/KettrixEditor.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsPlug.h"

namespace kettrix {

class IPlugBase;

// Makes the graphics object of a new editor. The default is the platform's
// window host; tests and the picture tool choose the off-screen editor.
using GraphicsFactory = std::unique_ptr<IGraphics> (*)(IGraphicsPlug* plug, int width, int height);
// The factory used by instances created from now on; nullptr restores the default.
void SetGraphicsFactory(GraphicsFactory factory);
std::unique_ptr<IGraphics> CreatePlatformGraphics(IGraphicsPlug* plug, int width, int height);

// The controls' view of the plug-in.
class PlugForGraphics final : public IGraphicsPlug {
public:
    explicit PlugForGraphics(IPlugBase& plug);

    void SetParameterFromEditor(int paramIdx, double normalized) override;
    void BeginHostParamEdit(int paramIdx) override;
    void EndHostParamEdit(int paramIdx) override;
    void ShowParamInfo(int paramIdx, int x, int y) override;
    void ClearParamInfo() override;
    bool NormalizedFromPlain(int paramIdx, double plain, double* normalized) const override;
    bool GetParamText(int paramIdx, char* out, std::size_t outSize) const override;
    bool ParamFromText(int paramIdx, const char* text, double* normalized) const override;
    void LockPlug() override;
    void UnlockPlug() override;
    void ResizeGraphics(int w, int h) override;
    bool RequestWindowSize(int w, int h) override;

private:
    // The open-gesture count of a parameter; null for an index outside the table.
    int* OpenGestures(int paramIdx);

    IPlugBase& plug_;
    // Begin edits not yet ended, per parameter: a change outside any gesture
    // is bracketed on its own, so the host sees every editor change inside
    // begin and end edit (a tab, a name field, an envelope's copy into its
    // sliders' parameters ...).
    std::vector<int> openGestures_;
};

// Owned by the plug-in base once attached; lives as long as the plug-in object.
class EditorAttachment final : public IGraphicsLink {
public:
    EditorAttachment(IPlugBase& plug, kit::KitModel& kit, kit::ParameterStore& store);
    ~EditorAttachment() override;

    editor::KettrixEditor& Editor() { return *editor_; }
    IGraphics& Graphics() { return *graphics_; }
    // What the controls ask of the plug-in (for controls added from outside).
    IGraphicsPlug& PlugLink() { return plugLink_; }

    // IGraphicsLink
    void SetParameterFromPlug(int paramIndex, double value, bool normalized) override;
    // The window's size: the first question about it (or the first open)
    // settles the zoom the editor starts with.
    int Width() const override;
    int Height() const override;
    void PrepDraw() override {}
    bool OpenWindow(void* parentWindow) override;
    void CloseWindow() override;
    void Idle() override;
    int EventFd() const override;

private:
    PlugForGraphics plugLink_;
    std::unique_ptr<IGraphics> graphics_;
    std::unique_ptr<editor::KettrixEditor> editor_;
};

}  // namespace kettrix
