// LV2 host adapter: the ports the host connects (events, twelve audio
// outputs, one control input per parameter), the run call, the state and
// options interfaces, and the editor's window for the module's X11 UI, all
// answered through IPlugBase's operations.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <vector>

#include "base/IPlugBase.h"

namespace kettrix {

class IPlugLV2 : public IPlugBase {
public:
    // What the entry point hands the plug-in class for its host: the
    // host's feature list (null-terminated).
    using HostHandle = const LV2_Feature* const*;

    // One piece of news for the host about a control port: an edit begun
    // or ended in the editor, or the port's new value.
    struct PortNews {
        enum class Kind : uint8_t { Begin, Value, End };
        Kind kind;
        uint32_t port;
        float value;  // for Value
    };

    IPlugLV2(const PlugConfig& config, const LV2_Feature* const* features);
    ~IPlugLV2() override;

    // The data of the host's feature `uri` in `features`; nullptr without it.
    static const void* FeatureData(const LV2_Feature* const* features, const char* uri);

    // Whether the host gave what instantiation needs (the URID map).
    bool HasHostFeatures() const { return map_ != nullptr; }
    // Called by the entry point once construction is complete, with a
    // usable rate.
    void FinishConstruction(double sampleRate);

    // --- The descriptor's calls ----------------------------------------------
    void ConnectPort(uint32_t port, void* data);
    void Activate();
    void Run(uint32_t frames);
    void Deactivate();
    // The state and options interfaces, by URI; nullptr for others.
    static const void* ExtensionData(const char* uri);

    // --- The UI's calls (same module, through the instance) -------------------
    // `resize` is the host's ui:resize feature (null without it): the
    // editor asks it for a new window size when its zoom changes.
    bool OpenEditorWindow(unsigned long parent, const LV2UI_Resize* resize = nullptr);
    void CloseEditorWindow();
    bool RequestEditorSize(int width, int height) override;
    void ServiceEditor();
    // Hands what the plug-in itself did to its parameters (the editor's
    // edits and changes) since the last call, in order, for the UI to pass to
    // the host; returns how many were written into `news`.
    std::size_t TakePortNews(std::vector<PortNews>& news);

    void BeginHostParamEdit(int paramIndex) override;
    void NotifyHostParam(int paramIndex, double normalized) override;
    void EndHostParamEdit(int paramIndex) override;

private:
    struct Interfaces;
    struct Urids {
        LV2_URID atomChunk = 0;
        LV2_URID atomInt = 0;
        LV2_URID atomSequence = 0;
        LV2_URID midiEvent = 0;
        LV2_URID maxBlockLength = 0;
        LV2_URID nominalBlockLength = 0;
        LV2_URID stateChunk = 0;
    };

    void MapUrids();
    // Takes the block size from buf-size options; an option not understood
    // is left alone and reported.
    uint32_t ApplyOptions(const LV2_Options_Option* options);
    void ApplyControlChanges();
    void ReadEvents(uint32_t frames);
    void RenderBlock(uint32_t frames);
    LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    void QueueNews(PortNews::Kind kind, int paramIndex);
    // Queues the value of every parameter whose control port, as last read,
    // shows another value: the host starts its ports at the table's
    // defaults and a restored state changes values behind them, so with the
    // UI the host's ports catch up with the plug-in (the next run then finds
    // the plug-in's own values there and changes nothing).
    void QueuePortCatchUp();

    const LV2UI_Resize* uiResize_ = nullptr;  // while the editor's window is open
    LV2_URID_Map* map_ = nullptr;
    Urids urids_;
    // Ports as connected by the host (nullptr: not connected).
    const LV2_Atom_Sequence* events_ = nullptr;
    std::vector<float*> audioPorts_;
    std::vector<const float*> controlPorts_;
    // The last value read from each control port; a parameter goes through
    // the plug-in's setter only when its port shows a different value.
    std::vector<float> lastControl_;
    std::vector<float*> outputPointers_;
    Chunk stateChunk_;
    // News for the host, in order (under the plug-in lock). A parameter has
    // at most one value entry waiting (its flag); the value is read when the
    // news is taken, so later changes before then join the first entry.
    struct QueuedNews {
        PortNews::Kind kind;
        int param;
    };
    std::vector<QueuedNews> news_;
    std::size_t newsCount_ = 0;
    std::vector<uint8_t> valueQueued_;
};

}  // namespace kettrix
