// VST 2.4 binary interface: the records, opcodes, flags and constants that a
// plug-in and a host exchange. Written from our own interface notes; plain C
// layouts with natural alignment, checked below for 64-bit and 32-bit x86.
//
// Names follow the conventional VST 2 spelling (AEffect, effXxx,
// audioMasterXxx, kVst...) so that host and plug-in code read the same way.
#pragma once

#include <cstddef>
#include <cstdint>

// On 32-bit Windows every callback and the entry point use the cdecl
// convention explicitly; elsewhere each platform has one convention.
#if defined(_WIN32) && !defined(_WIN64)
#define KETTRIX_VST_CALL __cdecl
#else
#define KETTRIX_VST_CALL
#endif

struct AEffect;

// Host callback and dispatcher share one shape.
using Vst2HostCallback = intptr_t(KETTRIX_VST_CALL*)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                                     void* ptr, float opt);
using Vst2DispatcherProc = intptr_t(KETTRIX_VST_CALL*)(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                                       void* ptr, float opt);
using Vst2ProcessProc = void(KETTRIX_VST_CALL*)(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
using Vst2ProcessDoubleProc = void(KETTRIX_VST_CALL*)(AEffect* effect, double** inputs, double** outputs,
                                                      int32_t sampleFrames);
using Vst2SetParameterProc = void(KETTRIX_VST_CALL*)(AEffect* effect, int32_t index, float value);
using Vst2GetParameterProc = float(KETTRIX_VST_CALL*)(AEffect* effect, int32_t index);
// Signature of the exported entry point (VSTPluginMain / main).
using Vst2MainProc = AEffect*(KETTRIX_VST_CALL*)(Vst2HostCallback host);

// Four-character code: (a<<24)|(b<<16)|(c<<8)|d.
constexpr int32_t Vst2FourCC(char a, char b, char c, char d) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr int32_t kEffectMagic = Vst2FourCC('V', 's', 't', 'P');  // 0x56737450
constexpr int32_t kVstVersion = 2400;

// ---------------------------------------------------------------------------
// Records

struct AEffect {
    int32_t magic;
    Vst2DispatcherProc dispatcher;
    Vst2ProcessProc process;  // deprecated accumulating float process
    Vst2SetParameterProc setParameter;
    Vst2GetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t resvd1;  // host-reserved
    intptr_t resvd2;  // host-reserved
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object;  // the plug-in's instance
    void* user;    // the host's own pointer
    int32_t uniqueID;
    int32_t version;
    Vst2ProcessProc processReplacing;
    Vst2ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

struct VstEvent {
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    char data[16];
};

struct VstEvents {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[2];  // really numEvents entries
};

struct VstMidiEvent {
    int32_t type;  // kVstMidiType
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t noteLength;
    int32_t noteOffset;
    char midiData[4];
    signed char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent {
    int32_t type;  // kVstSysExType
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t dumpBytes;
    intptr_t resvd1;
    char* sysexDump;
    intptr_t resvd2;
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t timeSigNumerator;
    int32_t timeSigDenominator;
    int32_t smpteOffset;
    int32_t smpteFrameRate;
    int32_t samplesToNextClock;
    int32_t flags;
};

struct VstPinProperties {
    char label[64];
    int32_t flags;
    int32_t arrangementType;
    char shortLabel[8];
    char future[48];
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32_t type;
    char future[28];
};

struct VstSpeakerArrangement {
    int32_t type;
    int32_t numChannels;
    VstSpeakerProperties speakers[8];
};

struct VstParameterProperties {
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[64];
    int32_t flags;
    int32_t minInteger;
    int32_t maxInteger;
    int32_t stepInteger;
    int32_t largeStepInteger;
    char shortLabel[8];
    int16_t displayIndex;
    int16_t category;
    int16_t numParametersInCategory;
    int16_t reserved;
    char categoryLabel[24];
    char future[16];
};

// ---------------------------------------------------------------------------
// Dispatcher opcodes (host -> plug-in)

enum Vst2EffectOpcode : int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effGetVu = 9,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditDraw = 16,
    effEditMouse = 17,
    effEditKey = 18,
    effEditIdle = 19,
    effEditTop = 20,
    effEditSleep = 21,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetNumProgramCategories = 28,
    effGetProgramNameIndexed = 29,
    effCopyProgram = 30,
    effConnectInput = 31,
    effConnectOutput = 32,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effGetCurrentPosition = 36,
    effGetDestinationBuffer = 37,
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBlockSizeAndSampleRate = 43,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetErrorText = 46,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetIcon = 54,
    effSetViewPosition = 55,
    effGetParameterProperties = 56,
    effKeysRequired = 57,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// ---------------------------------------------------------------------------
// Host callback opcodes (plug-in -> host)

enum Vst2HostOpcode : int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterSetTime = 9,
    audioMasterTempoAt = 10,
    audioMasterGetNumAutomatableParameters = 11,
    audioMasterGetParameterQuantization = 12,
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,
    audioMasterGetNextPlug = 21,
    audioMasterWillReplaceOrAccumulate = 22,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,
    audioMasterGetOutputSpeakerArrangement = 31,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterSetIcon = 36,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,
    audioMasterCloseWindow = 40,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
    audioMasterEditFile = 47,
    audioMasterGetChunkFile = 48,
    audioMasterGetInputSpeakerArrangement = 49,
};

// ---------------------------------------------------------------------------
// Flags and small enumerations

enum Vst2EffectFlags : int32_t {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12,
};

enum Vst2PlugCategory : int32_t {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
    kPlugCategAnalysis = 3,
    kPlugCategMastering = 4,
    kPlugCategSpacializer = 5,
    kPlugCategRoomFx = 6,
    kPlugSurroundFx = 7,
    kPlugCategRestoration = 8,
    kPlugCategOfflineProcess = 9,
    kPlugCategShell = 10,
    kPlugCategGenerator = 11,
    kPlugCategMaxCount = 12,
};

enum Vst2ProcessPrecision : int32_t {
    kVstProcessPrecision32 = 0,
    kVstProcessPrecision64 = 1,
};

enum Vst2ProcessLevel : int32_t {
    kVstProcessLevelUnknown = 0,
    kVstProcessLevelUser = 1,
    kVstProcessLevelRealtime = 2,
    kVstProcessLevelPrefetch = 3,
    kVstProcessLevelOffline = 4,
};

enum Vst2EventType : int32_t {
    kVstMidiType = 1,
    kVstAudioType = 2,
    kVstVideoType = 3,
    kVstParameterType = 4,
    kVstTriggerType = 5,
    kVstSysExType = 6,
};

enum Vst2MidiEventFlags : int32_t {
    kVstMidiEventIsRealtime = 1,
};

enum Vst2TimeInfoFlags : int32_t {
    kVstTransportChanged = 0x1,
    kVstTransportPlaying = 0x2,
    kVstTransportCycleActive = 0x4,
    kVstTransportRecording = 0x8,
    kVstAutomationWriting = 0x40,
    kVstAutomationReading = 0x80,
    kVstNanosValid = 0x100,
    kVstPpqPosValid = 0x200,
    kVstTempoValid = 0x400,
    kVstBarsValid = 0x800,
    kVstCyclePosValid = 0x1000,
    kVstTimeSigValid = 0x2000,
    kVstSmpteValid = 0x4000,
    kVstClockValid = 0x8000,
};

enum Vst2PinFlags : int32_t {
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
};

enum Vst2ParameterFlags : int32_t {
    kVstParameterIsSwitch = 1,
    kVstParameterUsesIntegerMinMax = 2,
    kVstParameterUsesFloatStep = 4,
    kVstParameterUsesIntStep = 8,
    kVstParameterSupportsDisplayIndex = 16,
    kVstParameterSupportsDisplayCategory = 32,
    kVstParameterCanRamp = 64,
};

enum Vst2SpeakerArrangementType : int32_t {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
    kSpeakerArrStereoSurround = 2,
    kSpeakerArrStereoCenter = 3,
    kSpeakerArrStereoSide = 4,
    kSpeakerArrStereoCLfe = 5,
    kSpeakerArr30Cine = 6,
    kSpeakerArr30Music = 7,
    kSpeakerArr31Cine = 8,
    kSpeakerArr31Music = 9,
    kSpeakerArr40Cine = 10,
    kSpeakerArr40Music = 11,
    kSpeakerArr41Cine = 12,
    kSpeakerArr41Music = 13,
    kSpeakerArr50 = 14,
    kSpeakerArr51 = 15,
    kSpeakerArr60Cine = 16,
    kSpeakerArr60Music = 17,
    kSpeakerArr61Cine = 18,
    kSpeakerArr61Music = 19,
    kSpeakerArr70Cine = 20,
    kSpeakerArr70Music = 21,
    kSpeakerArr71Cine = 22,
    kSpeakerArr71Music = 23,
    kSpeakerArr80Cine = 24,
    kSpeakerArr80Music = 25,
    kSpeakerArr81Cine = 26,
    kSpeakerArr81Music = 27,
    kSpeakerArr102 = 28,
};

enum Vst2SpeakerType : int32_t {
    kSpeakerM = 0,
    kSpeakerL = 1,
    kSpeakerR = 2,
    kSpeakerC = 3,
    kSpeakerLfe = 4,
    kSpeakerLs = 5,
    kSpeakerRs = 6,
    kSpeakerLc = 7,
    kSpeakerRc = 8,
    kSpeakerS = 9,
    kSpeakerSl = 10,
    kSpeakerSr = 11,
    kSpeakerTm = 12,
    kSpeakerTfl = 13,
    kSpeakerTfc = 14,
    kSpeakerTfr = 15,
    kSpeakerTrl = 16,
    kSpeakerTrc = 17,
    kSpeakerTrr = 18,
    kSpeakerLfe2 = 19,
    kSpeakerUndefined = 0x7fffffff,
};

// String limits in characters; write at most N-1 characters plus a NUL.
enum Vst2StringLimits : int32_t {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxNameLen = 64,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
    kVstMaxCategLabelLen = 24,
    kVstMaxFileNameLen = 100,
};

// Legacy answer to effIdentify.
constexpr int32_t kVst2IdentifyAnswer = Vst2FourCC('N', 'v', 'E', 'f');  // 0x4E764566

// ---------------------------------------------------------------------------
// Layout checks: every record must match the binary interface exactly.

static_assert(sizeof(int32_t) == 4 && sizeof(int16_t) == 2 && sizeof(float) == 4 && sizeof(double) == 8);
static_assert(kEffectMagic == 0x56737450);
static_assert(kVst2IdentifyAnswer == 0x4E764566);

static_assert(sizeof(ERect) == 8);
static_assert(offsetof(ERect, left) == 2 && offsetof(ERect, bottom) == 4 && offsetof(ERect, right) == 6);

static_assert(sizeof(VstEvent) == 32);
static_assert(offsetof(VstEvent, deltaFrames) == 8 && offsetof(VstEvent, data) == 16);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, noteLength) == 16 && offsetof(VstMidiEvent, noteOffset) == 20);
static_assert(offsetof(VstMidiEvent, midiData) == 24 && offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29 && offsetof(VstMidiEvent, reserved2) == 31);

