// VST 2 host adapter: fills the AEffect record handed to the host, answers
// the dispatcher, runs the audio callbacks on the plug-in's channel records
// and offers the plug-in a small set of calls back to the host.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/IPlugBase.h"
#include "plugin/Vst2Abi.h"

namespace kettrix {

// Host kinds as found from the host's product string; -1 until identified.
enum HostKind : int {
    kHostUninit = -1,
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostProTools = 2,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostAbletonLive = 9,
    kHostMelodyneStudio = 12,
    kHostVSTScanner = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostGarageBand = 22,
    kHostDigitalPerformer = 23,
    kHostStandalone = 24,
    kHostAudioMulch = 25,
    kHostStudioOne = 26,
    kHostVST3TestHost = 27,
    kHostArdour = 28,
};

// Host kind for a product string (case-insensitive substring match).
int LookUpHost(const char* productString);
// Packs a host's decimal vendor version as major << 16 | minor << 8 | revision.
int PackHostVersion(int vendorVersion);

class IPlugVST : public IPlugBase {
public:
    // What the entry point hands the plug-in class for its host.
    using HostHandle = Vst2HostCallback;

    IPlugVST(const PlugConfig& config, Vst2HostCallback hostCallback);
    ~IPlugVST() override;

    AEffect* GetAEffect() { return &aEffect_; }
    const ERect& EditorRect() const { return editRect_; }
    int HostExtensionFlags() const { return hostExtensions_; }

    // Called by the entry point once construction is complete.
    void FinishConstruction();

    void BeginHostParamEdit(int paramIndex) override;
    void NotifyHostParam(int paramIndex, double normalized) override;
    void EndHostParamEdit(int paramIndex) override;
    void NotifyHostDisplay() override;
    bool HostIsOffline() override;
    int HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int* numerator, int* denominator) override;
    void HostTimeInfo(HostTimeInfoRecord* timeInfo) override;
    void ResizeGraphics() override;
    // audioMasterSizeWindow: the host answers 1 when it resized.
    bool RequestEditorSize(int width, int height) override;
    void HostSpecificInit() override;
    void AttachEditor(std::unique_ptr<IGraphicsLink> graphics) override;
    void SetLatencySamples(int samples) override;
    bool SendMidiToHost(const MidiMessage& message) override;
    bool SendSysExToHost(const SysExMessage& message) override;

private:
    // editRect_ from the editor's window size.
    void UpdateEditRect();
    static intptr_t KETTRIX_VST_CALL VSTDispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                                   void* ptr, float opt);
    static void KETTRIX_VST_CALL VSTProcess(AEffect* effect, float** inputs, float** outputs, int32_t frames);
    static void KETTRIX_VST_CALL VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames);
    static void KETTRIX_VST_CALL VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                           int32_t frames);
    static float KETTRIX_VST_CALL VSTGetParameter(AEffect* effect, int32_t index);
    static void KETTRIX_VST_CALL VSTSetParameter(AEffect* effect, int32_t index, float value);

    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    intptr_t GetChunk(int32_t index, void** data);
    intptr_t SetChunk(int32_t index, intptr_t size, const void* data);
    intptr_t ProcessEvents(const VstEvents* events);
    intptr_t String2Parameter(int32_t index, const char* text);
    intptr_t PinProperties(bool output, int32_t index, VstPinProperties* properties);
    intptr_t CanDo(const char* text);
    intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
    void SetSpeakerArrangement(const VstSpeakerArrangement* arrangement, bool output);
    void UpdateChannelCounts();

    template <typename Sample>
    void ProcessFloatOrDouble(Sample** inputs, Sample** outputs, int32_t frames, bool accumulate);
    intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    const VstTimeInfo* HostTime(int32_t mask);

    AEffect aEffect_{};
    Vst2HostCallback hostCallback_;
    ERect editRect_{};
    bool editorOpen_ = false;  // between a successful effEditOpen and effEditClose
    VstSpeakerArrangement inputSpeakers_{};
    VstSpeakerArrangement outputSpeakers_{};
    bool hostSpecificInitDone_ = false;
    int hostExtensions_ = 0;  // bit 0: hasCockosExtensions, bit 1: hasCockosViewAsConfig
    Chunk programChunk_;
    Chunk bankChunk_;
    // Per-piece host buffer pointers when a host block is rendered in pieces.
    std::vector<float*> floatPieces_[2];
    std::vector<double*> doublePieces_[2];
};

}  // namespace kettrix
