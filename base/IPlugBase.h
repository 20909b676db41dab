// Base class of every plug-in object: parameters, preset slots, state chunks,
// channel records, sample rate and block size, the plug-in lock and the link
// to the editor's graphics. The plug-in class overrides the virtual
// operations below; the host adapter calls them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Chunk.h"
#include "base/GraphicsLink.h"
#include "base/MidiMessage.h"
#include "base/Param.h"
#include "base/PlugLock.h"
#include "base/PresetSlot.h"

namespace kettrix {

// Fixed configuration handed to the base constructors by the plug-in class.
struct PlugConfig {
    const char* effectName = "";
    const char* productString = "";
    const char* vendorString = "";
    int32_t uniqueId = 0;
    int32_t manufacturerId = 0;
    int32_t version = 0;  // major << 16 | minor << 8 | revision
    int numParams = 0;
    int numPresets = 0;
    const char* channelIOString = "";
    int latency = 0;
    bool receivesMidi = false;
    bool stateChunks = false;
    bool isInstrument = false;
    // One name per stereo output pair (NOutChannels() / 2 of them), for
    // formats that name their output buses; nullptr: none.
    const char* const* outputBusLabels = nullptr;
};

// Version in which chunks are framed, written after the chunk magic.
constexpr int32_t kFrameworkVersion = 0x00010000;
// A four-character code as plug-in identifiers and chunk tags use it: the
// first character in the highest byte.
constexpr int32_t FourCharCode(char a, char b, char c, char d) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

// First four bytes of a framed chunk.
constexpr int32_t kChunkMagic = FourCharCode('p', 'f', 'f', 't');

struct InputChannel {
    bool connected = true;
    double* source = nullptr;  // where the render reads this channel
    std::vector<double> scratch;
    std::string label;
};

struct OutputChannel {
    bool connected = true;
    double* destination = nullptr;     // where the render writes this channel
    float* hostFloatBuffer = nullptr;  // host buffer in single precision
    std::vector<double> scratch;
    std::string label;
};

struct ChannelIOPair {
    int inputs;
    int outputs;
};

// Musical time as reported by the host.
struct HostTimeInfoRecord {
    double samplePos = 0.0;
    double ppqPos = 0.0;
    double tempo = 120.0;
    double lastBar = 0.0;
    double cycleStart = 0.0;
    double cycleEnd = 0.0;
    int numerator = 4;
    int denominator = 4;
    bool transportIsRunning = false;
    bool transportLoopEnabled = false;
};

class IPlugBase {
public:
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr int kDefaultBlockSize = 1024;
    // Largest scratch buffer size; hosts sending longer blocks get them
    // rendered in pieces of this size.
    static constexpr int kMaxBlockSize = 65536;
    // The sample rates a host may set, in Hz: those audio hardware offers
    // (the engine sizes its tables by the rate). NaN is none of them.
    static constexpr bool IsUsableSampleRate(double rate) { return rate >= 8000.0 && rate <= 768000.0; }

