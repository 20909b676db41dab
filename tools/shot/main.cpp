// kettrix-shot: renders the plug-in's editor to a PNG without a display.
//
//   kettrix-shot --out FILE.png [--program N] [--param INDEX=VALUE]...
//                [--sound S] [--size-check] [--hold NOTE[,NOTE...]] [--events FILE]
//                [--zoom F]
//
// Creates the plug-in in-process, opens it as a host's effOpen does, loads
// program N, sets each --param as the host would (VALUE is the parameter's
// plain value, e.g. 4 for an attack shape, 1 for a view tab), selects sound
// S through its tab parameter, plays note-ons of the held notes through
// effProcessEvents and one audio block (they stay held: no note-off
// follows), replays the events file into the editor and
// writes the editor's pixels, at zoom F (1, 1.5 or 2; 1 by default). Exit status: 0
// success, 1 plug-in or file error, 2 bad command line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EventScript.h"
#include "editor/EditorImages.h"
#include "editor/EditorLayout.h"
#include "graphics/IGraphicsOffscreen.h"
#include "plugin/IPlugVST.h"
#include "plugin/Instance.h"

// Where the plug-in builds its editor, the editor is made off-screen here
// through the attachment's graphics factory; before that, the picture shows
// a stand-in with the background image.
#if __has_include("plugin/EditorAttachment.h")
#include "plugin/EditorAttachment.h"
#define KETTRIX_SHOT_HAS_EDITOR 1
#endif

namespace {

using namespace kettrix;

using editor::kEditorHeight;
using editor::kEditorWidth;
// Until the editor exists, the picture shows the background image.
constexpr int kBackgroundId = editor::image::kBackground;
// "Show Sound" of sound 0; sound s is one further per sound.
constexpr int kShowSoundParam = kit::global::kShowSound;

struct Options {
    std::string out;
    std::string events;
    int program = -1;
    int sound = -1;
    bool sizeCheck = false;
    int zoomPercent = zoom::kDefaultPercent;
    std::vector<std::pair<int, double>> params;  // index, plain value
    std::vector<int> held;
};

int Usage(const char* why) {
    std::fprintf(stderr,
                 "kettrix-shot: %s\n"
                 "usage: kettrix-shot --out FILE.png [--program N] [--param INDEX=VALUE]... [--sound S]\n"
                 "                    [--size-check] [--hold NOTE[,NOTE...]] [--events FILE] [--zoom 1|1.5|2]\n",
                 why);
    return 2;
}

bool ReadNumber(const char* text, int lo, int hi, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < lo || v > hi) return false;
    value = static_cast<int>(v);
    return true;
}

// INDEX=VALUE with a parameter index and a finite plain value.
bool ReadParam(const char* text, std::pair<int, double>& param) {
    const char* equals = std::strchr(text, '=');
    if (!equals) return false;
    const std::string index(text, equals);
    if (!ReadNumber(index.c_str(), 0, 1392, param.first)) return false;
    char* end = nullptr;
    param.second = std::strtod(equals + 1, &end);
    return end != equals + 1 && *end == '\0' && param.second == param.second;
}

// A comma-separated list of MIDI notes (0 to 127).
bool ReadNotes(const std::string& text, std::vector<int>& notes) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        int note = 0;
        if (!ReadNumber(text.substr(start, end - start).c_str(), 0, 127, note)) return false;
        notes.push_back(note);
        start = end + 1;
    }
    return !notes.empty();
}

