// Drives the Windows plug-in DLL the way a VST 2 host does: loaded with
// LoadLibrary, instances made through both exports, described, rendered,
// and its programs and chunks moved back and forth. Runs under Wine on the
// build machine (and on Windows itself).
#include "DemoPattern.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "RenderSession.h"
#include "Renderer.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace kettrix::render;

namespace {

// The build passes the DLL's path as the build machine sees it; under Wine a
// Unix absolute path is reached through drive Z:.
std::string dllPath() {
    std::string path = KETTRIX4_DLL;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    return path;
}

intptr_t KETTRIX_VST_CALL silentHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// Stereo mix of the demo groove, rendered in a fresh instance.
std::vector<float> renderDemo(const PluginLibrary& library, Precision precision) {
    const MidiSequence sequence = demoPattern();
    const TempoMap tempo(sequence, 44100.0);
    HostContext context;
    PluginInstance plugin(library, context);
    plugin.open();
    plugin.setSampleRate(44100.0);
    plugin.setBlockSize(256);
    plugin.dispatch(effSetProcessPrecision, 0,
                    precision == Precision::Double ? kVstProcessPrecision64 : kVstProcessPrecision32);
    plugin.resume();
    plugin.startProcess();
    std::vector<float> audio;
    Renderer renderer(plugin, tempo, {256, precision, Mix::Stereo});
    renderer.render(
        scheduleEvents(sequence, tempo), renderLength(sequence, tempo, 1.0),
        [&](const float* frames, std::size_t count) { audio.insert(audio.end(), frames, frames + 2 * count); });
    plugin.stopProcess();
    plugin.suspend();
    return audio;
}

class WindowsDll : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library_ = new PluginLibrary(dllPath()); }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }

    static PluginLibrary* library_;
};

PluginLibrary* WindowsDll::library_ = nullptr;

}  // namespace

TEST_F(WindowsDll, BothExportsCreateTheInstrument) {
    HMODULE module = ::GetModuleHandleA("Kettrix4.dll");
    ASSERT_NE(module, nullptr);
    for (const char* name : {"VSTPluginMain", "main"}) {
        SCOPED_TRACE(name);
        auto entry = reinterpret_cast<Vst2MainProc>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
        ASSERT_NE(entry, nullptr);
        AEffect* effect = entry(&silentHost);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->magic, kEffectMagic);
        EXPECT_EQ(effect->uniqueID, Vst2FourCC('K', 'T', 'X', '4'));
        EXPECT_EQ(effect->numInputs, 0);
        EXPECT_EQ(effect->numOutputs, 12);
        EXPECT_EQ(effect->numParams, 1393);
        EXPECT_EQ(effect->numPrograms, 128);
        EXPECT_NE(effect->flags & effFlagsIsSynth, 0);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
}

TEST_F(WindowsDll, InstancesCreatedFromSeveralThreadsAtOnceAreComplete) {
    // Hosts scan and open plug-ins from more than one thread; creation is
    // serialised inside the DLL, so every instance comes out whole.
    constexpr int kThreads = 4;
    std::vector<AEffect*> effects(kThreads, nullptr);
    std::vector<std::thread> threads;
    const Vst2MainProc entry = library_->entryPoint();
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&effects, entry, t] { effects[static_cast<std::size_t>(t)] = entry(&silentHost); });
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        AEffect* effect = effects[static_cast<std::size_t>(t)];
        ASSERT_NE(effect, nullptr) << t;
        EXPECT_EQ(effect->magic, kEffectMagic);
        EXPECT_EQ(effect->numParams, 1393);
        for (int u = 0; u < t; ++u) EXPECT_NE(effect, effects[static_cast<std::size_t>(u)]);
    }
    for (AEffect* effect : effects) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(WindowsDll, InfoDescribesTheInstrument) {
    RenderOptions options;
    options.mode = Mode::Info;
    options.pluginPath = dllPath();
    std::ostringstream out;
    runInfo(options, out);
    const std::string info = out.str();
    for (const char* line : {"Effect name: Kettrix4\n", "Vendor: Sorvane\n", "Unique ID: 'KTX4'", "Outputs: 12\n",
                             "Parameters: 1393\n", "Programs: 128\n"})
        EXPECT_NE(info.find(line), std::string::npos) << "missing \"" << line << "\" in:\n" << info.substr(0, 2000);
}

TEST_F(WindowsDll, DemoRenderIsAudibleFiniteAndRepeatable) {
    const std::vector<float> first = renderDemo(*library_, Precision::Float);
    ASSERT_FALSE(first.empty());
    float peak = 0.0f;
    for (float sample : first) {
        ASSERT_TRUE(std::isfinite(sample));
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_GT(peak, 0.01f) << "the demo groove should be heard";
    EXPECT_LT(peak, 16.0f);

    // Same input, same samples: a second instance renders identical audio,
    // and the double-precision callback gives the same samples once rounded.
    EXPECT_EQ(renderDemo(*library_, Precision::Float), first);
    EXPECT_EQ(renderDemo(*library_, Precision::Double), first);
}

TEST_F(WindowsDll, ProgramsAndChunksRoundTrip) {
    HostContext context;
    PluginInstance plugin(*library_, context);
    plugin.open();

    plugin.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(plugin.dispatch(effGetProgram), 3);
    char name[256] = {};
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 3, 0, name), 1);
    EXPECT_NE(name[0], '\0');

    // Program chunk: a parameter changed after saving comes back on load,
    // and the reloaded state saves to the same bytes.
    const std::vector<uint8_t> program = plugin.getChunk(true);
    ASSERT_FALSE(program.empty());
    AEffect& effect = plugin.effect();
    const float saved = effect.getParameter(&effect, 0);
    effect.setParameter(&effect, 0, saved < 0.5f ? 0.9f : 0.1f);
    EXPECT_NE(effect.getParameter(&effect, 0), saved);
    ASSERT_TRUE(plugin.setChunk(true, program));
    EXPECT_EQ(effect.getParameter(&effect, 0), saved);
    EXPECT_EQ(plugin.getChunk(true), program);

    // Bank chunk: every preset travels and comes back unchanged.
    const std::vector<uint8_t> bank = plugin.getChunk(false);
    ASSERT_GT(bank.size(), program.size());
    ASSERT_TRUE(plugin.setChunk(false, bank));
    EXPECT_EQ(plugin.getChunk(false), bank);
    plugin.close();
}