    explicit IPlugBase(const PlugConfig& config);
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // --- Virtual operations, in slot order -------------------------------
    virtual ~IPlugBase();
    virtual void Reset();
    virtual void ParameterChanged(int paramIndex);
    virtual void ShowParamInfo(int paramIndex);
    virtual void ClearParamInfo();
    // inputs/outputs hold one pointer per input/output channel.
    virtual void processBlock(double** inputs, double** outputs, int frames);
    virtual void processBlockFloat(float** inputs, float** outputs, int frames);
    virtual void EditorOpened();
    virtual void EditorClosed();
    virtual void OnIdle();
    virtual void SetActive(bool active);
    virtual void ReceiveMidi(const MidiMessage& message);
    virtual void ReceiveSysEx(const SysExMessage& message);
    // Writes a key name into `name` (kParamTextBufferSize bytes); base: none.
    virtual bool NameMidiNote(int key, char* name);
    virtual bool SerializeState(Chunk& chunk);
    virtual int UnserializeState(const Chunk& chunk, int start);
    // Where UnserializeState from `start` would end, or -1 when the state
    // cannot be read whole; reads it into nothing but scratch. Base: the
    // parameter values.
    virtual int StateEnd(const Chunk& chunk, int start) const;
    virtual bool StateMatches(const Chunk& chunk, int start);
    virtual void OnWindowResize();
    virtual bool QueryYesNo();
    virtual void OnHostIdentified();
    virtual void SpareHook1();
    virtual void SetParameterFromEditor(int paramIndex, double normalized);
    virtual void BeginHostParamEdit(int paramIndex);
    virtual void NotifyHostParam(int paramIndex, double normalized);
    virtual void EndHostParamEdit(int paramIndex);
    virtual void NotifyHostDisplay();
    virtual bool HostIsOffline();
    virtual int HostSamplePosition();
    virtual double HostTempo();
    virtual void HostTimeSignature(int* numerator, int* denominator);
    virtual void HostTimeInfo(HostTimeInfoRecord* timeInfo);
    virtual int GetHost();
    virtual int GetHostVersion();
    virtual void ResizeGraphics();
    // Asks the host to give the editor's window this size (window pixels);
    // false when it refuses or cannot be asked. Base: cannot.
    virtual bool RequestEditorSize(int width, int height);
    virtual void HostSpecificInit();
    virtual void AttachEditor(std::unique_ptr<IGraphicsLink> graphics);
    virtual void SetLatencySamples(int samples);
    virtual bool SendMidiToHost(const MidiMessage& message);
    virtual bool SendSysExToHost(const SysExMessage& message);
    virtual void RefreshParamControls();
    virtual void SpareHook2();
    virtual void ProgramChanged();
    virtual void BeforeProgramChange();
    virtual void SetBlockSize(int frames);

    // --- Parameters -------------------------------------------------------
    int NParams() const { return static_cast<int>(params_.size()); }
    Param* ParamAt(int index);
    const Param* ParamAt(int index) const;
    bool SerializeParams(Chunk& chunk);
    int UnserializeParams(const Chunk& chunk, int start);
    // Plain value a host's or the editor's text stands for (Param::ValueFromText);
    // false when the index is unknown or the text names no value.
    bool ParamValueFromText(int paramIndex, const char* text, double* plain) const;
    // A host's change of a plain value: stored (clamped), shown by the
    // editor as stored and passed to ParameterChanged.
    void SetParameterFromHost(int paramIndex, double plain);

    // --- Presets ----------------------------------------------------------
    int NPresets() const { return static_cast<int>(presets_.size()); }
    int CurrentPresetIndex() const { return currentPreset_; }
    bool LoadPreset(int index);
    // Captures the current state into the current slot; renames it when a
    // non-empty name is given.
    void ModifyCurrentPreset(const char* name = nullptr);
    void FillEmptyPresets(const char* name, int count);
    void MakePresetFromBlob(const char* name, const char* base64, int size);
    const char* PresetName(int index) const;
    const PresetSlot* PresetAt(int index) const;
    bool SerializePresets(Chunk& chunk);
    // A bank is taken whole or not at all: one that cannot be read to its
    // last slot changes nothing and returns -1.
    int UnserializePresets(const Chunk& chunk, int start);
    // Where UnserializePresets from `start` would end, or -1; changes nothing.
    int PresetsEnd(const Chunk& chunk, int start) const;
    // The framing of host chunks: the magic and kFrameworkVersion. Reading
    // gives the position after the frame (0 for an unframed chunk, -1 for a
    // magic without version) and the version found (0 when unframed).
    static void WriteChunkFrame(Chunk& chunk);
    static int ReadChunkFrame(const Chunk& chunk, int32_t* version);
    // The current program as a framed state chunk (what hosts store for one
    // program), and its loading: false, with the state as before, when the
    // chunk does not hold a whole state.
    bool GetProgramChunk(Chunk& chunk);
    bool SetProgramChunk(const Chunk& chunk);

    // Writes every preset as a creation line to `path` (default "TEST.txt").
    bool DumpPresetSource(const char* path = "TEST.txt");

