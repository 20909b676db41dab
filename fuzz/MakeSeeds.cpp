// Writes the seed corpora of the fuzz targets from real data: the plug-in's
// own program and bank chunks for every factory kit, sound files saved by the
// plug-in's Save command, the factory kit texts, the MIDI files the render
// tests build and the demo groove as a MIDI file, event stream and host
// session. Run from the build folder:  fuzz/fuzz_make_seeds <source>/fuzz/corpus
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DemoPattern.h"
#include "FuzzHost.h"
#include "HeadlessEditor.h"
#include "MidiFile.h"
#include "SmfBuilder.h"
#include "kit/KitModel.h"
#include "plugin/IPlugMonoSynth.h"

using namespace kettrix;
using namespace kettrix::fuzz;
using kettrix::render::test::smfFile;
using kettrix::render::test::SmfTrack;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Write(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    Require(static_cast<bool>(out), "a seed file can be written");
}

Bytes Prefixed(std::uint8_t first, const Bytes& rest) {
    Bytes out{first};
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

void PutU16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes& out, std::uint32_t v) {
    PutU16(out, static_cast<std::uint16_t>(v));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

std::string Name(const char* stem, int n) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%02d", stem, n);
    return name;
}

// Program chunks of every factory kit; banks cut after whole presets, and a
// bank whose first presets are factory kits and whose other slots are empty.
void ChunkSeeds(FuzzedPlugin& plugin, const fs::path& dir) {
    IPlugMonoSynth& plug = plugin.plug();
    for (int program = 0; program < 34; ++program) {
        plugin.dispatch(effSetProgram, 0, program);
        Write(dir / Name("program", program), Prefixed(1, plugin.getChunk(1)));
    }
    plugin.dispatch(effSetProgram, 0, 0);
    const Bytes program = plugin.getChunk(1);
    Write(dir / "state-without-header", Prefixed(1, Bytes(program.begin() + 8, program.end())));

    const Bytes bank = plugin.getChunk(0);
    std::size_t end = 8;  // 'pfft' and the version
    Bytes emptyTail;
    for (int slot = 0; slot < plug.NPresets(); ++slot) {
        const PresetSlot& preset = *plug.PresetAt(slot);
        end += 4 + preset.name.size() + 1 + static_cast<std::size_t>(preset.chunk.Size());
        if (slot == 0 || slot == 2)
            Write(dir / Name("bank-cut-after", slot + 1),
                  Prefixed(0, Bytes(bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(end))));
        if (slot >= 2) {
            PutU32(emptyTail, 5);
            emptyTail.insert(emptyTail.end(), {'e', 'm', 'p', 't', 'y', 0});
        }
        if (slot == 1) {
            Bytes small(bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(end));
            for (int rest = 2; rest < plug.NPresets(); ++rest) {
                PutU32(small, 5);
                small.insert(small.end(), {'e', 'm', 'p', 't', 'y', 0});
            }
            Write(dir / "bank-two-kits-rest-empty", Prefixed(0, small));
        }
    }
}

// One sound of every factory kit, saved through the Patch menu's Save.
void SoundFileSeeds(FuzzedPlugin& plugin, const fs::path& dir) {
    IPlugMonoSynth& plug = plugin.plug();
    const std::string& path = ScratchPath(".seed.k4s");
    for (int program = 0; program < 34; ++program) {
        plugin.dispatch(effSetProgram, 0, program);
        PlugLockGuard guard(plug.Lock());
        kit::HeadlessEditor editor;
        editor.current = program % 10;
        editor.fileAnswer = path;
        kit::EditorSeam& previous = plug.Kit().editor();
        plug.Kit().attachEditor(editor);
        plug.Kit().runPatchCommand(kit::PatchCommand::Save);
        plug.Kit().attachEditor(previous);
        std::ifstream in(path, std::ios::binary);
        Write(dir / Name("sound", program), Bytes(std::istreambuf_iterator<char>(in), {}));
    }
}

void KitTextSeeds(const fs::path& source, const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(source / "kit" / "factory")) {
        std::ifstream in(entry.path(), std::ios::binary);
        Write(dir / entry.path().filename(), Bytes(std::istreambuf_iterator<char>(in), {}));
    }
}

