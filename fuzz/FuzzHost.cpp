#include "FuzzHost.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

namespace kettrix::fuzz {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// --- ByteReader -------------------------------------------------------------

std::uint8_t ByteReader::u8() { return empty() ? 0 : bytes_[position_++]; }

std::uint16_t ByteReader::u16() {
    const std::uint16_t low = u8();
    return static_cast<std::uint16_t>(low | (u8() << 8));
}

std::uint32_t ByteReader::u32() {
    const std::uint32_t low = u16();
    return low | (static_cast<std::uint32_t>(u16()) << 16);
}

float ByteReader::anyFloat() {
    const std::uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::span<const std::uint8_t> ByteReader::take(std::size_t count) {
    const std::size_t n = std::min(count, remaining());
    const auto piece = bytes_.subspan(position_, n);
    position_ += n;
    return piece;
}

// --- ResultDigest -----------------------------------------------------------

namespace {
std::uint64_t digest = 0;
}

void ResultDigest::fold(const void* bytes, std::size_t size) {
    // FNV-1a over 64-bit words, then the last bytes: a bank chunk is over a
    // megabyte, and a byte at a time cost more than rendering the input.
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::uint64_t h = digest ^ 0xcbf29ce484222325ull;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        h = (h ^ word) * 0x100000001b3ull;
    }
    for (; i < size; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    digest = h;
}

std::uint64_t ResultDigest::take() {
    const std::uint64_t value = digest;
    digest = 0;
    return value;
}

// --- Host ---------------------------------------------------------------------

namespace {

// Answers what a plain offline host answers; no transport, no MIDI out.
intptr_t KETTRIX_VST_CALL HostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    switch (opcode) {
        case audioMasterVersion:
            return kVstVersion;
        case audioMasterGetProductString:
            std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "%s", "kettrix fuzz host");
            return 1;
        case audioMasterGetVendorVersion:
            return 1000;
        case audioMasterGetCurrentProcessLevel:
            return kVstProcessLevelOffline;
        case audioMasterGetSampleRate:
            return 44100;
        case audioMasterGetBlockSize:
            return 512;
        default:
            return 0;
    }
}

}  // namespace

// --- FuzzedPlugin -----------------------------------------------------------

FuzzedPlugin::FuzzedPlugin()
    : floatSamples_(static_cast<std::size_t>(kOutputs * kMaxFrames)),
      doubleSamples_(static_cast<std::size_t>(kOutputs * kMaxFrames)) {
    effect_ = CreateVstInstance(&HostCallback);
    Require(effect_ != nullptr, "the plug-in instance could be created");
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, kSampleRate);
    dispatch(effSetBlockSize, 0, kBlockSize);
    dispatch(effMainsChanged, 0, 1);
    captureOpeningState();
}

FuzzedPlugin::~FuzzedPlugin() {
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
}

FuzzedPlugin& FuzzedPlugin::Shared() {
    static FuzzedPlugin plugin;
    plugin.restoreOpeningState();
    // What opening and resetting handed out belongs to no input.
    ResultDigest::take();
    return plugin;
}

void FuzzedPlugin::captureOpeningState() {
    openingProgram_ = getChunk(1);
    Require(!openingProgram_.empty(), "the opened plug-in hands out its program chunk");
    for (int i = 0; i < plug().NPresets(); ++i) openingSlots_.push_back(*plug().PresetAt(i));
}

bool FuzzedPlugin::kitAsOpened() {
    if (dispatch(effGetProgram) != 0) return false;
    void* data = nullptr;
    const intptr_t size = dispatch(effGetChunk, 1, 0, &data);
    if (size != static_cast<intptr_t>(openingProgram_.size()) ||
        std::memcmp(data, openingProgram_.data(), openingProgram_.size()) != 0)
        return false;
    for (int i = 0; i < plug().NPresets(); ++i) {
        const PresetSlot& slot = *plug().PresetAt(i);
        const PresetSlot& opening = openingSlots_[static_cast<std::size_t>(i)];
        if (slot.initialized != opening.initialized || slot.name != opening.name ||
            slot.chunk.Size() != opening.chunk.Size() ||
            std::memcmp(slot.chunk.Data(), opening.chunk.Data(), opening.chunk.Size()) != 0)
            return false;
    }
    return true;
}

void FuzzedPlugin::restoreOpeningState() {
    // Host settings a previous input may have changed, and what a host
    // leaves behind: an open editor, events it never rendered, held notes.
    dispatch(effEditClose);
    dispatch(effMainsChanged, 0, 0);
    dispatch(effSetSampleRate, 0, 0, nullptr, kSampleRate);
    dispatch(effSetBlockSize, 0, kBlockSize);
    VstSpeakerArrangement outputs{};
    outputs.type = kSpeakerArrUserDefined;
    outputs.numChannels = kOutputs;
    dispatch(effSetSpeakerArrangement, 0, 0, &outputs);
    dispatch(effMainsChanged, 0, 1);
    // Most inputs leave the kit and the presets alone (a chunk that cannot
    // be read changes nothing); comparing costs a fraction of the two kit
    // loads that bring them back.
    if (!kitAsOpened()) {
        // The opening kit (this also stores it in the current slot), the
        // preset slots copied back as they were (reading them back through a
        // bank chunk would cost a kit load per slot), then a program change
        // to the opening program, which remembers the opening kit's key
        // layout as a new instance's first program change would.
        Require(setChunk(1, openingProgram_), "the opening program chunk is accepted");
        for (int i = 0; i < plug().NPresets(); ++i)
            *const_cast<PresetSlot*>(plug().PresetAt(i)) = openingSlots_[static_cast<std::size_t>(i)];
        dispatch(effSetProgram, 0, 0);
    }
    // Voices, effects, smoothing, note state and the MIDI queue as new.
    plug().RestartEngine();
}