// Note-ons of `notes` (velocity 100) through the host's event call, taken
// by one audio block.
void HoldNotes(AEffect* effect, const std::vector<int>& notes) {
    std::vector<VstMidiEvent> midi(notes.size());
    std::vector<unsigned char> storage(sizeof(VstEvents) + notes.size() * sizeof(VstEvent*));
    auto* events = reinterpret_cast<VstEvents*>(storage.data());
    events->numEvents = static_cast<int32_t>(notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        midi[i].type = kVstMidiType;
        midi[i].byteSize = sizeof(VstMidiEvent);
        midi[i].midiData[0] = static_cast<char>(0x90);
        midi[i].midiData[1] = static_cast<char>(notes[i]);
        midi[i].midiData[2] = static_cast<char>(100);
        events->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->dispatcher(effect, effProcessEvents, 0, 0, events, 0.0f);
    constexpr int kFrames = 64;
    std::vector<float> buffer(static_cast<std::size_t>(kFrames) * static_cast<std::size_t>(effect->numOutputs));
    std::vector<float*> outputs(static_cast<std::size_t>(effect->numOutputs));
    for (std::size_t c = 0; c < outputs.size(); ++c) outputs[c] = buffer.data() + c * kFrames;
    effect->processReplacing(effect, nullptr, outputs.data(), kFrames);
}

intptr_t KETTRIX_VST_CALL HostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The stand-in's view of the plug-in: values set from its controls go to
// the plug-in's parameters under its lock.
class StandInPlug : public IGraphicsPlug {
public:
    explicit StandInPlug(IPlugBase& plug) : plug_(plug) {}
    void SetParameterFromEditor(int paramIdx, double normalized) override {
        plug_.SetParameterFromEditor(paramIdx, normalized);
    }
    bool NormalizedFromPlain(int paramIdx, double plain, double* normalized) const override {
        const Param* param = plug_.ParamAt(paramIdx);
        if (!param) return false;
        *normalized = param->Normalized(plain);
        return true;
    }
    void LockPlug() override { plug_.Lock().lock(); }
    void UnlockPlug() override { plug_.Lock().unlock(); }

private:
    IPlugBase& plug_;
};

#ifdef KETTRIX_SHOT_HAS_EDITOR
// The editor made by the instance created last.
IGraphicsOffscreen* gEditorGraphics = nullptr;

std::unique_ptr<IGraphics> MakeOffscreenGraphics(IGraphicsPlug* plug, int width, int height) {
    auto graphics = std::make_unique<IGraphicsOffscreen>(plug, width, height);
    gEditorGraphics = graphics.get();
    return graphics;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            options.out = argv[++i];
        } else if (arg == "--events" && hasValue) {
            options.events = argv[++i];
        } else if (arg == "--program" && hasValue) {
            if (!ReadNumber(argv[++i], 0, 127, options.program)) return Usage("--program takes 0 to 127");
        } else if (arg == "--sound" && hasValue) {
            if (!ReadNumber(argv[++i], 0, 9, options.sound)) return Usage("--sound takes 0 to 9");
        } else if (arg == "--param" && hasValue) {
            std::pair<int, double> param;
            if (!ReadParam(argv[++i], param)) return Usage("--param takes INDEX=VALUE (index 0 to 1392)");
            options.params.push_back(param);
        } else if (arg == "--hold" && hasValue) {
            if (!ReadNotes(argv[++i], options.held)) return Usage("--hold takes notes 0 to 127, separated by commas");
        } else if (arg == "--zoom" && hasValue) {
            if (!zoom::PercentFromText(argv[++i], &options.zoomPercent)) return Usage("--zoom takes 1, 1.5 or 2");
        } else if (arg == "--size-check") {
            options.sizeCheck = true;
        } else {
            return Usage(("unknown or incomplete option " + arg).c_str());
        }
    }
    if (options.out.empty()) return Usage("--out is required");

    std::vector<shot::ScriptEvent> events;
    if (!options.events.empty()) {
        std::ifstream file(options.events);
        if (!file) {
            std::fprintf(stderr, "kettrix-shot: cannot read %s\n", options.events.c_str());
            return 1;
        }
        std::string error;
        if (!shot::ParseEventScript(file, events, error)) {
            std::fprintf(stderr, "kettrix-shot: %s: %s\n", options.events.c_str(), error.c_str());
            return 2;
        }
    }

#ifdef KETTRIX_SHOT_HAS_EDITOR
    SetGraphicsFactory(&MakeOffscreenGraphics);
#endif
    AEffect* effect = CreateVstInstance(&HostCallback);
    if (!effect) {
        std::fprintf(stderr, "kettrix-shot: the plug-in could not be created\n");
        return 1;
    }
    auto close = [effect] { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); };
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    if (options.program >= 0) effect->dispatcher(effect, effSetProgram, 0, options.program, nullptr, 0.0f);

    auto* plug = static_cast<IPlugVST*>(effect->object);
    for (const auto& [index, plain] : options.params) {
        if (const Param* param = plug->ParamAt(index))
            effect->setParameter(effect, index, static_cast<float>(param->Normalized(plain)));
    }
    StandInPlug plugSide(*plug);
    IGraphics* graphics = nullptr;
#ifdef KETTRIX_SHOT_HAS_EDITOR
    if (plug->GetGraphics()) graphics = gEditorGraphics;
#endif
    std::unique_ptr<IGraphicsOffscreen> standIn;
    if (!graphics) {
        standIn = std::make_unique<IGraphicsOffscreen>(&plugSide, kEditorWidth, kEditorHeight);
        standIn->AttachBackground(kBackgroundId, "bg.png");
        graphics = standIn.get();
    }

    graphics->SetZoom(options.zoomPercent);
    if (options.sizeCheck) {
        const int windowW = zoom::ToPhysical(kEditorWidth, options.zoomPercent);
        const int windowH = zoom::ToPhysical(kEditorHeight, options.zoomPercent);
        bool ok = graphics->Width() == kEditorWidth && graphics->Height() == kEditorHeight &&
                  graphics->WindowWidth() == windowW && graphics->WindowHeight() == windowH;
        if (effect->flags & effFlagsHasEditor) {
            ERect* rect = nullptr;
            effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f);
            ok = ok && rect && rect->right - rect->left == windowW && rect->bottom - rect->top == windowH;
        }
        std::printf("editor size %d x %d, window %d x %d: %s\n", graphics->Width(), graphics->Height(),
                    graphics->WindowWidth(), graphics->WindowHeight(), ok ? "ok" : "WRONG");
        if (!ok) {
            close();
            return 1;
        }
    }

    if (options.sound >= 0) plug->SetParameterFromEditor(kShowSoundParam + options.sound, 1.0);
    if (!options.held.empty()) HoldNotes(effect, options.held);
    graphics->OnTimer();
    shot::ReplayEvents(*graphics, events);
    // The picture is what a freshly opened window shows in this state.
    {
        PlugLockGuard lock(plug->Lock());
        graphics->SetAllControlsDirty();
    }
    graphics->OnTimer();
    const bool written = LICE_WritePNG(options.out.c_str(), graphics->GetDrawBitmap(), true);
    standIn.reset();
    close();
    if (!written) {
        std::fprintf(stderr, "kettrix-shot: cannot write %s\n", options.out.c_str());
        return 1;
    }
    return 0;
}