// The demo groove as a format 1 file: a tempo track and a note track.
Bytes DemoMidiFile(const render::MidiSequence& demo) {
    SmfTrack tempo;
    tempo.tempo(0, 500000).event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}).end();
    SmfTrack notes;
    std::uint64_t tick = 0;
    for (const render::MidiEvent& e : demo.events) {
        const auto delta = static_cast<std::uint32_t>(e.tick - tick);
        tick = e.tick;
        notes.event(delta, {e.status, e.data1, e.data2});
    }
    notes.end();
    return smfFile(1, static_cast<std::uint16_t>(demo.ticksPerQuarter), {tempo, notes});
}

// The files the render host's tests build.
void MidiFileSeeds(const render::MidiSequence& demo, const fs::path& dir) {
    Write(dir / "demo-groove.mid", DemoMidiFile(demo));
    SmfTrack runningStatus;
    runningStatus.event(0, {0x99, 36, 100})
        .event(0, {42, 80})
        .event(240, {36, 0})
        .event(0, {0xB0, 7, 90})
        .event(0, {0xC3, 5})
        .event(0, {0x90, 42, 64})
        .event(120, {0xE2, 0x00, 0x40})
        .end(360);
    Write(dir / "format0-running-status.mid", smfFile(0, 480, {runningStatus}));
    SmfTrack meta;
    meta.event(0, {0x90, 60, 100})
        .event(10, {0xFF, 0x03, 0x04, 'D', 'r', 'u', 'm'})
        .event(10, {0xF0, 0x03, 0x7E, 0x09, 0xF7})
        .event(10, {61, 101})
        .end();
    Write(dir / "meta-and-sysex.mid", smfFile(0, 96, {meta}));
    SmfTrack tempo;
    tempo.tempo(0, 500000).tempo(960, 1000000).end();
    SmfTrack notes;
    notes.event(0, {0x90, 36, 100})
        .event(480, {0x90, 37, 100})
        .event(480, {0x90, 38, 100})
        .event(480, {0x90, 39, 100})
        .event(240, {0x90, 40, 100})
        .end();
    Write(dir / "format1-tempo-change.mid", smfFile(1, 480, {tempo, notes}));
    SmfTrack meter;
    meter.tempo(0, 500000).event(0, {0xFF, 0x58, 0x04, 3, 2, 24, 8}).tempo(1440, 250000).end(1440);
    Write(dir / "meter-change.mid", smfFile(0, 480, {meter}));
    SmfTrack smpte;
    smpte.event(500, {0x90, 36, 100}).tempo(0, 1000000).event(500, {0x80, 36, 0}).end();
    Write(dir / "smpte-division.mid", smfFile(0, static_cast<std::uint16_t>(((256 - 25) << 8) | 40), {smpte}));
}

// The opening of the demo groove, 4 and 17 blocks of 512 frames, in FuzzMidiEvents' block format.
void MidiEventSeeds(const render::MidiSequence& demo, const fs::path& dir) {
    const render::TempoMap tempo(demo, 44100.0);
    const std::int64_t block = FuzzedPlugin::kBlockSize;
    Bytes all;
    std::size_t next = 0;
    for (std::int64_t start = 0; start <= 16 * block; start += block) {
        std::vector<const render::MidiEvent*> inBlock;
        while (next < demo.events.size() && tempo.sampleAtTick(demo.events[next].tick) < start + block)
            inBlock.push_back(&demo.events[next++]);
        PutU16(all, static_cast<std::uint16_t>(block - 1));
        all.push_back(0);
        PutU16(all, static_cast<std::uint16_t>(inBlock.size()));
        for (const render::MidiEvent* e : inBlock) {
            all.push_back(0);  // MIDI
            PutU32(all, sizeof(VstMidiEvent));
            PutU32(all, static_cast<std::uint32_t>(tempo.sampleAtTick(e->tick) - start));
            PutU32(all, 0);  // flags
            PutU32(all, 0);  // note length
            PutU32(all, 0);  // note offset
            all.insert(all.end(), {e->status, e->data1, e->data2, 0, 0, 0, 0, 0});
        }
        if (start == 3 * block) Write(dir / "demo-groove-4-blocks", all);
    }
    Write(dir / "demo-groove-17-blocks", all);
}

