// LV2 host adapter: the ports the host connects (events, twelve audio
// outputs, one control input per parameter), the run call, the state and
// options interfaces, and the editor's window for the module's X11 UI, all
// answered through IPlugBase's operations.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
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

    // One parameter's news for the host's control port.
    struct PortNews {
        uint32_t port;
        float value;
    };

    IPlugLV2(const PlugConfig& config, const LV2_Feature* const* features);
    ~IPlugLV2() override;

    // Whether the host gave what instantiation needs (the URID map).
    bool HasHostFeatures() const { return map_ != nullptr; }
    // Called by the entry point once construction is complete.
    void FinishConstruction(double sampleRate);

    // --- The descriptor's calls ----------------------------------------------
    void ConnectPort(uint32_t port, void* data);
    void Activate();
    void Run(uint32_t frames);
    void Deactivate();
    // The state and options interfaces, by URI; nullptr for others.
    static const void* ExtensionData(const char* uri);

    // --- The UI's calls (same module, through the instance) -------------------
    bool OpenEditorWindow(unsigned long parent);
    void CloseEditorWindow();
    void ServiceEditor();
    // Hands the parameters changed by the plug-in itself (the editor, a
    // program change) since the last call, for the UI to write to the host's
    // control ports; returns how many were written into `news`.
    std::size_t TakePortNews(std::vector<PortNews>& news);

    void NotifyHostParam(int paramIndex, double normalized) override;

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
    // Parameters the plug-in changed itself, for the host's ports (under the
    // plug-in lock): a flag per parameter and the list of flagged ones.
    std::vector<uint8_t> newsFlags_;
    std::vector<int> newsList_;
    std::size_t newsCount_ = 0;
    bool windowOpen_ = false;
};

}  // namespace kettrix