    // --- Configuration, channels and host --------------------------------
    const std::string& EffectName() const { return effectName_; }
    const std::string& ProductString() const { return productString_; }
    const std::string& VendorString() const { return vendorString_; }
    int32_t UniqueId() const { return uniqueId_; }
    int32_t ManufacturerId() const { return manufacturerId_; }
    int32_t Version() const { return version_; }
    bool ReceivesMidi() const { return receivesMidi_; }
    bool StateChunks() const { return stateChunks_; }
    bool IsInstrument() const { return isInstrument_; }
    // Name of stereo output pair `pair`; empty when the plug-in names none.
    std::string OutputBusLabel(int pair) const;
    int Latency() const { return latency_; }
    double GetSampleRate() const { return sampleRate_; }
    int GetBlockSize() const { return blockSize_; }
    bool LegalIO(int inputs, int outputs) const;
    const std::vector<ChannelIOPair>& ChannelIOList() const { return channelIO_; }
    int NInChannels() const { return static_cast<int>(inChannels_.size()); }
    int NOutChannels() const { return static_cast<int>(outChannels_.size()); }
    bool IsInChannelConnected(int i) const;
    bool IsOutChannelConnected(int i) const;
    IGraphicsLink* GetGraphics() const { return graphics_.get(); }
    PlugLock& Lock() { return lock_; }

protected:
    // The editor inside a window the host hands over (the CLAP and LV2
    // adapters): shown in `parentWindow`, true when it shows there.
    // `firstShown` (may be null) says whether this call opened it, in which
    // case EditorOpened ran; showing it again in the same window changes
    // nothing. Closing runs EditorClosed once per opening.
    bool ShowEmbeddedEditor(void* parentWindow, bool* firstShown);
    void CloseEmbeddedEditor();
    bool EmbeddedEditorShown() const { return embeddedEditorShown_; }
    // The host's periodic call for a shown editor: events and redraws. Takes
    // no lock itself; the editor takes the plug-in lock for each event.
    void ServiceEmbeddedEditor();

    void SetSampleRate(double sampleRate) { sampleRate_ = sampleRate; }
    void SetHost(int hostKind, int hostVersion);
    void SetInputChannelConnected(int i, bool connected);
    void SetOutputChannelConnected(int i, bool connected);
    // Attaches the host's buffers (nullptr: none) for the next block.
    void AttachInputBuffers(double** buffers, int count);
    void AttachInputBuffers(float** buffers, int count, int frames);
    void AttachOutputBuffers(double** buffers, int count);
    void AttachOutputBuffers(float** buffers, int count);
    // Runs processBlock on the attached channels.
    void ProcessAttached(int frames);
    // Copies the rendered doubles into the remembered float buffers.
    void CopyOutputsToFloat(int frames, bool accumulate);
    // Renders `frames` into float outputs (null entries take nothing), no
    // inputs, in pieces of at most the block size the scratch buffers hold;
    // the pointers are moved on past what was written.
    void RenderFloatInPieces(std::vector<float*>& outputs, std::uint32_t frames);

    std::vector<InputChannel> inChannels_;
    std::vector<OutputChannel> outChannels_;

private:
    // Name a freshly used slot gets: "user preset N".
    std::string NextUserPresetName() const;

    std::string effectName_;
    std::string productString_;
    std::string vendorString_;
    int32_t uniqueId_;
    int32_t manufacturerId_;
    int32_t version_;
    bool receivesMidi_;
    bool stateChunks_;
    bool isInstrument_;
    std::vector<std::string> outputBusLabels_;
    int latency_;
    double sampleRate_ = kDefaultSampleRate;
    int blockSize_ = 0;
    int hostKind_ = -1;
    int hostVersion_ = 0;
    int currentPreset_ = 0;
    std::vector<Param> params_;
    std::vector<PresetSlot> presets_;
    std::vector<ChannelIOPair> channelIO_;
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
    std::unique_ptr<IGraphicsLink> graphics_;
    bool embeddedEditorShown_ = false;
    PlugLock lock_;
};

}  // namespace kettrix