static_assert(sizeof(VstTimeInfo) == 88);
static_assert(offsetof(VstTimeInfo, tempo) == 32 && offsetof(VstTimeInfo, cycleEndPos) == 56);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64 && offsetof(VstTimeInfo, smpteFrameRate) == 76);
static_assert(offsetof(VstTimeInfo, flags) == 84);

static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(VstPinProperties, flags) == 64 && offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72 && offsetof(VstPinProperties, future) == 80);

static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(offsetof(VstSpeakerProperties, name) == 16 && offsetof(VstSpeakerProperties, type) == 80);
static_assert(offsetof(VstSpeakerProperties, future) == 84);
static_assert(sizeof(VstSpeakerArrangement) == 904);
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4 && offsetof(VstSpeakerArrangement, speakers) == 8);

static_assert(sizeof(VstParameterProperties) == 152);
static_assert(offsetof(VstParameterProperties, label) == 12 && offsetof(VstParameterProperties, flags) == 76);
static_assert(offsetof(VstParameterProperties, minInteger) == 80 &&
              offsetof(VstParameterProperties, largeStepInteger) == 92);
static_assert(offsetof(VstParameterProperties, shortLabel) == 96 &&
              offsetof(VstParameterProperties, displayIndex) == 104);
static_assert(offsetof(VstParameterProperties, reserved) == 110 &&
              offsetof(VstParameterProperties, categoryLabel) == 112);