IPlugMonoSynth& FuzzedPlugin::plug() const {
    return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect_->object));
}

intptr_t FuzzedPlugin::dispatch(std::int32_t opcode, std::int32_t index, intptr_t value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::vector<std::uint8_t> FuzzedPlugin::getChunk(std::int32_t index) {
    void* data = nullptr;
    const intptr_t size = dispatch(effGetChunk, index, 0, &data);
    Require(size >= 0, "effGetChunk returns a size");
    if (size == 0) return {};
    Require(data != nullptr, "effGetChunk hands out its bytes with a size");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    ResultDigest::fold(bytes, static_cast<std::size_t>(size));
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool FuzzedPlugin::setChunk(std::int32_t index, std::span<const std::uint8_t> bytes) {
    // The host's copy: exactly the chunk's bytes, so a read past them is caught.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    void* data = copy.empty() ? nullptr : copy.data();
    return dispatch(effSetChunk, index, static_cast<intptr_t>(copy.size()), data) == 1;
}

void FuzzedPlugin::sendNotes(std::span<const std::uint8_t> notes, std::uint8_t velocity) {
    std::vector<VstMidiEvent> records(notes.size());
    std::vector<VstEvent*> pointers;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        VstMidiEvent& record = records[i];
        record.type = kVstMidiType;
        record.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
        record.deltaFrames = static_cast<int32_t>(i);
        record.midiData[0] = static_cast<char>(0x90);
        record.midiData[1] = static_cast<char>(notes[i] & 0x7F);
        record.midiData[2] = static_cast<char>(velocity & 0x7F);
        pointers.push_back(reinterpret_cast<VstEvent*>(&record));
    }
    // VstEvents declares a two-entry array; the host allocates room for all.
    std::vector<std::uint8_t> storage(sizeof(VstEvents) + pointers.size() * sizeof(VstEvent*));
    auto* events = reinterpret_cast<VstEvents*>(storage.data());
    events->numEvents = static_cast<int32_t>(pointers.size());
    std::copy(pointers.begin(), pointers.end(), events->events);
    dispatch(effProcessEvents, 0, 0, events);
}

void FuzzedPlugin::render(int frames, bool doublePrecision) {
    frames = std::clamp(frames, 0, kMaxFrames);
    if (doublePrecision) {
        double* channels[kOutputs];
        for (int c = 0; c < kOutputs; ++c) channels[c] = doubleSamples_.data() + c * kMaxFrames;
        effect_->processDoubleReplacing(effect_, nullptr, channels, frames);
        for (int c = 0; c < kOutputs; ++c)
            for (int i = 0; i < frames; ++i) Require(std::isfinite(channels[c][i]), "double output is finite");
        for (int c = 0; c < kOutputs; ++c)
            ResultDigest::fold(channels[c], sizeof(double) * static_cast<std::size_t>(frames));
    } else {
        float* channels[kOutputs];
        for (int c = 0; c < kOutputs; ++c) channels[c] = floatSamples_.data() + c * kMaxFrames;
        effect_->processReplacing(effect_, nullptr, channels, frames);
        for (int c = 0; c < kOutputs; ++c)
            for (int i = 0; i < frames; ++i) Require(std::isfinite(channels[c][i]), "float output is finite");
        for (int c = 0; c < kOutputs; ++c)
            ResultDigest::fold(channels[c], sizeof(float) * static_cast<std::size_t>(frames));
    }
}

void FuzzedPlugin::requireSaneParameters() const {
    IPlugMonoSynth& p = plug();
    for (int i = 0; i < p.NParams(); ++i) {
        const Param* param = p.ParamAt(i);
        Require(std::isfinite(param->Value()), "parameter value is finite");
        Require(param->Value() >= param->Min() && param->Value() <= param->Max(), "parameter value within range");
    }
}

void PlayShortPattern(FuzzedPlugin& plugin) {
    // Every sound's default low key (36 + 6 * sound), then a softer second hit.
    static constexpr std::uint8_t kNotes[] = {36, 42, 48, 54, 60, 66, 72, 78, 84, 90};
    plugin.sendNotes(kNotes, 127);
    plugin.render(256);
    plugin.sendNotes(std::span(kNotes).subspan(0, 5), 40);
    plugin.render(256, true);
}

const std::string& ScratchPath(const char* suffix) {
    static std::map<std::string, std::string> paths;
    auto [it, inserted] = paths.try_emplace(suffix);
    if (inserted) {
        const char* dir = std::getenv("TMPDIR");
        it->second = std::string(dir != nullptr && dir[0] != '\0' ? dir : "/tmp") + "/kettrix-fuzz-" +
                     std::to_string(static_cast<long>(getpid())) + suffix;
        static struct Remover {
            ~Remover() {
                for (const auto& entry : paths) std::remove(entry.second.c_str());
            }
        } remover;
    }
    return it->second;
}

}  // namespace kettrix::fuzz