// Host sessions in FuzzDispatcher's call format.
class SessionWriter {
public:
    SessionWriter& call(std::uint8_t opcode, std::uint16_t index, std::uint16_t value, float opt = 0.0f) {
        bytes.push_back(0);  // a dispatcher call
        bytes.push_back(opcode);
        bytes.push_back(0);  // index: a parameter-sized number
        PutU16(bytes, index);
        bytes.push_back(0);  // value: a small number
        PutU16(bytes, value);
        std::uint32_t bits;
        std::memcpy(&bits, &opt, sizeof bits);
        PutU32(bytes, bits);
        return *this;
    }
    SessionWriter& canDo(std::uint8_t which) {
        call(effCanDo, 0, 0);
        bytes.push_back(which);
        return *this;
    }
    SessionWriter& blockSize(std::uint16_t frames) {
        call(effSetBlockSize, 0, 0);
        PutU16(bytes, frames);
        return *this;
    }
    SessionWriter& setParameter(std::uint16_t index, float value) {
        bytes.push_back(4);
        bytes.push_back(0);
        PutU16(bytes, index);
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        PutU32(bytes, bits);
        return *this;
    }
    SessionWriter& process(std::uint16_t frames, std::uint8_t kind) {
        bytes.push_back(6);
        PutU16(bytes, frames);
        bytes.push_back(kind);
        return *this;
    }
    SessionWriter& notes(std::initializer_list<std::uint8_t> keys) {
        bytes.push_back(7);
        bytes.push_back(static_cast<std::uint8_t>(keys.size()));
        for (std::uint8_t key : keys) {
            PutU16(bytes, 0);
            bytes.insert(bytes.end(), {0x90, key, 100, 0});
        }
        return *this;
    }
    Bytes bytes;
};

void DispatcherSeeds(const fs::path& dir) {
    // Start-up the way REAPER does it, then queries, then playing.
    SessionWriter startUp;
    startUp.call(effOpen, 0, 0)
        .call(effSetSampleRate, 0, 0, 48000.0f)
        .blockSize(512)
        .canDo(5)
        .canDo(0)
        .canDo(3)
        .call(effGetPlugCategory, 0, 0)
        .call(effGetEffectName, 0, 0)
        .call(effGetVendorString, 0, 0)
        .call(effGetProductString, 0, 0)
        .call(effGetVstVersion, 0, 0)
        .call(effGetProgramNameIndexed, 3, 0)
        .call(effGetOutputProperties, 2, 0)
        .call(effGetParamName, 234, 0)
        .call(effGetParamDisplay, 1330, 0)
        .call(effGetParamLabel, 12, 0)
        .call(effMainsChanged, 0, 1)
        .call(effStartProcess, 0, 0)
        .notes({36, 42, 48})
        .process(512, 0)
        .process(512, 1)
        .call(effGetChunk, 1, 0);
    Write(dir / "start-up", startUp.bytes);
    // Program changes, automation and a block-size change while playing.
    SessionWriter playing;
    playing.call(effSetProgram, 0, 5)
        .notes({36, 60})
        .process(256, 0)
        .setParameter(12, 0.25f)
        .setParameter(1361, 1.0f)
        .process(256, 0)
        .call(effMainsChanged, 0, 0)
        .blockSize(128)
        .call(effMainsChanged, 0, 1)
        .notes({48})
        .process(128, 1)
        .call(effSetProgram, 0, 33)
        .process(128, 2)
        .call(effGetChunk, 0, 0)
        .call(effGetProgram, 0, 0);
    Write(dir / "playing", playing.bytes);
    // Carla's speaker set-up and REAPER's extensions.
    SessionWriter extensions;
    extensions.call(effGetSpeakerArrangement, 0, 1)
        .call(effSetProgramName, 0, 0)
        .call(effEditGetRect, 0, 0)
        .call(effGetParameterProperties, 7, 0)
        .call(effString2Parameter, 7, 1)
        .process(64, 0);
    Write(dir / "extensions", extensions.bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <source folder> <corpus folder>\n");
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path corpus = argv[2];
    FuzzedPlugin plugin;
    ChunkSeeds(plugin, corpus / "chunk");
    SoundFileSeeds(plugin, corpus / "sound_file");
    KitTextSeeds(source, corpus / "kit_text");
    const render::MidiSequence demo = render::demoPattern();
    MidiFileSeeds(demo, corpus / "midi_file");
    MidiEventSeeds(demo, corpus / "midi_events");
    DispatcherSeeds(corpus / "dispatcher");
    return 0;
}