static_assert(offsetof(VstParameterProperties, future) == 136);

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(void*) == 8 && sizeof(intptr_t) == 8);
static_assert(sizeof(AEffect) == 192 && alignof(AEffect) == 8);
static_assert(offsetof(AEffect, dispatcher) == 8 && offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24 && offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40 && offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48 && offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56 && offsetof(AEffect, resvd1) == 64);
static_assert(offsetof(AEffect, resvd2) == 72 && offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84 && offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92 && offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104 && offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116 && offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128 && offsetof(AEffect, future) == 136);

static_assert(sizeof(VstMidiSysexEvent) == 48);
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16 && offsetof(VstMidiSysexEvent, resvd1) == 24);
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32 && offsetof(VstMidiSysexEvent, resvd2) == 40);

static_assert(sizeof(VstEvents) == 32);
static_assert(offsetof(VstEvents, reserved) == 8 && offsetof(VstEvents, events) == 16);
#elif INTPTR_MAX == INT32_MAX
static_assert(sizeof(void*) == 4 && sizeof(intptr_t) == 4);
static_assert(sizeof(AEffect) == 144 && alignof(AEffect) == 4);
static_assert(offsetof(AEffect, dispatcher) == 4 && offsetof(AEffect, process) == 8);
static_assert(offsetof(AEffect, setParameter) == 12 && offsetof(AEffect, getParameter) == 16);
static_assert(offsetof(AEffect, numPrograms) == 20 && offsetof(AEffect, numParams) == 24);
static_assert(offsetof(AEffect, numInputs) == 28 && offsetof(AEffect, numOutputs) == 32);
static_assert(offsetof(AEffect, flags) == 36 && offsetof(AEffect, resvd1) == 40);
static_assert(offsetof(AEffect, resvd2) == 44 && offsetof(AEffect, initialDelay) == 48);
static_assert(offsetof(AEffect, realQualities) == 52 && offsetof(AEffect, offQualities) == 56);
static_assert(offsetof(AEffect, ioRatio) == 60 && offsetof(AEffect, object) == 64);
static_assert(offsetof(AEffect, user) == 68 && offsetof(AEffect, uniqueID) == 72);
static_assert(offsetof(AEffect, version) == 76 && offsetof(AEffect, processReplacing) == 80);
static_assert(offsetof(AEffect, processDoubleReplacing) == 84 && offsetof(AEffect, future) == 88);

static_assert(sizeof(VstMidiSysexEvent) == 32);
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16 && offsetof(VstMidiSysexEvent, resvd1) == 20);
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 24 && offsetof(VstMidiSysexEvent, resvd2) == 28);

static_assert(sizeof(VstEvents) == 16);
static_assert(offsetof(VstEvents, reserved) == 4 && offsetof(VstEvents, events) == 8);
#else
#error "Unsupported pointer width for the VST 2 interface"
#endif
